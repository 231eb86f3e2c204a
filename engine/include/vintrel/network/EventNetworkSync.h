#pragma once

#include "vintrel/network/EventNetwork.h"

namespace vt {

/// Sent by the network manager once per step in the game loop's network
/// phase, after the world has moved and been drawn and before the step's
/// bytes go out: the moment for objects to send the state of that step.
class EventNetworkSync : public EventNetwork {
  public:
    /// Label 3; no socket.
    EventNetworkSync();
};

} // namespace vt
