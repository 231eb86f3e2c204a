#include "vintrel/network/NetworkManager.h"

#include <cstring>

#include "vintrel/events/Event.h"

namespace vt {

NetworkManager::NetworkManager() { setType("NetworkManager"); }

NetworkManager::~NetworkManager() = default;

NetworkManager& NetworkManager::getInstance() {
    static NetworkManager network_manager;
    return network_manager;
}

bool NetworkManager::isValid(const std::string& event_type) const {
    return event_type.compare(0, std::strlen(EVENT_NETWORK), EVENT_NETWORK) == 0 ||
           event_type == EVENT_KEYBOARD_NETWORK || event_type == EVENT_MOUSE_NETWORK ||
           event_type == EVENT_CUSTOM_NETWORK;
}

int NetworkManager::startUp() { return Manager::startUp(); }

void NetworkManager::shutDown() { Manager::shutDown(); }

bool NetworkManager::isServer() const { return false; }

int NetworkManager::accept() { return -1; }

bool NetworkManager::isConnected(int) const { return false; }

int NetworkManager::sendQueued() { return 0; }

} // namespace vt
