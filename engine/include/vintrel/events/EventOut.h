#pragma once

#include "vintrel/events/Event.h"

namespace vt {

/// Sent to an object whose box has just left the world boundary.
class EventOut : public Event {
  public:
    EventOut();
};

} // namespace vt
