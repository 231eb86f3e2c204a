#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
/// connect(), which returns at once; the game loop finishes the connection.
/// Both sides send with send() or at a later step with queue(), and poll with
/// receive(). Objects interested in "vt-network-accept", "vt-network-connect"
/// and "vt-network-close" hear of new, finished and closed connections.
/// Every call runs on the game loop's thread and never blocks (resolving a
/// host name, rather than a numeric address, may wait for the resolver).
class NetworkManager : public Manager {
  public:
    /// The one network manager, made on first use.
    static NetworkManager& getInstance();
    /// True for the network event names; other names are logged and refused.
    bool isValid(const std::string& event_type) const override;
    ~NetworkManager() override;
    /// Takes the backlog limit and the connect timeout from the
    /// configuration; 0, or -1 when already started.
    int startUp() override;
    /// Closes every connection (sending their close events) and the listening socket.
    void shutDown() override;

    /// The game loop's network phase, once per step: finishes or gives up
    /// connections being made, accepts one waiting connection when a server,
    /// sends "vt-network-sync" to the objects interested, then sends what is
    /// due and what earlier steps could not send.
    void update();

    /// Listens for connections on address:port without blocking; port "0"
    /// lets the system choose (see getPort()). 0 or -1.
    int setupServer(const std::string& port = DEFAULT_PORT, const std::string& address = DEFAULT_ADDRESS);
    /// True when a listening socket is open.
    bool isServer() const;
    /// The port the listening socket is bound to, or -1 when not a server.
    int getPort() const;
    /// Starts connecting to a server without waiting and returns the new
    /// socket, or -1 (logged) when the address is unknown or every address
    /// refused at once. The game loop then finishes the connection and sends
    /// an EventNetworkConnect: connected, or failed (refused, or no answer
    /// within the connect timeout; the socket is then forgotten).
    int connect(const std::string& host = DEFAULT_ADDRESS, const std::string& port = DEFAULT_PORT);
    /// Accepts one waiting connection; the new socket, -1 when none is waiting
    /// or the maximum is reached, -2 on error or when not a server. Waiting
    /// connections whose peers have already closed them are closed and passed
    /// over, without events. A run of identical failures is logged once, then
    /// as a count.
    int accept();
    /// Closes one connection, or all of them for -1; 0 or -1. Bytes the
    /// system has not taken yet get one last try without waiting.
    int close(int sock);
    /// True when the socket is connected (a connection still being made is
    /// not); for -1, when any socket is.
    bool isConnected(int sock = -1) const;
    /// True while a connection started by connect() is being made.
    bool isConnecting(int sock) const;
    /// Connections, including those still being made.
    int getNumConnections() const { return static_cast<int>(m_connections.size()); }
    /// Bytes the system took to send, over every connection since the process began.
    std::uint64_t getBytesSent() const { return m_bytes_sent; }
    /// Bytes received (not peeked), over every connection since the process began.
    std::uint64_t getBytesReceived() const { return m_bytes_received; }

    /// Sends the bytes now, as far as the system takes them; the rest is kept
    /// and sent, in order, in the following steps (so is everything sent while
    /// a connection is still being made). 0 when sent or kept; -1 when not
    /// connected, or when the connection is closed because it is gone or its
    /// backlog would pass the limit.
    int send(const void* buffer, int bytes, int sock);
    /// Reads up to `bytes` waiting bytes (peek: leaves them waiting). The
    /// number read, 0 when nothing is waiting, -1 on error or when the peer
    /// has closed (the connection is then closed here too).
    int receive(void* buffer, int bytes, int sock, bool peek = false);
    /// Copies the bytes into the connection's outbox, to be sent once the
    /// game loop's step count reaches due_step; 0, or -1 when not connected
    /// or when the backlog would pass the limit (the connection is then closed).
    int queue(const void* buffer, int bytes, int sock, int due_step);
    /// Number of messages waiting in the connection's outbox (0 when not connected).
    int getQueued(int sock) const;
    /// Bytes held for the connection: sent but not yet taken by the system,
    /// plus the queued messages (0 when not connected).
    std::size_t getBacklog(int sock) const;
    /// Sends what earlier steps could not, then every queued message whose
    /// step has come, per connection in order; the sum of the send() results.
    int sendQueued();

    /// Accepted connections allowed at once (3 by default); 0 or -1 for a
    /// negative number. Lowering it closes no connection.
    int setMaxConnections(int max_connections);
    /// Accepted connections allowed at once.
    int getMaxConnections() const { return m_max_connections; }
    /// Most bytes held for one connection before it is closed (configuration
    /// "network_backlog"); 0 or -1 for 0.
    int setBacklogLimit(std::size_t bytes);
    /// Most bytes held for one connection before it is closed.
    std::size_t getBacklogLimit() const { return m_backlog_limit; }
    /// Milliseconds a connection may take to be made (configuration
    /// "network_connect_timeout"); 0 or -1 for a value below 1.
    int setConnectTimeout(int milliseconds);
    /// Milliseconds a connection may take to be made.
    int getConnectTimeout() const { return m_connect_timeout; }

  private:
    struct Message;
    struct Connection;

    NetworkManager();
    // Position of the socket in m_connections, or -1.
    int indexOf(int sock) const;
    // Removes a connection's entry and releases its descriptor; 0 or -1.
    int forget(int index);
    // Logs a failed socket call, and closes the connection when the error
    // shows that it is gone.
    void closeIfGone(const char* where, int sock, int error);
    // Moves a connection being made on: connected, still waiting, next
    // address, or given up (forgotten, with its result event).
    void checkConnecting(int sock);
    // Sends the connection's unsent bytes as far as the system takes them;
    // 0, or -1 when the connection was closed.
    int flush(int sock);
    // Closes the connection when what it holds passes the limit; 0 or -1.
    int enforceBacklog(int sock, const char* where);
    // Writes the count of accept() failures not yet reported, if any.
    void reportAcceptFailures();

    int m_sock;
    int m_max_connections;
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::uint64_t m_bytes_sent = 0;
    std::uint64_t m_bytes_received = 0;
    std::size_t m_backlog_limit;
    int m_connect_timeout; // milliseconds
    // The last accept() error and how many times in a row it occurred.
    int m_accept_error;
    int m_accept_failures;
};

} // namespace vt
