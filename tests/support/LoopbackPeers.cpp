#include "support/LoopbackPeers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "vintrel/events/Event.h"
#include "vintrel/network/EventNetworkConnect.h"
#include "vintrel/network/NetworkManager.h"

namespace vt::test {

int connectPeer(int port, int receive_buffer) {
    const int sock = socket(AF_INET, SOCK_STREAM, 0);
    if (sock != -1 && receive_buffer > 0)
        setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof(receive_buffer));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (sock != -1 && connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        close(sock);
        return -1;
    }
    return sock;
}

int listenPeer(int* p_port) {
    const int sock = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    if (sock == -1 || bind(sock, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(sock, 4) != 0 ||
        getsockname(sock, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        close(sock);
        return -1;
    }
    *p_port = ntohs(address.sin_port);
    return sock;
}

int acceptNext() {
    for (int attempt = 0; attempt < 100; attempt++) {
        const int sock = NetworkManager::getInstance().accept();
        if (sock >= 0)
            return sock;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

std::string peerReceive(int peer, std::size_t most) {
    std::string buffer(most, '\0');
    const long got = recv(peer, buffer.data(), most, MSG_DONTWAIT);
    buffer.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return buffer;
}

std::string peerReceiveAll(int peer) {
    std::string all;
    for (std::string got = peerReceive(peer, 1 << 20); !got.empty(); got = peerReceive(peer, 1 << 20))
        all += got;
    return all;
}

bool shrinkSendBuffer(int sock) {
    const int small = 4096;
    return setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small)) == 0;
}

NetworkListener::NetworkListener() {
    registerInterest(EVENT_NETWORK_ACCEPT);
    registerInterest(EVENT_NETWORK_CONNECT);
    registerInterest(EVENT_NETWORK_CLOSE);
}

int NetworkListener::eventHandler(const Event* p_event) {
    const auto* p_network = dynamic_cast<const EventNetwork*>(p_event);
    if (!p_network)
        return 0;
    const auto* p_connect = dynamic_cast<const EventNetworkConnect*>(p_event);
    seen.push_back({p_event->getType(), p_network->getLabel(), p_network->getSocket(),
                    p_connect ? p_connect->getResult() : 0});
    return 1;
}

int NetworkListener::count(const std::string& type) const {
    int n = 0;
    for (const Seen& event : seen)
        n += event.type == type ? 1 : 0;
    return n;
}

} // namespace vt::test
