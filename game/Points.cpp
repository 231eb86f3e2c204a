#include "Points.h"
#include "GameNames.h"

#include <vintrel/core/Color.h>
#include <vintrel/events/Event.h>
#include <vintrel/events/EventStep.h>

namespace {

constexpr int STEPS_PER_POINT = 30;

} // namespace

Points::Points() {
    registerInterest(vt::EVENT_STEP);
    setLocation(vt::TOP_CENTER);
    setViewString(names::POINTS_VIEW);
    setColor(vt::WHITE);
}

int Points::eventHandler(const vt::Event* p_event) {
    if (vt::ViewObject::eventHandler(p_event) != 0) {
        return 1;
    }
    if (const auto* p_step = vt::eventAs<vt::EventStep>(p_event)) {
        if (p_step->getStepCount() % STEPS_PER_POINT == 0) {
            setValue(getValue() + 1);
        }
        return 1;
    }
    return 0;
}
