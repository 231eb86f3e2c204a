#include "vintrel/network/EventNetworkGameOver.h"

namespace vt {

EventNetworkGameOver::EventNetworkGameOver() : EventNetwork(LABEL_CLOSE), m_host_ended(false), m_reason() {
    setType(EVENT_NETWORK_GAME_OVER);
}

} // namespace vt
