#pragma once

#include <deque>
#include <string>
#include <vector>

#include "vintrel/core/Manager.h"

namespace vt {

/// The port a server listens on and a client connects to unless told otherwise.
inline constexpr char DEFAULT_PORT[] = "9876";
/// The address a server listens on unless told otherwise: this machine only.
inline constexpr char DEFAULT_ADDRESS[] = "127.0.0.1";

/// TCP connections for networked games. A server calls setupServer() once;
/// the game loop then accepts one waiting connection per step (up to the
/// maximum) and sends the queued messages that are due. A client calls
/// connect(). Both sides send at once with send() or at a later step with
/// queue(), and poll with receive(). Objects interested in
/// "vt-network-accept" and "vt-network-close" hear of new and closed
/// connections. Every call runs on the game loop's thread and never blocks,
/// except connect() while the connection is made.
class NetworkManager : public Manager {
  public:
    /// The one network manager, made on first use.
    static NetworkManager& getInstance();
    /// True for the network event names; other names are logged and refused.
    bool isValid(const std::string& event_type) const override;
    ~NetworkManager() override;
    /// 0, or -1 when already started.
    int startUp() override;
    /// Closes every connection (sending their close events) and the listening socket.
    void shutDown() override;

    /// Listens for connections on address:port without blocking; port "0"
    /// lets the system choose (see getPort()). 0 or -1.
    int setupServer(const std::string& port = DEFAULT_PORT, const std::string& address = DEFAULT_ADDRESS);
    /// True when a listening socket is open.
    bool isServer() const;
    /// The port the listening socket is bound to, or -1 when not a server.
    int getPort() const;
    /// Connects to a server and adds the connection; the new socket or -1.
    /// Blocks until the server answers or refuses.
    int connect(const std::string& host = DEFAULT_ADDRESS, const std::string& port = DEFAULT_PORT);
    /// Accepts one waiting connection; the new socket, -1 when none is waiting
    /// or the maximum is reached, -2 on error or when not a server.
    int accept();
    /// Closes one connection, or all of them for -1; 0 or -1.
    int close(int sock);
    /// True when the socket is connected; for -1, when any socket is.
    bool isConnected(int sock = -1) const;
    /// Number of open connections, accepted or made.
    int getNumConnections() const { return static_cast<int>(m_connections.size()); }

    /// Sends the bytes now, in one call; 0, or -1 when not all were sent. A
    /// connection found gone is closed.
    int send(const void* buffer, int bytes, int sock);
    /// Reads up to `bytes` waiting bytes (peek: leaves them waiting). The
    /// number read, 0 when nothing is waiting, -1 on error or when the peer
    /// has closed (the connection is then closed here too).
    int receive(void* buffer, int bytes, int sock, bool peek = false);
    /// Copies the bytes into the connection's outbox, to be sent by
    /// sendQueued() once the game loop's step count reaches due_step; 0 or -1.
    int queue(const void* buffer, int bytes, int sock, int due_step);
    /// Number of messages waiting in the connection's outbox (0 when not connected).
    int getQueued(int sock) const;
    /// Sends every queued message whose step has come, per connection in
    /// order; the sum of the send() results.
    int sendQueued();

    /// Accepted connections allowed at once (3 by default); 0 or -1 for a
    /// negative number. Lowering it closes no connection.
    int setMaxConnections(int max_connections);
    /// Accepted connections allowed at once.
    int getMaxConnections() const { return m_max_connections; }

  private:
    // An owned copy of the bytes to send and the step at which they are due.
    struct Message {
        std::vector<char> buffer;
        int due_step;
    };

    NetworkManager();
    // Position of the socket in m_connections, or -1.
    int indexOf(int sock) const;
    void removeConnection(int index);
    // Logs a failed socket call, and closes the connection when the error
    // shows that it is gone.
    void closeIfGone(const char* where, int sock, int error);

    int m_sock;
    int m_max_connections;
    std::vector<int> m_connections;
    // Parallel to m_connections: 0 for every connection.
    std::vector<int> m_pending;
    std::vector<std::deque<Message>> m_outbox;
};

} // namespace vt
