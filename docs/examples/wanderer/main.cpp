// Wanderer: a walker steered with the arrow keys through a field of cells,
// counting its steps at the top of the screen. Q quits.
#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/events/EventView.h>
#include <vintrel/input/Key.h>
#include <vintrel/media/ResourceManager.h>
#include <vintrel/world/Object.h>
#include <vintrel/world/ViewObject.h>
#include <vintrel/world/WorldManager.h>

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
        if (p_key->getKeyboardAction() == vt::KEY_ACTION_RELEASED)
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

int main() {
    vt::GameManager& game = vt::GameManager::getInstance();
    if (game.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game.shutDown();
        return 1;
    }
    vt::ResourceManager::getInstance().loadSprite("sprites/walker.txt", "walker");

    auto* p_steps = new vt::ViewObject;
    p_steps->setViewString("Steps");
    p_steps->setLocation(vt::TOP_CENTER);
    new Walker;

    game.run();
    game.shutDown();
    return 0;
}
