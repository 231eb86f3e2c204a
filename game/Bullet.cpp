#include "Bullet.h"
#include "GameNames.h"

#include <vintrel/events/Event.h>
#include <vintrel/world/WorldManager.h>

Bullet::Bullet(const vt::Vector& position, const vt::Vector& velocity) {
    setType(names::BULLET);
    setSprite(names::BULLET_SPRITE);
    setPosition(position);
    setSolidness(vt::SOFT);
    setVelocity(velocity);
}

int Bullet::eventHandler(const vt::Event* p_event) {
    if (p_event->getType() == vt::EVENT_OUT) {
        vt::WorldManager::getInstance().markForDelete(this);
        return 1;
    }
    return 0;
}
