#include "vintrel/network/EventNetworkClose.h"

namespace vt {

EventNetworkClose::EventNetworkClose() : EventNetwork(LABEL_CLOSE) { setType(EVENT_NETWORK_CLOSE); }

} // namespace vt
