#include "Reticle.h"
#include "GameNames.h"

#include <vintrel/core/Color.h>
#include <vintrel/events/Event.h>
#include <vintrel/events/EventMouse.h>
#include <vintrel/media/DisplayManager.h>

Reticle::Reticle() {
    setType(names::RETICLE);
    setSolidness(vt::SPECTRAL);
    setAltitude(vt::ALTITUDE_MAX);
    registerInterest(vt::EVENT_MOUSE);
}

int Reticle::eventHandler(const vt::Event* p_event) {
    const auto* p_mouse = vt::eventAs<vt::EventMouse>(p_event);
    if (p_mouse == nullptr || p_mouse->getMouseAction() != vt::MOUSE_ACTION_MOVED) {
        return 0;
    }
    setPosition(p_mouse->getMousePosition());
    return 1;
}

int drawReticle(const vt::Vector& position) {
    return vt::DisplayManager::getInstance().drawCharacter(position, '+', vt::RED, 0.0f);
}

int Reticle::draw() { return drawReticle(getPosition()); }
