#include "vintrel/network/NetworkManager.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "core/LoopState.h"
#include "core/TextTables.h"
#include "platform/Sockets.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/Event.h"
#include "vintrel/network/EventNetworkAccept.h"
#include "vintrel/network/EventNetworkClose.h"
#include "vintrel/network/EventNetworkConnect.h"
#include "vintrel/network/EventNetworkSync.h"

namespace vt {

namespace {

// The system's text for a socket error, as a continuation line.
void logErrorText(int error) {
    const std::string text = platform::socketErrorText(error);
    if (!text.empty())
        LogManager::getInstance().writeLog("\t%d - %s", error, text.c_str());
}

// A run of identical accept() failures writes its count every this many.
constexpr int ACCEPT_FAILURES_PER_REPORT = 1000;

// The unsent bytes' storage is compacted once this much of it has been sent.
constexpr std::size_t COMPACT_AFTER_BYTES = 64 * 1024;

// Most connections found already closed that one accept() clears from the
// listener's queue: as many as the system queues (SOMAXCONN), a few
// milliseconds' work.
constexpr int MAX_GONE_PER_ACCEPT = 4096;

// True when the peer of a fresh connection has already closed or reset it
// without sending anything.
bool peerHasLeft(int sock) {
    char byte = 0;
    const long got = platform::receiveBytes(sock, &byte, 1, true);
    if (got >= 0)
        return got == 0;
    const int error = platform::lastSocketError();
    return !platform::isWouldBlock(error) && !platform::isTransient(error);
}

} // namespace

// An owned copy of bytes to send and the step at which they are due.
struct NetworkManager::Message {
    std::vector<char> buffer;
    int due_step;
};

// One connection and everything held for it.
struct NetworkManager::Connection {
    int sock = -1;
    // 0 once connected or accepted; 1 while connect() is still making it.
    int pending = 0;
    // Messages queued for later steps, in order.
    std::deque<Message> outbox;
    std::size_t queued_bytes = 0;
    // Bytes sent but not yet taken by the system, from unsent_offset on;
    // they go out before anything sent after them.
    std::vector<char> unsent;
    std::size_t unsent_offset = 0;
    // While connecting: the peer (for log lines), the addresses still to
    // try and when to give up.
    std::string host;
    std::string port;
    std::vector<platform::SocketAddress> next_addresses;
    std::chrono::steady_clock::time_point deadline;
    // Connected within connect() itself: the next update() says so.
    bool announce = false;

    std::size_t unsentBytes() const { return unsent.size() - unsent_offset; }
    std::size_t backlog() const { return unsentBytes() + queued_bytes; }
    void keepUnsent(const char* p_bytes, std::size_t bytes) {
        unsent.insert(unsent.end(), p_bytes, p_bytes + bytes);
    }
};

NetworkManager::NetworkManager()
    : m_sock(-1), m_max_connections(3), m_connections(),
      m_backlog_limit(static_cast<std::size_t>(Config::getInstance().getNetworkBacklog())),
      m_connect_timeout(Config::getInstance().getNetworkConnectTimeout()), m_accept_error(0),
      m_accept_failures(0) {
    setType("NetworkManager");
}

NetworkManager::~NetworkManager() = default;

NetworkManager& NetworkManager::getInstance() {
    static NetworkManager network_manager;
    return network_manager;
}

bool NetworkManager::isValid(const std::string& event_type) const {
    if (text::isNetworkEvent(event_type))
        return true;
    LogManager::getInstance().writeLog("NetworkManager::isValid(): Error! NetworkManager does not handle %s.",
                                       event_type.c_str());
    return false;
}

int NetworkManager::startUp() {
    if (refuseSecondStart())
        return -1;
    // POSIX sockets need no library start-up.
    const Config& config = Config::getInstance();
    // The configuration keeps it within 1 KiB .. 1 GiB.
    m_backlog_limit = static_cast<std::size_t>(config.getNetworkBacklog());
    m_connect_timeout = config.getNetworkConnectTimeout();
    m_accept_error = 0;
    m_accept_failures = 0;
    Manager::startUp();
    LogManager::getInstance().writeLog(5, "NetworkManager::startUp(): successfully started.");
    return 0;
}

void NetworkManager::shutDown() {
    reportAcceptFailures();
    close(-1);
    if (m_sock != -1) {
        if (platform::closeSocket(m_sock) == -1) {
            const int error = platform::lastSocketError();
            LogManager::getInstance().writeLog(
                "NetworkManager::shutDown(): Error! close() of listening socket:");
            logErrorText(error);
        }
        m_sock = -1;
    }
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "NetworkManager::shutDown(): successfully stopped.");
}

void NetworkManager::update() {
    // Walked by socket, not by position: event handlers may open and close
    // connections meanwhile.
    std::vector<int> announced;
    std::vector<int> connecting;
    for (const auto& p_connection : m_connections) {
        if (p_connection->announce)
            announced.push_back(p_connection->sock);
        else if (p_connection->pending)
            connecting.push_back(p_connection->sock);
    }
    for (const int sock : announced) {
        const int index = indexOf(sock);
        if (index == -1 || !m_connections[static_cast<std::size_t>(index)]->announce)
            continue;
        m_connections[static_cast<std::size_t>(index)]->announce = false;
        EventNetworkConnect event;
        event.setSocket(sock);
        onEvent(&event);
    }
    for (const int sock : connecting)
        if (isConnecting(sock))
            checkConnecting(sock);
    if (m_sock != -1)
        accept();
    const EventNetworkSync sync;
    onEvent(&sync);
    if (!m_connections.empty())
        sendQueued();
}

int NetworkManager::setupServer(const std::string& port, const std::string& address) {
    LogManager& log_manager = LogManager::getInstance();
    if (m_sock != -1) {
        log_manager.writeLog("NetworkManager::setupServer(): Error! Already listening on port %d.",
                             getPort());
        return -1;
    }
    int error = 0;
    const int sock = platform::openListeningSocket(address, port, &error);
    if (sock == -1) {
        log_manager.writeLog("NetworkManager::setupServer(): Error! Cannot listen on %s port %s:",
                             address.c_str(), port.c_str());
        logErrorText(error);
        return -1;
    }
    m_sock = sock;
    log_manager.writeLog(1, "NetworkManager::setupServer(): Listening on %s port %d, socket %d.",
                         address.c_str(), getPort(), m_sock);
    return 0;
}

bool NetworkManager::isServer() const { return m_sock != -1; }

int NetworkManager::getPort() const { return m_sock == -1 ? -1 : platform::localPort(m_sock); }

int NetworkManager::connect(const std::string& host, const std::string& port) {
    LogManager& log_manager = LogManager::getInstance();
    int error = 0;
    std::vector<platform::SocketAddress> addresses = platform::resolvePeer(host, port, &error);
    // An address that refuses at once (as this machine's own addresses do)
    // is passed over here; the others are tried by the game loop.
    int sock = -1;
    int progress = -1;
    std::size_t next = 0;
    while (sock == -1 && next < addresses.size()) {
        sock = platform::startConnect(addresses[next++], &error);
        if (sock != -1)
            progress = platform::connectProgress(sock, &error);
        if (progress == -1 && sock != -1) {
            platform::closeSocket(sock);
            sock = -1;
        }
    }
    if (sock == -1) {
        log_manager.writeLog("NetworkManager::connect(): Error! Cannot connect to %s port %s:", host.c_str(),
                             port.c_str());
        logErrorText(error);
        return -1;
    }
    auto p_connection = std::make_unique<Connection>();
    p_connection->sock = sock;
    p_connection->host = host;
    p_connection->port = port;
    if (progress == 1) {
        p_connection->announce = true;
        log_manager.writeLog(1, "NetworkManager::connect(): Connected to %s port %s, socket %d.",
                             host.c_str(), port.c_str(), sock);
    } else {
        p_connection->pending = 1;
        p_connection->next_addresses.assign(addresses.begin() + static_cast<std::ptrdiff_t>(next),
                                            addresses.end());
        p_connection->deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(m_connect_timeout);
        log_manager.writeLog(1, "NetworkManager::connect(): Connecting to %s port %s, socket %d.",
                             host.c_str(), port.c_str(), sock);
    }
    m_connections.push_back(std::move(p_connection));
    return sock;
}

void NetworkManager::checkConnecting(int sock) {
    LogManager& log_manager = LogManager::getInstance();
    const auto index = static_cast<std::size_t>(indexOf(sock));
    Connection& connection = *m_connections[index];
    int error = 0;
    int progress = platform::connectProgress(sock, &error);
    const bool timed_out = progress == 0 && std::chrono::steady_clock::now() >= connection.deadline;
    while (progress == -1 && !connection.next_addresses.empty()) {
        // The next address takes over the same descriptor, so the socket the
        // caller holds stays valid.
        const platform::SocketAddress address = connection.next_addresses.front();
        connection.next_addresses.erase(connection.next_addresses.begin());
        progress = platform::restartConnect(sock, address, &error) == -1 ? -1 : 0;
    }
    if (progress == 0 && !timed_out)
        return;
    EventNetworkConnect event;
    event.setSocket(sock);
    if (progress == 1) {
        connection.pending = 0;
        log_manager.writeLog(1, "NetworkManager::connect(): Connected to %s port %s, socket %d.",
                             connection.host.c_str(), connection.port.c_str(), sock);
    } else {
        if (timed_out)
            log_manager.writeLog("NetworkManager::connect(): Error! No answer from %s port %s within %d ms.",
                                 connection.host.c_str(), connection.port.c_str(), m_connect_timeout);
        else
            log_manager.writeLog("NetworkManager::connect(): Error! Cannot connect to %s port %s:",
                                 connection.host.c_str(), connection.port.c_str());
        if (!timed_out)
            logErrorText(error);
        forget(static_cast<int>(index));
        event.setResult(-1);
    }
    onEvent(&event);
}

int NetworkManager::accept() {
    LogManager& log_manager = LogManager::getInstance();
    if (m_sock == -1) {
        log_manager.writeLog("NetworkManager::accept(): Error! Not setup as server.");
        return -2;
    }
    if (getNumConnections() >= m_max_connections) {
        log_manager.writeLog(20, "NetworkManager::accept(): Won't check for new connetions since at max.");
        log_manager.writeLog(20, "\tUse NM.setMaxConnections() to change max.");
        return -1;
    }
    int sock = platform::acceptConnection(m_sock);
    // A storm of connects and closes leaves the listener's queue full of
    // connections already gone; each would take a place until its close is
    // read. They are let go here, so that a live one behind them is reached
    // at once.
    int gone = 0;
    while (sock != -1 && gone < MAX_GONE_PER_ACCEPT && peerHasLeft(sock)) {
        platform::closeSocket(sock);
        gone++;
        sock = platform::acceptConnection(m_sock);
    }
    if (gone > 0)
        log_manager.writeLog(1,
                             "NetworkManager::accept(): %d connections closed by their peers before they "
                             "were accepted.",
                             gone);
    if (sock == -1) {
        const int error = platform::lastSocketError();
        if (platform::isWouldBlock(error)) {
            reportAcceptFailures();
            log_manager.writeLog(15, "NetworkManager::accept(): No new connection. Not blocking.");
            return -1;
        }
        // A failure that lasts (no descriptors left, say) would otherwise
        // write the same lines at every step.
        if (m_accept_failures > 0 && error == m_accept_error) {
            if (++m_accept_failures % ACCEPT_FAILURES_PER_REPORT == 0)
                log_manager.writeLog(
                    "NetworkManager::accept(): Error! accept() has failed %d times in a row.",
                    m_accept_failures);
            return -2;
        }
        reportAcceptFailures();
        log_manager.writeLog("NetworkManager::accept(): Error! accept() returned:");
        logErrorText(error);
        m_accept_error = error;
        m_accept_failures = 1;
        return -2;
    }
    reportAcceptFailures();
    log_manager.writeLog(1, "NetworkManager::accept(): New connection, socket %d.", sock);
    auto p_connection = std::make_unique<Connection>();
    p_connection->sock = sock;
    m_connections.push_back(std::move(p_connection));
    EventNetworkAccept event;
    event.setSocket(sock);
    event.setBytes(0);
    onEvent(&event);
    return sock;
}

void NetworkManager::reportAcceptFailures() {
    if (m_accept_failures > 1 && m_accept_failures % ACCEPT_FAILURES_PER_REPORT != 0)
        LogManager::getInstance().writeLog("NetworkManager::accept(): accept() failed %d times in a row, "
                                           "the same way as first reported.",
                                           m_accept_failures);
    m_accept_failures = 0;
}

int NetworkManager::close(int sock) {
    std::vector<int> closing;
    if (sock == -1) {
        for (const auto& p_connection : m_connections)
            closing.push_back(p_connection->sock);
    } else {
        if (indexOf(sock) == -1) {
            LogManager::getInstance().writeLog("NetworkManager::close(): Error! Socket %d not found.", sock);
            return -1;
        }
        closing.push_back(sock);
    }
    int result = 0;
    for (const int s : closing) {
        const int index = indexOf(s);
        // A close handler may already have closed a later connection.
        if (index == -1)
            continue;
        const Connection& connection = *m_connections[static_cast<std::size_t>(index)];
        if (!connection.pending && connection.unsentBytes() > 0)
            platform::sendBytes(s, connection.unsent.data() + connection.unsent_offset,
                                connection.unsentBytes());
        // Forgotten before the close event goes out, so that a handler that
        // sends or closes again cannot reach the dead descriptor. The
        // descriptor is released even when close() reports a failure.
        if (forget(index) == -1) {
            const int error = platform::lastSocketError();
            LogManager::getInstance().writeLog("NetworkManager::close(): Error! close() returned:");
            logErrorText(error);
            result = -1;
        }
        EventNetworkClose event;
        event.setSocket(s);
        event.setBytes(0);
        onEvent(&event);
    }
    return result;
}

bool NetworkManager::isConnected(int sock) const {
    if (sock == -1) {
        for (const auto& p_connection : m_connections)
            if (!p_connection->pending)
                return true;
        return false;
    }
    const int index = indexOf(sock);
    if (index != -1)
        return !m_connections[static_cast<std::size_t>(index)]->pending;
    LogManager::getInstance().writeLog("NetworkManager::isConnected(): Warning! Socket %d not connected.",
                                       sock);
    return false;
}

bool NetworkManager::isConnecting(int sock) const {
    const int index = indexOf(sock);
    return index != -1 && m_connections[static_cast<std::size_t>(index)]->pending;
}

int NetworkManager::send(const void* buffer, int bytes, int sock) {
    LogManager& log_manager = LogManager::getInstance();
    const int index = indexOf(sock);
    if (index == -1) {
        isConnected(sock);
        log_manager.writeLog("NetworkManager::send(): Error! Socket %d not connected. Unable to send.", sock);
        return -1;
    }
    if (bytes < 0 || (bytes > 0 && !buffer)) {
        log_manager.writeLog("NetworkManager::send(): Error! No buffer of %d bytes to send.", bytes);
        return -1;
    }
    const char* p_bytes = static_cast<const char*>(buffer);
    const auto size = static_cast<std::size_t>(bytes);
    Connection& connection = *m_connections[static_cast<std::size_t>(index)];
    // Behind bytes still waiting, these wait too, so that the order holds.
    if (connection.pending || connection.unsentBytes() > 0) {
        connection.keepUnsent(p_bytes, size);
        if (enforceBacklog(sock, "NetworkManager::send()") == -1)
            return -1;
        return flush(sock);
    }
    log_manager.writeLog(15, "NetworkManager::send(): Socket %d. Calling ::send()...", sock);
    long sent = platform::sendBytes(sock, p_bytes, size);
    if (sent == -1) {
        const int error = platform::lastSocketError();
        if (!platform::isWouldBlock(error) && !platform::isTransient(error)) {
            // Nothing of this message went out, so the stream stays whole
            // even when the connection stays open.
            closeIfGone("NetworkManager::send()", sock, error);
            return -1;
        }
        sent = 0;
    }
    m_bytes_sent += static_cast<std::uint64_t>(sent);
    if (static_cast<std::size_t>(sent) == size)
        return 0;
    log_manager.writeLog(10, "NetworkManager::send(): Socket %d took %ld of %d bytes; the rest follows.",
                         sock, sent, bytes);
    connection.keepUnsent(p_bytes + sent, size - static_cast<std::size_t>(sent));
    return enforceBacklog(sock, "NetworkManager::send()");
}

int NetworkManager::flush(int sock) {
    Connection& connection = *m_connections[static_cast<std::size_t>(indexOf(sock))];
    if (connection.pending || connection.unsentBytes() == 0)
        return 0;
    const long sent = platform::sendBytes(sock, connection.unsent.data() + connection.unsent_offset,
                                          connection.unsentBytes());
    if (sent == -1) {
        const int error = platform::lastSocketError();
        if (platform::isWouldBlock(error) || platform::isTransient(error))
            return 0;
        // Part of a message may be out already: the rest cannot be dropped
        // without cutting it, so the connection ends here.
        LogManager::getInstance().writeLog("NetworkManager::send(): Error! Return is -1.");
        logErrorText(error);
        LogManager::getInstance().writeLog(1, "\tsocket is closed");
        close(sock);
        return -1;
    }
    m_bytes_sent += static_cast<std::uint64_t>(sent);
    connection.unsent_offset += static_cast<std::size_t>(sent);
    if (connection.unsentBytes() == 0) {
        connection.unsent.clear();
        connection.unsent_offset = 0;
    } else if (connection.unsent_offset >= COMPACT_AFTER_BYTES &&
               connection.unsent_offset >= connection.unsent.size() / 2) {
        connection.unsent.erase(connection.unsent.begin(),
                                connection.unsent.begin() +
                                    static_cast<std::ptrdiff_t>(connection.unsent_offset));
        connection.unsent_offset = 0;
    }
    return 0;
}

int NetworkManager::enforceBacklog(int sock, const char* where) {
    const Connection& connection = *m_connections[static_cast<std::size_t>(indexOf(sock))];
    if (connection.backlog() <= m_backlog_limit)
        return 0;
    LogManager::getInstance().writeLog("%s: Error! Socket %d holds %zu bytes, past its backlog limit of %zu "
                                       "bytes: the peer is not reading. Closing it.",
                                       where, sock, connection.backlog(), m_backlog_limit);
    close(sock);
    return -1;
}

int NetworkManager::receive(void* buffer, int bytes, int sock, bool peek) {
    LogManager& log_manager = LogManager::getInstance();
    const int index = indexOf(sock);
    if (index == -1) {
        isConnected(sock);
        log_manager.writeLog("NetworkManager::receive(): Error! Socket %d not connected. Unable to receive.",
                             sock);
        return -1;
    }
    if (bytes <= 0 || !buffer) {
        log_manager.writeLog("NetworkManager::receive(): Error! No room for %d bytes to receive.", bytes);
        return -1;
    }
    if (m_connections[static_cast<std::size_t>(index)]->pending)
        return 0;
    const long received = platform::receiveBytes(sock, buffer, static_cast<std::size_t>(bytes), peek);
    if (received > 0) {
        if (!peek)
            m_bytes_received += static_cast<std::uint64_t>(received);
        return static_cast<int>(received);
    }
    if (received == 0) {
        log_manager.writeLog(1, "NetworkManager::receive(): Socket %d closed by peer.", sock);
        close(sock);
        return -1;
    }
    const int error = platform::lastSocketError();
    if (platform::isWouldBlock(error) || platform::isTransient(error))
        return 0;
    closeIfGone("NetworkManager::receive()", sock, error);
    return -1;
}

int NetworkManager::queue(const void* buffer, int bytes, int sock, int due_step) {
    LogManager& log_manager = LogManager::getInstance();
    const int index = indexOf(sock);
    if (index == -1) {
        log_manager.writeLog("NetworkManager::queue(): Error! Socket %d not connected. Unable to queue.",
                             sock);
        return -1;
    }
    if (bytes <= 0 || !buffer) {
        log_manager.writeLog("NetworkManager::queue(): Error! No buffer of %d bytes to queue.", bytes);
        return -1;
    }
    const char* p_bytes = static_cast<const char*>(buffer);
    Connection& connection = *m_connections[static_cast<std::size_t>(index)];
    connection.outbox.push_back(Message{std::vector<char>(p_bytes, p_bytes + bytes), due_step});
    connection.queued_bytes += static_cast<std::size_t>(bytes);
    log_manager.writeLog(15, "NetworkManager::queue(): Socket %d, %d bytes due at step %d.", sock, bytes,
                         due_step);
    return enforceBacklog(sock, "NetworkManager::queue()");
}

int NetworkManager::getQueued(int sock) const {
    const int index = indexOf(sock);
    return index == -1 ? 0 : static_cast<int>(m_connections[static_cast<std::size_t>(index)]->outbox.size());
}

std::size_t NetworkManager::getBacklog(int sock) const {
    const int index = indexOf(sock);
    return index == -1 ? 0 : m_connections[static_cast<std::size_t>(index)]->backlog();
}

int NetworkManager::sendQueued() {
    const int step_count = LoopState::getInstance().getStepCount();
    std::vector<int> socks;
    for (const auto& p_connection : m_connections)
        if (!p_connection->pending)
            socks.push_back(p_connection->sock);
    int result = 0;
    // Looked up afresh each time: a failed send closes its connection, and
    // the handlers of its close event may change the others.
    for (const int sock : socks) {
        if (indexOf(sock) == -1)
            continue;
        if (flush(sock) == -1) {
            result -= 1;
            continue;
        }
        while (true) {
            const int index = indexOf(sock);
            if (index == -1)
                break;
            Connection& connection = *m_connections[static_cast<std::size_t>(index)];
            if (connection.outbox.empty() || connection.outbox.front().due_step > step_count)
                break;
            Message message = std::move(connection.outbox.front());
            connection.outbox.pop_front();
            connection.queued_bytes -= message.buffer.size();
            result += send(message.buffer.data(), static_cast<int>(message.buffer.size()), sock);
        }
    }
    return result;
}

int NetworkManager::setMaxConnections(int max_connections) {
    if (max_connections < 0) {
        LogManager::getInstance().writeLog("NetworkManager::setMaxConnections(): Error! %d is negative.",
                                           max_connections);
        return -1;
    }
    m_max_connections = max_connections;
    return 0;
}

int NetworkManager::setBacklogLimit(std::size_t bytes) {
    if (bytes == 0) {
        LogManager::getInstance().writeLog("NetworkManager::setBacklogLimit(): Error! A limit of 0 bytes.");
        return -1;
    }
    m_backlog_limit = bytes;
    return 0;
}

int NetworkManager::setConnectTimeout(int milliseconds) {
    if (milliseconds < 1) {
        LogManager::getInstance().writeLog("NetworkManager::setConnectTimeout(): Error! %d ms is too short.",
                                           milliseconds);
        return -1;
    }
    m_connect_timeout = milliseconds;
    return 0;
}

void NetworkManager::closeIfGone(const char* where, int sock, int error) {
    LogManager& log_manager = LogManager::getInstance();
    log_manager.writeLog("%s: Error! Return is -1.", where);
    logErrorText(error);
    if (platform::isConnectionGone(error)) {
        log_manager.writeLog(1, "\tsocket is closed");
        close(sock);
    }
}

int NetworkManager::indexOf(int sock) const {
    for (std::size_t i = 0; i < m_connections.size(); i++)
        if (m_connections[i]->sock == sock)
            return static_cast<int>(i);
    return -1;
}

int NetworkManager::forget(int index) {
    const auto position = m_connections.begin() + static_cast<std::ptrdiff_t>(index);
    const int sock = (*position)->sock;
    m_connections.erase(position);
    return platform::closeSocket(sock);
}

} // namespace vt
