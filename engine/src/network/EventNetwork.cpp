#include "vintrel/network/EventNetwork.h"

#include "vintrel/core/LogManager.h"

namespace vt {

EventNetwork::EventNetwork(int label)
    : m_label(LABEL_UNDEFINED), m_socket(-1), m_bytes(0), m_p_message(nullptr) {
    setType(EVENT_NETWORK);
    setLabel(label);
}

void EventNetwork::setLabel(int label) {
    if (label < -1 || label > 3) {
        LogManager::getInstance().writeLog("EventNetwork::setLabel(): Undefined type (%d).", label);
        label = LABEL_UNDEFINED;
    }
    m_label = label;
}

} // namespace vt
