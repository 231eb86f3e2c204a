#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vt::platform {

namespace {

int setNonBlocking(int sock) {
    const int flags = fcntl(sock, F_GETFL, 0);
    if (flags == -1)
        return -1;
    return fcntl(sock, F_SETFL, flags | O_NONBLOCK);
}

// Tries each address host:port resolves to, in the resolver's order, until
// `prepare` succeeds on a socket made for it (listening or connecting); that
// socket, or -1 with the last error code in *p_error.
template <typename Prepare>
int openSocket(const std::string& host, const std::string& port, bool passive, int* p_error,
               Prepare prepare) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    addrinfo* p_list = nullptr;
    const int status = getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &p_list);
    if (status != 0) {
        // Resolver failures have their own codes; report them as "no such address".
        *p_error = status == EAI_SYSTEM ? errno : EADDRNOTAVAIL;
        return -1;
    }
    int sock = -1;
    for (const addrinfo* p_ai = p_list; p_ai; p_ai = p_ai->ai_next) {
        sock = socket(p_ai->ai_family, p_ai->ai_socktype | SOCK_CLOEXEC, p_ai->ai_protocol);
        if (sock != -1 && prepare(sock, p_ai) && setNonBlocking(sock) == 0)
            break;
        *p_error = errno;
        if (sock != -1)
            ::close(sock);
        sock = -1;
    }
    freeaddrinfo(p_list);
    return sock;
}

} // namespace

int openListeningSocket(const std::string& address, const std::string& port, int* p_error) {
    return openSocket(address, port, true, p_error, [](int sock, const addrinfo* p_ai) {
        // A server restarted right after a previous run must be able to bind again.
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
        return bind(sock, p_ai->ai_addr, p_ai->ai_addrlen) == 0 && listen(sock, SOMAXCONN) == 0;
    });
}

std::vector<SocketAddress> resolvePeer(const std::string& host, const std::string& port, int* p_error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* p_list = nullptr;
    const int status = getaddrinfo(host.c_str(), port.c_str(), &hints, &p_list);
    std::vector<SocketAddress> addresses;
    if (status != 0) {
        *p_error = status == EAI_SYSTEM ? errno : EADDRNOTAVAIL;
        return addresses;
    }
    for (const addrinfo* p_ai = p_list; p_ai; p_ai = p_ai->ai_next) {
        const auto* p_bytes = reinterpret_cast<const unsigned char*>(p_ai->ai_addr);
        addresses.push_back(SocketAddress{{p_bytes, p_bytes + p_ai->ai_addrlen}, p_ai->ai_family});
    }
    freeaddrinfo(p_list);
    return addresses;
}

int startConnect(const SocketAddress& address, int* p_error) {
    const int sock = socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (sock == -1) {
        *p_error = errno;
        return -1;
    }
    const auto* p_address = reinterpret_cast<const sockaddr*>(address.bytes.data());
    if (::connect(sock, p_address, static_cast<socklen_t>(address.bytes.size())) == 0 || errno == EINPROGRESS)
        return sock;
    *p_error = errno;
    ::close(sock);
    return -1;
}

int restartConnect(int sock, const SocketAddress& address, int* p_error) {
    const int fresh = startConnect(address, p_error);
    if (fresh == -1)
        return -1;
    const int result = dup3(fresh, sock, O_CLOEXEC);
    if (result == -1)
        *p_error = errno;
    ::close(fresh);
    return result == -1 ? -1 : 0;
}

int connectProgress(int sock, int* p_error) {
    pollfd entry{sock, POLLOUT, 0};
    const int ready = poll(&entry, 1, 0);
    if (ready == 0)
        return 0;
    if (ready == -1) {
        *p_error = errno;
        return errno == EINTR ? 0 : -1;
    }
    int error = 0;
    socklen_t error_size = sizeof(error);
    if (getsockopt(sock, SOL_SOCKET, SO_ERROR, &error, &error_size) == -1)
        error = errno;
    // A reset can only follow a connection made: the peer accepted and let
    // go at once. That is a connection, and the first read finds it gone.
    if (error == ECONNRESET || error == EPIPE)
        return 1;
    if (error != 0) {
        *p_error = error;
        return -1;
    }
    return 1;
}

int acceptConnection(int listening_sock) {
    sockaddr_storage peer{};
    socklen_t peer_size = sizeof(peer);
    return accept4(listening_sock, reinterpret_cast<sockaddr*>(&peer), &peer_size,
                   SOCK_NONBLOCK | SOCK_CLOEXEC);
}

long sendBytes(int sock, const void* buffer, std::size_t bytes) {
    return static_cast<long>(::send(sock, buffer, bytes, MSG_NOSIGNAL));
}

long receiveBytes(int sock, void* buffer, std::size_t bytes, bool peek) {
    return static_cast<long>(::recv(sock, buffer, bytes, peek ? MSG_PEEK : 0));
}

int closeSocket(int sock) { return ::close(sock); }

int localPort(int sock) {
    sockaddr_storage local{};
    socklen_t local_size = sizeof(local);
    if (getsockname(sock, reinterpret_cast<sockaddr*>(&local), &local_size) == -1)
        return -1;
    if (local.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in*>(&local)->sin_port);
    if (local.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&local)->sin6_port);
    return -1;
}

int lastSocketError() { return errno; }

bool isWouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

bool isTransient(int error) { return error == EINTR || error == ENOBUFS || error == ENOMEM; }

bool isConnectionGone(int error) {
    return error == ENOTCONN || error == EBADF || error == EPIPE || error == ECONNRESET;
}

std::string socketErrorText(int error) {
    char text[256] = {};
    // The GNU variant may return a static text instead of filling the buffer.
    const char* p_text = strerror_r(error, text, sizeof(text));
    if (!p_text)
        return "";
    std::string message(p_text);
    const std::size_t cut = message.find('\r');
    if (cut != std::string::npos)
        message.erase(cut);
    return message;
}

} // namespace vt::platform
