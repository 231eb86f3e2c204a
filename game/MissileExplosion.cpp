#include "MissileExplosion.h"

#include <vintrel/events/Event.h>

#include "Explosion.h"
#include "GameNames.h"

MissileExplosion::MissileExplosion() : m_time_to_live(0) {
    registerInterest(vt::EVENT_STEP);
    registerInterest(vt::EVENT_COLLISION);
    m_time_to_live = explosionLifetime(this, names::MISSILE_EXPLOSION_SPRITE);
    setType(names::MISSILE_EXPLOSION);
    setSolidness(vt::SOFT);
    setAltitude(vt::ALTITUDE_MAX);
}

int MissileExplosion::eventHandler(const vt::Event* p_event) {
    return handleExplosionEvent(this, m_time_to_live, p_event);
}
