#include "GameOver.h"

#include <vintrel/events/Event.h>
#include <vintrel/media/Animation.h>
#include <vintrel/media/Sprite.h>
#include <vintrel/world/ObjectList.h>
#include <vintrel/world/WorldManager.h>

#include "GameNames.h"
#include "Sounds.h"

GameOver::GameOver() : m_time_to_live(0) {
    setType(names::GAME_OVER);
    if (setSprite(names::GAME_OVER_SPRITE) == 0) {
        const vt::Sprite* p_sprite = getAnimation().getSprite();
        if (p_sprite != nullptr) {
            m_time_to_live = p_sprite->getSlowdown() * p_sprite->getFrameCount();
        }
    }
    setLocation(vt::CENTER_CENTER);
    registerInterest(vt::EVENT_STEP);
    playSound(names::GAME_OVER_SOUND);
}

GameOver::~GameOver() {
    const vt::ObjectList all = vt::WorldManager::getInstance().getAllObjects(true);
    for (int i = 0; i < all.getCount(); ++i) {
        if (all[i]->getType() == names::GAME_START) {
            all[i]->setActive(true);
        }
    }
}

int GameOver::eventHandler(const vt::Event* p_event) {
    if (p_event->getType() != vt::EVENT_STEP) {
        return 0;
    }
    --m_time_to_live;
    if (m_time_to_live <= 0) {
        vt::WorldManager::getInstance().markForDelete(this);
    }
    return 1;
}

int GameOver::draw() { return vt::Object::draw(); }
