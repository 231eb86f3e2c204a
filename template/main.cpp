// @GAME@: a hero that walks with the arrow keys, one cell per press. Q quits.
// Run with --steps N, it walks one cell right by itself and ends after N
// steps: the headless test does that.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <vintrel/core/Color.h>
#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/events/EventStep.h>
#include <vintrel/input/Key.h>
#include <vintrel/media/DisplayManager.h>
#include <vintrel/media/ResourceManager.h>
#include <vintrel/world/Object.h>
#include <vintrel/world/WorldManager.h>

class Hero : public vt::Object {
  public:
    Hero() {
        setType("Hero");
        setSprite("hero");
        setPosition(vt::Vector(40, 12));
        registerInterest(vt::EVENT_KEYBOARD);
    }

    int eventHandler(const vt::Event* p_event) override {
        const auto* p_key = vt::eventAs<vt::EventKeyboard>(p_event);
        if (p_key == nullptr)
            return Object::eventHandler(p_event);
        if (p_key->getKeyboardAction() != vt::KEY_ACTION_PRESSED)
            return 1;
        switch (p_key->getKey()) {
        case vt::KEY_LEFT:
            walk(-1, 0);
            break;
        case vt::KEY_RIGHT:
            walk(1, 0);
            break;
        case vt::KEY_UP:
            walk(0, -1);
            break;
        case vt::KEY_DOWN:
            walk(0, 1);
            break;
        case vt::KEY_Q:
            vt::GameManager::getInstance().setGameOver();
            break;
        default:
            return 0;
        }
        return 1;
    }

    void walk(float dx, float dy) {
        vt::WorldManager::getInstance().moveObject(this, getPosition() + vt::Vector(dx, dy));
    }
};

// A line of text on the bottom row.
class Hint : public vt::Object {
  public:
    Hint() {
        setSolidness(vt::SPECTRAL);
        const vt::Box world = vt::WorldManager::getInstance().getBoundary();
        setPosition(vt::Vector(world.getHorizontal() / 2, world.getVertical() - 1));
    }

    int draw() override {
        return vt::DisplayManager::getInstance().drawText(getPosition(), "Arrows walk.  Q quits.", vt::CENTER,
                                                          vt::WHITE);
    }
};

// For --steps: one step right at the first step, and the end at the last.
class Autopilot : public vt::Object {
  public:
    Autopilot(Hero* p_hero, int steps) : m_p_hero(p_hero), m_steps(steps) {
        setSolidness(vt::SPECTRAL);
        registerInterest(vt::EVENT_STEP);
    }

    int eventHandler(const vt::Event* p_event) override {
        const auto* p_step = vt::eventAs<vt::EventStep>(p_event);
        if (p_step == nullptr)
            return 0;
        if (p_step->getStepCount() == 0)
            m_p_hero->walk(1, 0);
        if (p_step->getStepCount() + 1 >= m_steps)
            vt::GameManager::getInstance().setGameOver();
        return 1;
    }

  private:
    Hero* m_p_hero;
    int m_steps;
};

int main(int argc, char* argv[]) {
    const int steps = argc == 3 && std::strcmp(argv[1], "--steps") == 0 ? std::atoi(argv[2]) : 0;
    vt::GameManager& game = vt::GameManager::getInstance();
    if (game.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game.shutDown();
        return 1;
    }
    vt::LogManager::getInstance().setFlush(true);
    if (vt::ResourceManager::getInstance().loadSprite("sprites/hero.txt", "hero") != 0) {
        std::fprintf(stderr, "@GAME@: cannot load sprites/hero.txt (see vintrel.log)\n");
        game.shutDown();
        return 1;
    }
    auto* p_hero = new Hero;
    new Hint;
    if (steps > 0)
        new Autopilot(p_hero, steps);

    game.run();
    const vt::Vector at = p_hero->getPosition();
    std::printf("@GAME@: the hero walked to (%g,%g) in %d steps\n", static_cast<double>(at.getX()),
                static_cast<double>(at.getY()), game.getStepCount());
    game.shutDown();
    return 0;
}
