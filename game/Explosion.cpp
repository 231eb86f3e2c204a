#include "Explosion.h"

#include <vintrel/events/Event.h>
#include <vintrel/events/EventCollision.h>
#include <vintrel/media/Animation.h>
#include <vintrel/media/Sprite.h>
#include <vintrel/world/WorldManager.h>

#include "Asteroid.h"
#include "GameNames.h"
#include "Sounds.h"

Explosion::Explosion() : m_time_to_live(0) {
    registerInterest(vt::EVENT_STEP);
    registerInterest(vt::EVENT_COLLISION);
    m_time_to_live = explosionLifetime(this, names::EXPLOSION_SPRITE);
    setType(names::EXPLOSION);
    setSolidness(vt::SOFT);
}

int Explosion::eventHandler(const vt::Event* p_event) {
    return handleExplosionEvent(this, m_time_to_live, p_event);
}

int explosionLifetime(vt::Object* p_explosion, const char* sprite_label) {
    if (p_explosion->setSprite(sprite_label) != 0) {
        return 0;
    }
    const vt::Sprite* p_sprite = p_explosion->getAnimation().getSprite();
    return p_sprite != nullptr ? p_sprite->getFrameCount() : 0;
}

int handleExplosionEvent(vt::Object* p_explosion, int& time_to_live, const vt::Event* p_event) {
    if (p_event->getType() == vt::EVENT_STEP) {
        --time_to_live;
        if (time_to_live < 1) {
            vt::WorldManager::getInstance().markForDelete(p_explosion);
        }
        return 1;
    }
    if (const auto* p_collision = vt::eventAs<vt::EventCollision>(p_event)) {
        blastAsteroids(p_collision);
        return 1;
    }
    return 0;
}

namespace {

void blast(vt::Object* p_o) {
    if (p_o->getType() != names::ASTEROID) {
        return;
    }
    vt::WorldManager::getInstance().markForDelete(p_o);
    playSound(names::EXPLODE_SOUND);
    new Asteroid;
}

} // namespace

void blastAsteroids(const vt::EventCollision* p_collision) {
    blast(p_collision->getObject1());
    blast(p_collision->getObject2());
}
