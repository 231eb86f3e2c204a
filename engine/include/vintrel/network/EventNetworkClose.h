#pragma once

#include "vintrel/network/EventNetwork.h"

namespace vt {

/// Sent by the network manager when it has closed a connection.
class EventNetworkClose : public EventNetwork {
  public:
    /// Label 2; the socket is set by the sender.
    EventNetworkClose();
};

} // namespace vt
