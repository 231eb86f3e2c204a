#include "vintrel/network/EventNetworkConnect.h"

namespace vt {

EventNetworkConnect::EventNetworkConnect() : EventNetwork(LABEL_CONNECT), m_result(0) {
    setType(EVENT_NETWORK_CONNECT);
}

} // namespace vt
