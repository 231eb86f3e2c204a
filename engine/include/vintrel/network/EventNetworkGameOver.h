#pragma once

#include <string>

#include "vintrel/network/EventNetwork.h"

namespace vt {

/// Sent by a WorldMirror to the objects interested in "vt-network-game-over"
/// when its watching stops: the host has ended its game (or gone), or no game
/// could be watched there. A game that registers interest decides what
/// happens next; without one, the mirror ends the game loop.
class EventNetworkGameOver : public EventNetwork {
  public:
    /// Label 2 (the connection is closed); the sender sets the rest.
    EventNetworkGameOver();

    /// Sets whether the host ended its game (true) or watching failed (false).
    void setHostEnded(bool host_ended) { m_host_ended = host_ended; }
    /// True when the host ended its game or went away after it began; false
    /// when no game was found or the host sent what cannot be watched.
    bool getHostEnded() const { return m_host_ended; }
    /// Sets why watching stopped.
    void setReason(const std::string& reason) { m_reason = reason; }
    /// Why watching stopped, as WorldMirror::getReason() says it.
    const std::string& getReason() const { return m_reason; }

  private:
    bool m_host_ended;
    std::string m_reason;
};

} // namespace vt
