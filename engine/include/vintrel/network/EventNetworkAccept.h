#pragma once

#include "vintrel/network/EventNetwork.h"

namespace vt {

/// Sent by the network manager when it has accepted a connection.
class EventNetworkAccept : public EventNetwork {
  public:
    /// Label 0; the socket is set by the sender.
    EventNetworkAccept();
};

} // namespace vt
