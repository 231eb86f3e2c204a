#include "vintrel/network/NetworkManager.h"

#include <cstddef>

#include "core/TextTables.h"
#include "platform/Sockets.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/Event.h"
#include "vintrel/network/EventNetworkAccept.h"
#include "vintrel/network/EventNetworkClose.h"

namespace vt {

namespace {

// The system's text for a socket error, as a continuation line.
void logErrorText(int error) {
    const std::string text = platform::socketErrorText(error);
    if (!text.empty())
        LogManager::getInstance().writeLog("\t%d - %s", error, text.c_str());
}

} // namespace

NetworkManager::NetworkManager()
    : m_sock(-1), m_max_connections(3), m_connections(), m_pending(), m_outbox() {
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
    if (isStarted()) {
        LogManager::getInstance().writeLog("%s::startup(): Warning! %s already started.", getType().c_str(),
                                           getType().c_str());
        return -1;
    }
    // POSIX sockets need no library start-up.
    Manager::startUp();
    LogManager::getInstance().writeLog(5, "NetworkManager::startUp(): successfully started.");
    return 0;
}

void NetworkManager::shutDown() {
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
    const int sock = platform::connectSocket(host, port, &error);
    if (sock == -1) {
        log_manager.writeLog("NetworkManager::connect(): Error! Cannot connect to %s port %s:", host.c_str(),
                             port.c_str());
        logErrorText(error);
        return -1;
    }
    log_manager.writeLog(1, "NetworkManager::connect(): Connected to %s port %s, socket %d.", host.c_str(),
                         port.c_str(), sock);
    m_connections.push_back(sock);
    m_pending.push_back(0);
    m_outbox.emplace_back();
    return sock;
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
    const int sock = platform::acceptConnection(m_sock);
    if (sock == -1) {
        const int error = platform::lastSocketError();
        if (platform::isWouldBlock(error)) {
            log_manager.writeLog(15, "NetworkManager::accept(): No new connection. Not blocking.");
            return -1;
        }
        log_manager.writeLog("NetworkManager::accept(): Error! accept() returned:");
        logErrorText(error);
        return -2;
    }
    log_manager.writeLog(1, "NetworkManager::accept(): New connection, socket %d.", sock);
    m_connections.push_back(sock);
    m_pending.push_back(0);
    m_outbox.emplace_back();
    EventNetworkAccept event;
    event.setSocket(sock);
    event.setBytes(0);
    onEvent(&event);
    return sock;
}

int NetworkManager::close(int sock) {
    std::vector<int> closing;
    if (sock == -1) {
        closing = m_connections;
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
        // Forgotten before the close event goes out, so that a handler that
        // sends or closes again cannot reach the dead descriptor. The
        // descriptor is released even when close() reports a failure.
        removeConnection(index);
        if (platform::closeSocket(s) == -1) {
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
    if (sock == -1)
        return !m_connections.empty();
    if (indexOf(sock) != -1)
        return true;
    LogManager::getInstance().writeLog("NetworkManager::isConnected(): Warning! Socket %d not connected.",
                                       sock);
    return false;
}

int NetworkManager::send(const void* buffer, int bytes, int sock) {
    LogManager& log_manager = LogManager::getInstance();
    if (!isConnected(sock)) {
        log_manager.writeLog("NetworkManager::send(): Error! Socket %d not connected. Unable to send.", sock);
        return -1;
    }
    if (bytes < 0 || (bytes > 0 && !buffer)) {
        log_manager.writeLog("NetworkManager::send(): Error! No buffer of %d bytes to send.", bytes);
        return -1;
    }
    log_manager.writeLog(15, "NetworkManager::send(): Socket %d. Calling ::send()...", sock);
    const long sent = platform::sendBytes(sock, buffer, static_cast<std::size_t>(bytes));
    if (sent == -1) {
        closeIfGone("NetworkManager::send()", sock, platform::lastSocketError());
        return -1;
    }
    if (sent < bytes) {
        log_manager.writeLog("NetworkManager::send(): Warning! %d of %d bytes sent.", static_cast<int>(sent),
                             bytes);
        return -1;
    }
    return 0;
}

int NetworkManager::receive(void* buffer, int bytes, int sock, bool peek) {
    LogManager& log_manager = LogManager::getInstance();
    if (!isConnected(sock)) {
        log_manager.writeLog("NetworkManager::receive(): Error! Socket %d not connected. Unable to receive.",
                             sock);
        return -1;
    }
    if (bytes <= 0 || !buffer) {
        log_manager.writeLog("NetworkManager::receive(): Error! No room for %d bytes to receive.", bytes);
        return -1;
    }
    const long received = platform::receiveBytes(sock, buffer, static_cast<std::size_t>(bytes), peek);
    if (received > 0)
        return static_cast<int>(received);
    if (received == 0) {
        log_manager.writeLog(1, "NetworkManager::receive(): Socket %d closed by peer.", sock);
        close(sock);
        return -1;
    }
    const int error = platform::lastSocketError();
    if (platform::isWouldBlock(error))
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
    m_outbox[static_cast<std::size_t>(index)].push_back(
        Message{std::vector<char>(p_bytes, p_bytes + bytes), due_step});
    log_manager.writeLog(15, "NetworkManager::queue(): Socket %d, %d bytes due at step %d.", sock, bytes,
                         due_step);
    return 0;
}

int NetworkManager::getQueued(int sock) const {
    const int index = indexOf(sock);
    return index == -1 ? 0 : static_cast<int>(m_outbox[static_cast<std::size_t>(index)].size());
}

int NetworkManager::sendQueued() {
    const int step_count = GameManager::getInstance().getStepCount();
    int result = 0;
    std::size_t i = 0;
    while (i < m_connections.size()) {
        const int sock = m_connections[i];
        bool closed = false;
        // Indexed afresh each time: handlers of a close event may change the lists.
        while (!m_outbox[i].empty() && m_outbox[i].front().due_step <= step_count) {
            Message message = std::move(m_outbox[i].front());
            m_outbox[i].pop_front();
            result += send(message.buffer.data(), static_cast<int>(message.buffer.size()), sock);
            // A failed send may close the connection, which shifts the later
            // ones down to this position.
            if (i >= m_connections.size() || m_connections[i] != sock) {
                closed = true;
                break;
            }
        }
        if (!closed)
            i++;
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
        if (m_connections[i] == sock)
            return static_cast<int>(i);
    return -1;
}

void NetworkManager::removeConnection(int index) {
    const auto offset = static_cast<std::ptrdiff_t>(index);
    m_connections.erase(m_connections.begin() + offset);
    m_pending.erase(m_pending.begin() + offset);
    m_outbox.erase(m_outbox.begin() + offset);
}

} // namespace vt
