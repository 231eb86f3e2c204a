#pragma once

#include "vintrel/core/Manager.h"

namespace vt {

/// TCP connections for networked games.
class NetworkManager : public Manager {
public:
    static NetworkManager& getInstance();
    bool isValid(const std::string& event_type) const override;
    ~NetworkManager() override;
    int startUp() override;
    void shutDown() override;

    /// True when a listening socket is open.
    bool isServer() const;
    /// Accepts one waiting connection; the new socket, or -1.
    int accept();
    /// True when the socket (-1: any socket) is connected.
    bool isConnected(int sock_index = -1) const;
    /// Sends the queued messages whose step has come; 0 or -1.
    int sendQueued();

private:
    NetworkManager();
};

} // namespace vt
