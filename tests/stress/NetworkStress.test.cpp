#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/LoopbackPeers.h"
#include "support/LoopbackTest.h"
#include "support/StepRunner.h"
#include "vintrel/network/NetworkManager.h"

namespace vt::test {
namespace {

using Clock = std::chrono::steady_clock;

class NetworkStressTest : public LoopbackTest {
  protected:
    void SetUp() override {
        LoopbackTest::SetUp();
        listen();
    }
};

TEST_F(NetworkStressTest, PeerThatNeverReadsIsDroppedPastItsBacklogWhileAReaderGetsEverything) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_listener = new NetworkListener;
    ASSERT_EQ(nm.setBacklogLimit(256u << 10), 0);
    const int sleeping = link(4096).engine_side;
    const Link reader = link();
    ASSERT_GE(sleeping, 0);
    ASSERT_GE(reader.engine_side, 0);
    ASSERT_TRUE(shrinkSendBuffer(sleeping));

    // Each step sends a numbered 16 KiB message to both; the reader reads
    // what has come so far.
    std::string sent;
    std::string received;
    bool sleeper_open = true;
    runSteps(400, [&](int step) {
        if (step <= 60) {
            std::string message(16 << 10, static_cast<char>('a' + step % 26));
            message.replace(0, std::to_string(step).size(), std::to_string(step));
            if (sleeper_open)
                sleeper_open = nm.send(message.data(), static_cast<int>(message.size()), sleeping) == 0;
            EXPECT_EQ(nm.send(message.data(), static_cast<int>(message.size()), reader.engine_side), 0)
                << step;
            sent += message;
        }
        received += peerReceiveAll(reader.peer);
        return step <= 60 || received.size() < sent.size();
    });

    EXPECT_FALSE(nm.isConnected(sleeping));
    EXPECT_EQ(countLines(logText(), "past its backlog limit of 262144 bytes"), 1);
    EXPECT_EQ(p_listener->count("vt-network-close"), 1);
    ASSERT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent) << "the reader's bytes differ from those sent";
}

TEST_F(NetworkStressTest, PeerSendingGarbageThenResettingIsClosedOnceAndHarmsNoOther) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_listener = new NetworkListener;
    const int vandal = connectPeer(nm.getPort());
    const int vandalised = acceptNext();
    const auto [bystander, bystanding] = link();
    ASSERT_GE(vandalised, 0);
    ASSERT_GE(bystanding, 0);

    // Noise, read by the engine in small pieces.
    std::string garbage(64 << 10, '\0');
    for (std::size_t i = 0; i < garbage.size(); i++)
        garbage[i] = static_cast<char>(i * 2654435761u >> 13);
    ASSERT_EQ(send(vandal, garbage.data(), garbage.size(), MSG_NOSIGNAL), static_cast<long>(garbage.size()));
    std::string taken;
    char buffer[1000];
    for (int round = 0; round < 10000 && taken.size() < garbage.size(); round++) {
        const int got = nm.receive(buffer, sizeof(buffer), vandalised);
        ASSERT_GE(got, 0);
        taken.append(buffer, static_cast<std::size_t>(got));
    }
    EXPECT_TRUE(taken == garbage);

    // The engine has bytes waiting for the vandal when it resets the connection.
    ASSERT_TRUE(shrinkSendBuffer(vandalised));
    const std::string big(1 << 20, 'x');
    ASSERT_EQ(nm.send(big.data(), static_cast<int>(big.size()), vandalised), 0);
    ASSERT_GT(nm.getBacklog(vandalised), 0u);
    const linger reset{1, 0};
    setsockopt(vandal, SOL_SOCKET, SO_LINGER, &reset, sizeof(reset));
    close(vandal);

    ASSERT_EQ(nm.send("still here", 10, bystanding), 0);
    runSteps(200, [&](int) { return nm.isConnected(-1) && nm.getNumConnections() == 2; });
    EXPECT_EQ(p_listener->count("vt-network-close"), 1);
    EXPECT_EQ(p_listener->seen.back().socket, vandalised);
    EXPECT_TRUE(nm.isConnected(bystanding));
    EXPECT_EQ(peerReceive(bystander), "still here");
}

TEST_F(NetworkStressTest, ConnectToAFullAcceptQueueGivesUpInTimeWithoutStoppingTheLoop) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_listener = new NetworkListener;
    // A server that never accepts, with room for one waiting connection.
    const int server = own(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(server, 0), 0);
    ASSERT_EQ(getsockname(server, reinterpret_cast<sockaddr*>(&address), &size), 0);
    const int port = ntohs(address.sin_port);
    for (int i = 0; i < 3; i++) {
        const int filler = own(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    ASSERT_EQ(nm.setConnectTimeout(300), 0);
    const Clock::time_point start = Clock::now();
    const int sock = nm.connect("127.0.0.1", std::to_string(port));
    const auto call = Clock::now() - start;
    ASSERT_GE(sock, 0);
    EXPECT_TRUE(nm.isConnecting(sock));
    EXPECT_FALSE(nm.isConnected(sock));
    EXPECT_EQ(nm.send("early", 5, sock), 0);

    int steps = 0;
    runSteps(5000, [&](int step) {
        steps = step;
        return p_listener->count("vt-network-connect") == 0;
    });
    // Generous bounds: the point is that neither the call nor the loop waited
    // for the system's own connect timeout (minutes).
    EXPECT_LT(call, std::chrono::seconds(1));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_GT(steps, 10);
    ASSERT_EQ(p_listener->count("vt-network-connect"), 1);
    EXPECT_EQ(p_listener->seen.back().socket, sock);
    EXPECT_EQ(p_listener->seen.back().result, -1);
    EXPECT_EQ(
        countLines(logText(), "No answer from 127.0.0.1 port " + std::to_string(port) + " within 300 ms."),
        1);
    EXPECT_EQ(nm.getNumConnections(), 0);
}

TEST_F(NetworkStressTest, AcceptFailuresAreLoggedOnceThenCounted) {
    NetworkManager& nm = NetworkManager::getInstance();
    peer();
    // Fill the descriptor table, so that accept() has nowhere to put the connection.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit previous = limit;
    limit.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    std::vector<int> filling;
    for (int fd = open("/dev/null", O_RDONLY); fd != -1; fd = open("/dev/null", O_RDONLY))
        filling.push_back(fd);

    for (int step = 0; step < 50; step++)
        EXPECT_EQ(nm.accept(), -2);
    for (const int fd : filling)
        close(fd);
    const std::string during = logText();
    setrlimit(RLIMIT_NOFILE, &previous);
    EXPECT_GE(acceptNext(), 0);

    EXPECT_EQ(countLines(during, "NetworkManager::accept(): Error! accept() returned:"), 1);
    EXPECT_EQ(countLines(during, "Too many open files"), 1);
    EXPECT_EQ(countLines(logText(), "accept() failed 50 times in a row"), 1);
}

} // namespace
} // namespace vt::test
