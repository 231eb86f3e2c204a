// Wanderer: a walker steered with the arrow keys, one cell per press, picks
// up the gems scattered over the field. The number of steps and of gems
// found shows at the top, a hint at the bottom. Q quits.
#include <cstdlib>

#include <vintrel/core/Color.h>
#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/events/EventCollision.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/events/EventView.h>
#include <vintrel/input/Key.h>
#include <vintrel/media/DisplayManager.h>
#include <vintrel/media/ResourceManager.h>
#include <vintrel/world/Object.h>
#include <vintrel/world/ViewObject.h>
#include <vintrel/world/WorldManager.h>

constexpr int GEMS = 5;

// A whole number of cells from low to high, both included.
float cellBetween(int low, int high) { return static_cast<float>(low + std::rand() % (high - low + 1)); }

// Drawn without a sprite file: draw() puts one character in its cell.
class Gem : public vt::Object {
  public:
    Gem() {
        setType("Gem");
        setSolidness(vt::SOFT);
        // Below the counters and above the hint.
        setPosition(vt::Vector(cellBetween(2, 77), cellBetween(3, 21)));
    }

    int draw() override {
        return vt::DisplayManager::getInstance().drawCharacter(getPosition(), '*', vt::CYAN);
    }

    int eventHandler(const vt::Event* p_event) override {
        if (p_event->getType() != vt::EVENT_COLLISION)
            return 0;
        const auto* p_collision = dynamic_cast<const vt::EventCollision*>(p_event);
        vt::Object* p_other =
            p_collision->getObject1() == this ? p_collision->getObject2() : p_collision->getObject1();
        if (p_other->getType() != "Walker")
            return 0;
        vt::LogManager::getInstance().writeLog("Gem found at %s", getPosition().toString().c_str());
        vt::WorldManager& world = vt::WorldManager::getInstance();
        const vt::EventView found("Gems", 1, true);
        world.onEvent(&found);
        world.markForDelete(this);
        return 1;
    }
};

class Walker : public vt::Object {
  public:
    Walker() {
        setType("Walker");
        setSprite("walker");
        setPosition(vt::Vector(40, 12));
        registerInterest(vt::EVENT_KEYBOARD);
    }

    int eventHandler(const vt::Event* p_event) override {
        if (p_event->getType() != vt::EVENT_KEYBOARD)
            return Object::eventHandler(p_event);
        const auto* p_key = dynamic_cast<const vt::EventKeyboard*>(p_event);
        // A short press arrives as PRESSED and, in the same step, HELD:
        // moving on PRESSED only gives one cell per press.
        if (p_key->getKeyboardAction() != vt::KEY_ACTION_PRESSED)
            return 1;
        switch (p_key->getKey()) {
        case vt::KEY_LEFT:
            move(-1, 0);
            break;
        case vt::KEY_RIGHT:
            move(1, 0);
            break;
        case vt::KEY_UP:
            move(0, -1);
            break;
        case vt::KEY_DOWN:
            move(0, 1);
            break;
        case vt::KEY_Q:
            vt::GameManager::getInstance().setGameOver();
            break;
        default:
            return 0;
        }
        return 1;
    }

  private:
    void move(float dx, float dy) {
        vt::WorldManager& world = vt::WorldManager::getInstance();
        if (world.moveObject(this, getPosition() + vt::Vector(dx, dy)) == 0) {
            // Every view object labelled "Steps" adds one.
            const vt::EventView counted("Steps", 1, true);
            world.onEvent(&counted);
        }
    }
};

// A line of text on the bottom row, drawn with drawText.
class Hint : public vt::Object {
  public:
    Hint() {
        setType("Hint");
        setSolidness(vt::SPECTRAL);
        const vt::Box world = vt::WorldManager::getInstance().getBoundary();
        setPosition(vt::Vector(world.getHorizontal() / 2, world.getVertical() - 1));
    }

    int draw() override {
        const bool all_found = vt::WorldManager::getInstance().objectsOfType("Gem").isEmpty();
        const char* text = all_found ? "All gems found!  Q quits." : "Arrows: one step per press.  Q quits.";
        return vt::DisplayManager::getInstance().drawText(getPosition(), text, vt::CENTER, vt::WHITE);
    }
};

vt::ViewObject* makeCounter(const char* label, int location) {
    auto* p_counter = new vt::ViewObject;
    p_counter->setViewString(label);
    p_counter->setLocation(location);
    return p_counter;
}

int main() {
    vt::GameManager& game = vt::GameManager::getInstance();
    if (game.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game.shutDown();
        return 1;
    }
    // Every log line reaches vintrel.log at once, even if the game crashes.
    vt::LogManager::getInstance().setFlush(true);
    vt::ResourceManager::getInstance().loadSprite("sprites/walker.txt", "walker");

    makeCounter("Steps", vt::TOP_LEFT);
    makeCounter("Gems", vt::TOP_RIGHT);
    for (int i = 0; i < GEMS; i++)
        new Gem;
    new Walker;
    new Hint;

    game.run();
    game.shutDown();
    return 0;
}
