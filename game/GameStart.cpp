#include "GameStart.h"

#include <vintrel/core/Color.h>
#include <vintrel/core/GameManager.h>
#include <vintrel/events/Event.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/input/Key.h>
#include <vintrel/media/Music.h>
#include <vintrel/media/ResourceManager.h>
#include <vintrel/world/ObjectList.h>
#include <vintrel/world/WorldManager.h>

#include <string>

#include "Asteroid.h"
#include "GameNames.h"
#include "Player.h"
#include "Points.h"

namespace {

constexpr int FIRST_ASTEROIDS = 5;

// Two displays at the same place would garble each other; a new game shows
// only its own score and missile stock.
void removeDisplays(const std::string& label) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const vt::ObjectList objects = world_manager.getAllObjects(true);
    for (int i = 0; i < objects.getCount(); ++i) {
        const auto* p_view = dynamic_cast<const vt::ViewObject*>(objects[i]);
        if (p_view != nullptr && p_view->getViewString() == label) {
            world_manager.markForDelete(objects[i]);
        }
    }
}

} // namespace

GameStart::GameStart() : m_p_music(nullptr) {
    setType(names::GAME_START);
    setSprite(names::GAME_START_SPRITE);
    setLocation(vt::CENTER_CENTER);
    registerInterest(vt::EVENT_KEYBOARD);
    m_p_music = vt::ResourceManager::getInstance().getMusic(names::START_MUSIC);
    if (m_p_music != nullptr) {
        m_p_music->play(true);
    }
}

int GameStart::eventHandler(const vt::Event* p_event) {
    const auto* p_keyboard = vt::eventAs<vt::EventKeyboard>(p_event);
    if (p_keyboard == nullptr) {
        return 0;
    }
    switch (p_keyboard->getKey()) {
    case vt::KEY_P:
        start();
        break;
    case vt::KEY_Q:
        vt::GameManager::getInstance().setGameOver(true);
        break;
    default:
        break;
    }
    return 1;
}

int GameStart::draw() { return vt::Object::draw(); }

void GameStart::start() {
    removeDisplays(names::POINTS_VIEW);
    removeDisplays(names::MISSILES_VIEW);
    new Player;
    for (int i = 0; i < FIRST_ASTEROIDS; ++i) {
        new Asteroid;
    }
    new Points;

    auto* p_missiles = new vt::ViewObject;
    p_missiles->setLocation(vt::TOP_RIGHT);
    p_missiles->setViewString(names::MISSILES_VIEW);
    p_missiles->setValue(MISSILE_STOCK_MAX);
    p_missiles->setColor(vt::GREEN);

    if (m_p_music != nullptr) {
        m_p_music->stop();
    }
    // Asleep, the title screen gets no more keys: P held down starts one game.
    setActive(false);
}
