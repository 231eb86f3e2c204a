#include "Missile.h"

#include <vintrel/events/Event.h>
#include <vintrel/events/EventCollision.h>
#include <vintrel/world/WorldManager.h>

#include "GameNames.h"
#include "MissileExplosion.h"

Missile::Missile(const vt::Vector& position, const vt::Vector& velocity) {
    registerInterest(vt::EVENT_COLLISION);
    setSprite(names::MISSILE_SPRITE);
    setType(names::MISSILE);
    setPosition(position);
    setSolidness(vt::SOFT);
    setVelocity(velocity);
}

int Missile::eventHandler(const vt::Event* p_event) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    if (p_event->getType() == vt::EVENT_OUT) {
        world_manager.markForDelete(this);
        return 1;
    }
    if (const auto* p_collision = vt::eventAs<vt::EventCollision>(p_event)) {
        if (p_collision->getObject1()->getType() == names::ASTEROID ||
            p_collision->getObject2()->getType() == names::ASTEROID) {
            auto* p_blast = new MissileExplosion;
            p_blast->setPosition(getPosition());
            world_manager.markForDelete(this);
        }
        return 1;
    }
    return 0;
}
