#pragma once

#include <string>
#include <vector>

#include "vintrel/world/Object.h"

namespace vt::test {

/// A peer outside the engine: a plain blocking socket connected to
/// 127.0.0.1:port, or -1. A receive buffer size other than 0 is set before
/// connecting, so that the window the peer offers stays that small.
int connectPeer(int port, int receive_buffer = 0);
/// A plain socket listening on 127.0.0.1, on a port the system chooses
/// (written to *p_port), with room for a few waiting connections; -1 on failure.
int listenPeer(int* p_port);
/// Accepts the next connection through the network manager, giving the
/// kernel a little time to finish the handshake; -1 when none arrives
/// within half a second.
int acceptNext();
/// What is waiting on a plain socket, without blocking (at most `most` bytes).
std::string peerReceive(int peer, std::size_t most = 256);
/// Everything waiting on a plain socket, without blocking.
std::string peerReceiveAll(int peer);
/// Shrinks a socket's send buffer to 4 KiB, so that a backlog builds up
/// quickly; true on success.
bool shrinkSendBuffer(int sock);

/// Records every network event it hears of: accepts, connects and closes.
class NetworkListener : public Object {
  public:
    NetworkListener();
    int eventHandler(const Event* p_event) override;

    struct Seen {
        std::string type;
        int label;
        int socket;
        /// The connect event's result; 0 for the others.
        int result;
    };
    std::vector<Seen> seen;
    /// How many events of this type it heard.
    int count(const std::string& type) const;
};

} // namespace vt::test
