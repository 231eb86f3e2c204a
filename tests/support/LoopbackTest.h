#pragma once

#include <unistd.h>

#include <csignal>
#include <vector>

#include "support/EngineTest.h"
#include "support/LoopbackPeers.h"
#include "vintrel/network/NetworkManager.h"

namespace vt::test {

/// Base fixture for tests that talk to the network manager through real
/// sockets on 127.0.0.1: the engine runs headless with networking on, and
/// SIGPIPE keeps its default action, so a send that raised it would end the
/// test. Sockets handed to own() are closed at the end.
class LoopbackTest : public EngineTest {
  protected:
    /// A peer outside the engine and the engine's side of its connection.
    struct Link {
        int peer;
        int engine_side;
    };

    void SetUp() override {
        std::signal(SIGPIPE, SIG_DFL);
        ASSERT_EQ(startEngine("headless:true,\nnetworking:true,\nframe_time:2,\n"), 0);
        ASSERT_TRUE(NetworkManager::getInstance().isStarted());
    }
    void TearDown() override {
        for (const int fd : m_fds)
            close(fd);
    }
    /// Makes the network manager a server on a port the system chooses, so
    /// that parallel tests never collide; the port.
    int listen() {
        EXPECT_EQ(NetworkManager::getInstance().setupServer("0"), 0);
        return NetworkManager::getInstance().getPort();
    }
    /// Closes the socket when the test ends; returns it.
    int own(int fd) {
        m_fds.push_back(fd);
        return fd;
    }
    /// An owned peer connected to the engine's server (see connectPeer).
    int peer(int receive_buffer = 0) {
        const int sock = own(connectPeer(NetworkManager::getInstance().getPort(), receive_buffer));
        EXPECT_GE(sock, 0) << "peer cannot connect";
        return sock;
    }
    /// An owned peer connected to the engine's server and accepted by it.
    Link link(int receive_buffer = 0) {
        const Link made{peer(receive_buffer), acceptNext()};
        EXPECT_GE(made.engine_side, 0) << "the engine accepted no connection";
        return made;
    }

  private:
    std::vector<int> m_fds;
};

} // namespace vt::test
