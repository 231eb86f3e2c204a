#include "vintrel/events/EventOut.h"

namespace vt {

EventOut::EventOut() { setType(EVENT_OUT); }

} // namespace vt
