#pragma once

#include <vintrel/world/Object.h>
#include <vintrel/world/Vector.h>

class Reticle;

/// Most missiles the ship can carry; the stock refills up to it.
constexpr int MISSILE_STOCK_MAX = 4;

/// The ship the player steers with W, A, S, D and shoots from with the mouse.
/// Its end is the end of a game: the destructor puts up the game-over screen.
class Player : public vt::Object {
  public:
    /// Builds the ship at the centre of the world, with its own cross-hair.
    Player();
    /// Shows the game-over screen and removes the cross-hair, while the world runs.
    ~Player() override;

    /// Held movement keys, Q, mouse clicks and steps; 1 for those, 0 otherwise.
    int eventHandler(const vt::Event* p_event) override;

    /// Moves one column left (-1) or right (+1), at most once every 3 steps.
    void moveX(int dx);
    /// Moves one row up (-1) or down (+1), at most once every 5 steps.
    void moveY(int dy);
    /// Shoots a bullet toward the target (world cells), at most once every 20 steps.
    void fire(const vt::Vector& target);
    /// Launches a missile from the stock toward the target, at most once every 30 steps.
    void fireMissile(const vt::Vector& target);

    /// Missiles in stock.
    [[nodiscard]] int getMissiles() const { return m_missiles; }
    /// The ship's cross-hair; owned by the world.
    [[nodiscard]] Reticle* getReticle() const { return m_p_reticle; }

  private:
    int keyboard(const vt::Event* p_event);
    int mouse(const vt::Event* p_event);
    int step(const vt::Event* p_event);

    Reticle* m_p_reticle;
    int m_fire_slowdown;
    int m_fire_countdown;
    int m_missile_slowdown;
    int m_missile_countdown;
    int m_move_x_slowdown;
    int m_move_x_countdown;
    int m_move_y_slowdown;
    int m_move_y_countdown;
    int m_missiles;
};
