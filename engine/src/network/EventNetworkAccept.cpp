#include "vintrel/network/EventNetworkAccept.h"

namespace vt {

EventNetworkAccept::EventNetworkAccept() : EventNetwork(LABEL_ACCEPT) { setType(EVENT_NETWORK_ACCEPT); }

} // namespace vt
