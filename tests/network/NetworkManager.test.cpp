#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/LoopbackPeers.h"
#include "support/LoopbackTest.h"
#include "support/StepRunner.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/network/EventNetwork.h"
#include "vintrel/network/NetworkManager.h"

namespace vt::test {
namespace {

// Polls a connection until some bytes arrive or half a second passes.
std::string receiveSome(int sock) {
    char buffer[256];
    int got = 0;
    waitFor(
        [&] {
            got = NetworkManager::getInstance().receive(buffer, sizeof(buffer), sock);
            return got != 0;
        },
        std::chrono::milliseconds(500));
    return std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
}

using NetworkManagerTest = LoopbackTest;

TEST_F(NetworkManagerTest, AcceptsUpToTheMaximumAndNoMore) {
    NetworkManager& nm = NetworkManager::getInstance();
    LogManager::getInstance().setLogLevel(20);
    EXPECT_EQ(nm.accept(), -2);
    EXPECT_EQ(countLines(logText(), "NetworkManager::accept(): Error! Not setup as server."), 1);

    const int port = listen();
    ASSERT_GT(port, 0);
    EXPECT_TRUE(nm.isServer());
    EXPECT_EQ(nm.accept(), -1); // nobody waiting yet
    EXPECT_EQ(nm.setupServer("0"), -1);

    for (int i = 0; i < 4; i++)
        peer();
    for (int i = 0; i < 3; i++)
        EXPECT_GE(acceptNext(), 0);
    EXPECT_EQ(nm.getNumConnections(), 3);
    EXPECT_EQ(nm.accept(), -1);
    EXPECT_EQ(countLines(logText(), "Won't check for new connetions since at max."), 1);
    EXPECT_EQ(countLines(logText(), "Use NM.setMaxConnections() to change max."), 1);

    // The fourth peer has waited in the listener's queue all along.
    EXPECT_EQ(nm.setMaxConnections(-1), -1);
    EXPECT_EQ(nm.getMaxConnections(), 3);
    ASSERT_EQ(nm.setMaxConnections(4), 0);
    EXPECT_GE(acceptNext(), 0);
    EXPECT_EQ(nm.getNumConnections(), 4);
}

TEST_F(NetworkManagerTest, AcceptAndCloseSendTheirEvents) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_listener = new NetworkListener;
    listen();
    std::vector<int> accepted;
    for (int i = 0; i < 3; i++)
        accepted.push_back(link().engine_side);
    ASSERT_EQ(p_listener->seen.size(), 3u);
    for (std::size_t i = 0; i < 3; i++) {
        EXPECT_EQ(p_listener->seen[i].type, "vt-network-accept");
        EXPECT_EQ(p_listener->seen[i].label, 0);
        EXPECT_EQ(p_listener->seen[i].socket, accepted[i]);
    }

    EXPECT_EQ(nm.close(12345), -1);
    EXPECT_EQ(countLines(logText(), "NetworkManager::close(): Error! Socket 12345 not found."), 1);
    EXPECT_EQ(nm.getNumConnections(), 3);

    p_listener->seen.clear();
    EXPECT_EQ(nm.close(-1), 0);
    ASSERT_EQ(p_listener->seen.size(), 3u);
    for (std::size_t i = 0; i < 3; i++) {
        EXPECT_EQ(p_listener->seen[i].type, "vt-network-close");
        EXPECT_EQ(p_listener->seen[i].label, 2);
        EXPECT_EQ(p_listener->seen[i].socket, accepted[i]);
    }
    EXPECT_FALSE(nm.isConnected(-1));
    EXPECT_FALSE(nm.isConnected(accepted[0]));
    EXPECT_EQ(countLines(logText(), "Warning! Socket " + std::to_string(accepted[0]) + " not connected."), 1);
}

TEST_F(NetworkManagerTest, SendAndReceiveBothWays) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_listener = new NetworkListener;
    const int port = listen();
    const int client = nm.connect("127.0.0.1", std::to_string(port));
    ASSERT_GE(client, 0);
    const int server_side = acceptNext();
    ASSERT_GE(server_side, 0);
    EXPECT_EQ(nm.getNumConnections(), 2);
    // A connection made within connect() is announced by the loop's network phase.
    EXPECT_EQ(p_listener->count("vt-network-connect"), 0);
    nm.update();
    ASSERT_EQ(p_listener->count("vt-network-connect"), 1);
    EXPECT_EQ(p_listener->seen.back().label, 1);
    EXPECT_EQ(p_listener->seen.back().socket, client);
    EXPECT_EQ(p_listener->seen.back().result, 0);

    char nothing[8];
    EXPECT_EQ(nm.receive(nothing, sizeof(nothing), server_side), 0);

    ASSERT_EQ(nm.send("hello", 5, client), 0);
    char peeked[5] = {};
    waitFor([&] { return nm.receive(peeked, 5, server_side, true) != 0; }, std::chrono::milliseconds(500));
    EXPECT_EQ(std::string(peeked, 5), "hello");
    EXPECT_EQ(receiveSome(server_side), "hello");

    ASSERT_EQ(nm.send("back", 4, server_side), 0);
    EXPECT_EQ(receiveSome(client), "back");

    const auto [outsider, outsider_side] = link();
    ASSERT_EQ(send(outsider, "raw", 3, 0), 3);
    EXPECT_EQ(receiveSome(outsider_side), "raw");

    EXPECT_EQ(nm.send("x", 1, 9999), -1);
    EXPECT_EQ(
        countLines(logText(), "NetworkManager::send(): Error! Socket 9999 not connected. Unable to send."),
        1);
    EXPECT_EQ(nm.send("x", -5, client), -1);
    EXPECT_EQ(nm.connect("127.0.0.1", "0"), -1);
    EXPECT_EQ(countLines(logText(), "NetworkManager::connect(): Error! Cannot connect to 127.0.0.1 port 0:"),
              1);
}

TEST_F(NetworkManagerTest, PartialSendsKeepTheirRemainderAndArriveWholeInOrder) {
    NetworkManager& nm = NetworkManager::getInstance();
    listen();
    const auto [outsider, sock] = link();
    ASSERT_GE(sock, 0);
    // A small send buffer, and a peer that reads only later.
    ASSERT_TRUE(shrinkSendBuffer(sock));
    ASSERT_EQ(nm.setBacklogLimit(8u << 20), 0);

    // Four messages with distinct contents, sent at once and then queued.
    std::string expected;
    for (int message = 0; message < 4; message++) {
        std::string bytes(512u << 10, '\0');
        for (std::size_t i = 0; i < bytes.size(); i++)
            bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(message) * 13) % 251);
        if (message < 3)
            EXPECT_EQ(nm.send(bytes.data(), static_cast<int>(bytes.size()), sock), 0) << message;
        else
            EXPECT_EQ(nm.queue(bytes.data(), static_cast<int>(bytes.size()), sock, 0), 0);
        expected += bytes;
    }
    EXPECT_GT(nm.getBacklog(sock), 1u << 20);

    std::string received;
    for (int round = 0; round < 20000 && received.size() < expected.size(); round++) {
        nm.sendQueued();
        const std::string got = peerReceive(outsider, 1u << 16);
        if (got.empty())
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        received += got;
    }
    EXPECT_TRUE(received == expected) << received.size() << " of " << expected.size() << " bytes as sent";
    EXPECT_EQ(nm.getBacklog(sock), 0u);
    EXPECT_TRUE(nm.isConnected(sock));
    EXPECT_EQ(countLines(logText(), "Error!"), 0);
}

TEST_F(NetworkManagerTest, PeersThatDisconnectAreClosedWithoutKillingTheProcess) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_listener = new NetworkListener;
    const int port = listen();
    const int sender_peer = connectPeer(port);
    const int sending = acceptNext();
    const int talker_peer = connectPeer(port);
    const int receiving = acceptNext();
    ASSERT_GE(sending, 0);
    ASSERT_GE(receiving, 0);
    ASSERT_EQ(send(talker_peer, "bye", 3, 0), 3);
    close(sender_peer);
    close(talker_peer);

    // The first sends may still be taken before the reset comes back.
    int result = 0;
    for (int attempt = 0; attempt < 100 && nm.isConnected(-1) && result == 0; attempt++) {
        result = nm.send("ping", 4, sending);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(countLines(logText(), "NetworkManager::send(): Error! Return is -1."), 1);

    // What was sent before the close is still read, then the close is noticed.
    EXPECT_EQ(receiveSome(receiving), "bye");
    char buffer[8];
    EXPECT_EQ(nm.receive(buffer, sizeof(buffer), receiving), -1);

    EXPECT_FALSE(nm.isConnected(-1));
    ASSERT_EQ(p_listener->seen.size(), 4u);
    EXPECT_EQ(p_listener->seen[2].type, "vt-network-close");
    EXPECT_EQ(p_listener->seen[2].socket, sending);
    EXPECT_EQ(p_listener->seen[3].type, "vt-network-close");
    EXPECT_EQ(p_listener->seen[3].socket, receiving);
}

TEST_F(NetworkManagerTest, GameLoopSendsQueuedMessagesAtTheirStep) {
    NetworkManager& nm = NetworkManager::getInstance();
    listen();
    const auto [outsider, sock] = link();
    ASSERT_GE(sock, 0);

    EXPECT_EQ(nm.queue("ab", 2, sock, 2), 0);
    EXPECT_EQ(nm.queue("cd", 2, sock, 2), 0);
    EXPECT_EQ(nm.queue("ef", 2, sock, 4), 0);
    EXPECT_EQ(nm.queue("x", 1, 4242, 0), -1);
    EXPECT_EQ(nm.getQueued(sock), 3);

    // What the peer has at the start of each step, before that step's sending.
    std::vector<std::string> received;
    runSteps(5, [&, from = outsider](int) {
        received.push_back(peerReceive(from));
        return true;
    });
    ASSERT_EQ(received.size(), 6u);
    EXPECT_EQ(received[2], "");
    EXPECT_EQ(received[3], "abcd");
    EXPECT_EQ(received[4], "");
    EXPECT_EQ(received[5], "ef");
    EXPECT_EQ(nm.getQueued(sock), 0);
}

TEST_F(NetworkManagerTest, ShutDownClosesConnectionsAndTheListener) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_listener = new NetworkListener;
    const int port = listen();
    const int sock = link().engine_side;
    ASSERT_EQ(nm.queue("later", 5, sock, 1000), 0);

    nm.shutDown();
    EXPECT_FALSE(nm.isStarted());
    EXPECT_FALSE(nm.isServer());
    EXPECT_EQ(nm.getNumConnections(), 0);
    ASSERT_EQ(p_listener->seen.size(), 2u);
    EXPECT_EQ(p_listener->seen[1].type, "vt-network-close");

    EXPECT_EQ(connectPeer(port), -1);

    EXPECT_EQ(nm.startUp(), 0);
    EXPECT_EQ(nm.startUp(), -1);
    EXPECT_EQ(countLines(logText(), "NetworkManager::startup(): Warning! NetworkManager already started."),
              1);
}

TEST_F(NetworkManagerTest, InterestOnlyInNetworkEvents) {
    NetworkManager& nm = NetworkManager::getInstance();
    EXPECT_TRUE(nm.isValid("vt-network-game-over"));
    EXPECT_FALSE(nm.isValid("vt-network-extra"));
    EXPECT_EQ(
        countLines(logText(),
                   "NetworkManager::isValid(): Error! NetworkManager does not handle vt-network-extra."),
        1);

    auto* p_listener = new NetworkListener;
    EXPECT_EQ(nm.getInterested(EVENT_NETWORK_ACCEPT).getCount(), 1);
    EXPECT_EQ(p_listener->unregisterInterest(EVENT_NETWORK_ACCEPT), 0);
    EXPECT_EQ(nm.getInterested(EVENT_NETWORK_ACCEPT).getCount(), 0);
}

} // namespace
} // namespace vt::test
