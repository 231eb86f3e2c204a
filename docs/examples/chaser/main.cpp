// Chaser: a runner hides among walls and a chaser finds its way to it with
// the engine's path finding. Each catch counts in the top right corner and
// sends the runner to its next hiding place; three catches win the chaser
// the game, 2000 steps without a third win it for the runner. The arrow
// keys move the runner one cell per press; Q quits.
#include <algorithm>
#include <cmath>

#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/events/EventCollision.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/events/EventStep.h>
#include <vintrel/events/EventView.h>
#include <vintrel/input/Key.h>
#include <vintrel/media/DisplayManager.h>
#include <vintrel/paths/EventPath.h>
#include <vintrel/paths/PathManager.h>
#include <vintrel/world/Object.h>
#include <vintrel/world/ViewObject.h>
#include <vintrel/world/WorldManager.h>

namespace {

// The world of 80 x 24 cells; '#' is a wall.
const char* const MAP[] = {
    "                                          #                                     ",
    "                                          #                                     ",
    "                                          #                                     ",
    "                                          #         #########                   ",
    "                                          #         #       #                   ",
    "            #                             #         #       #                   ",
    "            #                             #         #       #                   ",
    "                                          #         #       #                   ",
    "                           #######        #         #       #                   ",
    "                           #              #         #       #                   ",
    "                           #              #                                     ",
    "                    #      #              #                                     ",
    "                    #      #              #                                     ",
    "                    #      #              #                                     ",
    "                           #              #                                     ",
    "                           #              #                       #           # ",
    "                           #######        #                       #           # ",
    "                                          #                       #           # ",
    "            #                             #                       #           # ",
    "            #                             #                       #           # ",
    "                                          #                       #           # ",
    "                                                                  ############# ",
    "                                                                                ",
    "                                                                                ",
};

// The runner's hiding places, each behind walls as seen from the one before.
const vt::Vector HIDING_PLACES[] = {vt::Vector(30, 12), vt::Vector(45, 12), vt::Vector(72, 18)};
constexpr int CATCHES_TO_WIN = 3;
constexpr int STEPS_TO_SURVIVE = 2000;
// Steps between two looks at where the runner is now.
constexpr int STEPS_BETWEEN_SEARCHES = 30;

class Wall : public vt::Object {
  public:
    explicit Wall(const vt::Vector& position) {
        setType("Wall"); // HARD and one cell wide, as every new object
        setPosition(position);
    }
    int draw() override {
        return vt::DisplayManager::getInstance().drawCharacter(getPosition(), '#', vt::BLUE);
    }
};

class Runner : public vt::Object {
  public:
    Runner() {
        setType("Runner");
        setPosition(HIDING_PLACES[0]);
        registerInterest(vt::EVENT_KEYBOARD);
    }

    int draw() override {
        return vt::DisplayManager::getInstance().drawCharacter(getPosition(), '@', vt::YELLOW);
    }

    int eventHandler(const vt::Event* p_event) override {
        if (p_event->getType() != vt::EVENT_KEYBOARD)
            return Object::eventHandler(p_event);
        const auto* p_key = dynamic_cast<const vt::EventKeyboard*>(p_event);
        // A key held down also sends HELD events: moving on PRESSED alone
        // moves one cell per press.
        if (p_key->getKeyboardAction() != vt::KEY_ACTION_PRESSED)
            return 1;
        vt::Vector step(0, 0);
        switch (p_key->getKey()) {
        case vt::KEY_LEFT:
            step = vt::Vector(-1, 0);
            break;
        case vt::KEY_RIGHT:
            step = vt::Vector(1, 0);
            break;
        case vt::KEY_UP:
            step = vt::Vector(0, -1);
            break;
        case vt::KEY_DOWN:
            step = vt::Vector(0, 1);
            break;
        case vt::KEY_Q:
            vt::GameManager::getInstance().setGameOver();
            return 1;
        default:
            return 0;
        }
        // Walls are HARD, so the world refuses a move into one.
        vt::WorldManager::getInstance().moveObject(this, getPosition() + step);
        return 1;
    }

    /// Jumps to the hiding place for the given number of catches.
    void hide(int catches) { setPosition(HIDING_PLACES[catches % CATCHES_TO_WIN]); }
};

class Chaser : public vt::Object {
  public:
    Chaser(Runner* p_runner, vt::ViewObject* p_caught) : m_p_runner(p_runner), m_p_caught(p_caught) {
        setType("Chaser");
        setPosition(vt::Vector(3, 12));
        // SOFT: the walls would hold a HARD chaser that brushes a corner on a
        // diagonal step; the path it follows keeps it clear of them anyway.
        setSolidness(vt::SOFT);
        setSpeed(0.5f); // spaces per step along the path
        registerInterest(vt::EVENT_STEP);
    }

    int draw() override {
        return vt::DisplayManager::getInstance().drawCharacter(getPosition(), 'C', vt::RED);
    }

    int eventHandler(const vt::Event* p_event) override {
        if (p_event->getType() == vt::EVENT_STEP) {
            step();
            return 1;
        }
        if (p_event->getType() == vt::EVENT_COLLISION) {
            const auto* p_collision = dynamic_cast<const vt::EventCollision*>(p_event);
            if (p_collision->getObject1() == m_p_runner || p_collision->getObject2() == m_p_runner)
                caught();
            return 1;
        }
        if (p_event->getType() == vt::EVENT_PATH) {
            const auto* p_path = dynamic_cast<const vt::EventPath*>(p_event);
            const vt::Vector gap = m_p_runner->getPosition() - getPosition();
            const int straight = static_cast<int>(std::max(std::fabs(gap.getX()), std::fabs(gap.getY())));
            vt::LogManager::getInstance().writeLog(
                "Chaser: step %d, path of %d cells, %d in a straight line.", m_steps,
                p_path->getPath().getCount(), straight + 1);
        }
        // The base handling takes a path found and follows it at our speed.
        return Object::eventHandler(p_event);
    }

  private:
    void step() {
        m_steps++;
        if (m_steps >= STEPS_TO_SURVIVE) {
            end("the runner survives");
            return;
        }
        const bool idle = !getFollowPath() && !getPathSearch();
        if (idle || m_steps % STEPS_BETWEEN_SEARCHES == 0)
            searchForRunner();
    }

    // With the runner as target, the search ends where the two would touch.
    void searchForRunner() {
        vt::PathManager::getInstance().findPath(this, m_p_runner->getPosition(), m_p_runner);
    }

    void caught() {
        const vt::EventView counted("Caught", 1, true);
        vt::WorldManager::getInstance().onEvent(&counted);
        const int catches = m_p_caught->getValue();
        vt::LogManager::getInstance().writeLog("Chaser: step %d, caught the runner (%d).", m_steps, catches);
        if (catches >= CATCHES_TO_WIN) {
            end("the chaser wins");
            return;
        }
        m_p_runner->hide(catches);
        setFollowPath(false);
        searchForRunner();
    }

    void end(const char* outcome) {
        vt::LogManager::getInstance().writeLog("Chaser: step %d, %s; Caught shows %d.", m_steps, outcome,
                                               m_p_caught->getValue());
        vt::GameManager::getInstance().setGameOver();
    }

    Runner* m_p_runner;
    vt::ViewObject* m_p_caught;
    int m_steps = 0;
};

} // namespace

int main() {
    vt::GameManager& game = vt::GameManager::getInstance();
    if (game.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game.shutDown();
        return 1;
    }
    vt::LogManager::getInstance().setFlush(true);

    for (int y = 0; y < 24; y++)
        for (int x = 0; MAP[y][x] != '\0'; x++)
            if (MAP[y][x] == '#')
                new Wall(vt::Vector(static_cast<float>(x), static_cast<float>(y)));
    auto* p_caught = new vt::ViewObject;
    p_caught->setViewString("Caught");
    p_caught->setLocation(vt::TOP_RIGHT);
    auto* p_runner = new Runner;
    new Chaser(p_runner, p_caught);

    game.run();
    game.shutDown();
    return 0;
}
