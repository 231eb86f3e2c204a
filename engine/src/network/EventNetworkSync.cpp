#include "vintrel/network/EventNetworkSync.h"

namespace vt {

EventNetworkSync::EventNetworkSync() : EventNetwork(LABEL_SYNC) { setType(EVENT_NETWORK_SYNC); }

} // namespace vt
