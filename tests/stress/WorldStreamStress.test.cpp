#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "network/WorldStreamFormat.h"
#include "support/LoopbackPeers.h"
#include "support/LoopbackTest.h"
#include "support/StepRunner.h"
#include "support/StreamMessages.h"
#include "support/WorldScenes.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/network/EventNetwork.h"
#include "vintrel/network/MessageDecoder.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/network/WorldHost.h"
#include "vintrel/network/WorldMirror.h"
#include "vintrel/world/ViewObject.h"

namespace vt::test {
namespace {

class WorldStreamStressTest : public LoopbackTest {
  protected:
    /// A peer that has said hello as a watcher (see peer()).
    int watcher(int receive_buffer = 0) {
        const int sock = peer(receive_buffer);
        const std::string hello = stream::hello();
        EXPECT_EQ(send(sock, hello.data(), hello.size(), MSG_NOSIGNAL), static_cast<long>(hello.size()));
        return sock;
    }
};

// Gives the host's side of every connection a small send buffer, so that a
// sleeper's backlog grows quickly.
class SmallSendBuffers : public Object {
  public:
    SmallSendBuffers() { registerInterest(EVENT_NETWORK_ACCEPT); }
    int eventHandler(const Event* p_event) override {
        const auto* p_accept = dynamic_cast<const EventNetwork*>(p_event);
        return p_accept != nullptr && shrinkSendBuffer(p_accept->getSocket()) ? 1 : 0;
    }
};

TEST_F(WorldStreamStressTest, HostGoesOnPastWatchersThatSendGarbageCloseEarlyOrNeverRead) {
    NetworkManager& nm = NetworkManager::getInstance();
    ASSERT_EQ(nm.setBacklogLimit(64u << 10), 0);
    auto* p_host = new WorldHost;
    ASSERT_EQ(p_host->serve("0"), 0);
    ASSERT_EQ(nm.setMaxConnections(4), 0);
    populateDrifters(40, WorldManager::getInstance().getBoundary(), 11);
    const int good = watcher();
    const int vandal = watcher();
    watcher(4096); // never reads
    new SmallSendBuffers;
    // Half a header, then gone before the host has sent a thing.
    const int quitter = connectPeer(nm.getPort());
    send(quitter, "\x05\x00\x00", 3, MSG_NOSIGNAL);
    close(quitter);

    // The good watcher decodes everything; the vandal reads what comes and
    // sends noise back.
    MessageDecoder decoder(stream::VERSION, stream::MAX_PAYLOAD);
    std::vector<int> steps;
    std::mt19937 noise(11);
    std::string garbage(4096, '\0');
    runSteps(3000, [&](int step) {
        for (char& c : garbage)
            c = static_cast<char>(noise());
        send(vandal, garbage.data(), garbage.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        peerReceiveAll(vandal);
        const std::string got = peerReceiveAll(good);
        decoder.feed(got.data(), got.size());
        MessageFrame message;
        while (decoder.next(&message))
            steps.push_back(message.type == stream::SNAPSHOT ? -1
                                                             : stream::PayloadReader(message.payload).i32());
        return step < 100 || countLines(logText(), "past its backlog limit") == 0;
    });

    EXPECT_FALSE(decoder.failed()) << decoder.error();
    ASSERT_GT(steps.size(), 50u);
    EXPECT_EQ(steps.front(), -1) << "the first message is not a snapshot";
    for (std::size_t i = 2; i < steps.size(); i++)
        ASSERT_EQ(steps[i], steps[i - 1] + 1) << "message " << i;
    EXPECT_EQ(countLines(logText(), "past its backlog limit of 65536 bytes"), 1);
    EXPECT_EQ(p_host->getWatcherCount(), 2); // the good one and the vandal
}

TEST_F(WorldStreamStressTest, IdleConnectionsAndAStormOfClosedOnesKeepNoWatcherOut) {
    NetworkManager& nm = NetworkManager::getInstance();
    auto* p_host = new WorldHost;
    ASSERT_EQ(p_host->serve("0"), 0);
    EXPECT_EQ(nm.getMaxConnections(), 16) << "the configuration's max_watchers";
    ASSERT_EQ(p_host->setOpeningTime(200), 0);
    populateDrifters(10, WorldManager::getInstance().getBoundary(), 3);
    struct Case {
        const char* name;
        int max_watchers;
        int idle;
        // What the idle ones say, if anything: not a watcher's hello.
        std::string says;
        int storm;
        // Steps in which the watcher must have its snapshot: the idle ones
        // hold their places for 200 ms; a storm is cleared at once.
        int steps;
    };
    const Case cases[] = {
        {"three idle connections", 3, 3, "", 0, 3000},
        {"three that say something else", 3, 3, "GET / HTTP/1.0\r\n\r\n", 0, 20},
        {"a storm of 2000 connects and closes", 16, 0, "", 2000, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(nm.setMaxConnections(c.max_watchers), 0);
        for (int i = 0; i < c.idle; i++)
            send(peer(), c.says.data(), c.says.size(), MSG_NOSIGNAL);
        for (int i = 0; i < c.storm; i++)
            close(connectPeer(nm.getPort()));
        const int sock = watcher();
        MessageDecoder decoder(stream::VERSION, stream::MAX_PAYLOAD);
        MessageFrame message;
        bool snapshot = false;
        runSteps(c.steps, [&](int) {
            const std::string got = peerReceiveAll(sock);
            decoder.feed(got.data(), got.size());
            while (decoder.next(&message))
                snapshot = snapshot || message.type == stream::SNAPSHOT;
            return !snapshot;
        });
        EXPECT_TRUE(snapshot) << "no snapshot within " << c.steps << " steps";
        EXPECT_EQ(p_host->getWatcherCount(), 1);
        close(sock);
        runSteps(50, [&](int) { return nm.getNumConnections() > 0; });
    }
}

// A step payload with the given counts, the deleted ids and the changes
// behind theirs.
std::string step(std::uint32_t deleted, std::uint32_t created, std::uint32_t changed,
                 const std::string& deletions = "", const std::string& changes = "") {
    std::string payload = head(2);
    stream::putU32(&payload, deleted);
    payload += deletions;
    stream::putU32(&payload, created);
    stream::putU32(&payload, changed);
    return frame(stream::STEP, payload + changes);
}

TEST_F(WorldStreamStressTest, WatcherRefusesCutAndLyingMessagesAndDropsTheConnection) {
    NetworkManager& nm = NetworkManager::getInstance();
    ASSERT_EQ(nm.setupServer("0"), 0);
    std::string unknown_id;
    stream::putI32(&unknown_id, 77);
    std::string oversized = frame(stream::STEP, "");
    oversized[3] = '\x7f';
    std::string other_version = snapshot();
    other_version[5] = static_cast<char>(stream::VERSION + 1);
    std::string lying_record = snapshot();
    lying_record[6 + 20 + 4 + 1 + 2 + 4] = '\x02'; // the record's length, cut to two bytes
    const std::string cut_snapshot = snapshot();
    // As many entries as fit the count, which is past the limit.
    std::string many_objects = head(1);
    stream::putU32(&many_objects, WorldMirror::MAX_MIRRORS + 1);
    many_objects =
        frame(stream::SNAPSHOT, many_objects + std::string((WorldMirror::MAX_MIRRORS + 1) * 7u, '\0'));
    auto* p_wide_label = new ViewObject;
    p_wide_label->setViewString(std::string(1000, 'x'));
    p_wide_label->setDrawValue(false);
    auto* p_long_label = new ViewObject;
    p_long_label->setViewString(std::string(WorldMirror::MAX_TEXT_BYTES + 1, 'x'));
    // Two changes of the one object: an empty record each.
    std::string two_changes;
    for (int i = 0; i < 2; i++) {
        stream::putI32(&two_changes, 500);
        stream::putU32(&two_changes, 4);
        stream::putU32(&two_changes, 0);
    }
    struct Case {
        const char* name;
        std::string bytes;
        bool hang_up;
        WorldMirror::State state;
        const char* reason;
    };
    const Case cases[] = {
        {"a step first", step(0, 0, 0), false, WorldMirror::FAILED, "a step before the snapshot"},
        {"a length past the limit", oversized, false, WorldMirror::FAILED, "above the limit"},
        {"another version", other_version, false, WorldMirror::FAILED, "version 2, expected 1"},
        {"a lying record length", lying_record, false, WorldMirror::FAILED, "unreadable new object"},
        {"a lying count", snapshot() + step(0, 1000, 0), false, WorldMirror::FAILED, "cut short"},
        {"an unknown deletion", snapshot() + step(1, 0, 0, unknown_id), false, WorldMirror::FAILED,
         "deletion of an unknown object"},
        {"an unknown type", frame(static_cast<stream::MessageType>(9), ""), false, WorldMirror::FAILED,
         "unknown type 9"},
        {"a cut frame, then the host gone", cut_snapshot.substr(0, cut_snapshot.size() - 7), true,
         WorldMirror::FAILED, "no game found at 127.0.0.1 port"},
        {"more objects than a watcher mirrors", many_objects, false, WorldMirror::FAILED,
         "the host sent more than 20000 objects"},
        {"a label past the limit", snapshot(p_long_label), false, WorldMirror::FAILED,
         "the host sent a text of 1025 bytes, past the limit of 1024"},
        {"labels that draw past the limit", crowdSnapshot(70, p_wide_label), false, WorldMirror::FAILED,
         "characters a step, past the limit of 65536"},
        {"more changes than objects", snapshot() + step(0, 0, 2, "", two_changes), false, WorldMirror::FAILED,
         "2 changes of 1 objects"},
        {"the end", snapshot() + frame(stream::END, ""), false, WorldMirror::ENDED, "ended the game"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The test is the host: its network manager serves the mirror's connection.
        auto* p_mirror = new WorldMirror;
        ASSERT_EQ(p_mirror->watch("127.0.0.1", std::to_string(nm.getPort())), 0);
        const int host = acceptNext();
        ASSERT_GE(host, 0);
        ASSERT_EQ(nm.send(c.bytes.data(), static_cast<int>(c.bytes.size()), host), 0);
        if (c.hang_up)
            nm.close(host);
        runSteps(500, [&](int) { return p_mirror->getState() == WorldMirror::WATCHING; });
        EXPECT_EQ(p_mirror->getState(), c.state);
        EXPECT_NE(p_mirror->getReason().find(c.reason), std::string::npos) << p_mirror->getReason();
        EXPECT_EQ(p_mirror->getMirrorCount(), 0);
        // The watcher has closed its end: the host reads that it is gone.
        char byte = 0;
        for (int tries = 0; !c.hang_up && nm.isConnected(host) && tries < 100; tries++)
            nm.receive(&byte, 1, host);
        EXPECT_FALSE(nm.isConnected(host));
        WorldManager::getInstance().markForDelete(p_mirror);
    }
    EXPECT_EQ(countLines(logText(), "WorldMirror::stop(): Error! Watching stopped: bad data from the host"),
              8);
    EXPECT_EQ(countLines(logText(), "WorldMirror::stop(): Error! Watching stopped: the host sent"), 2);
}

TEST_F(WorldStreamStressTest, AFloodFromTheHostWaitsForLaterStepsAndAStopSignalEndsTheWatchAtOnce) {
    NetworkManager& nm = NetworkManager::getInstance();
    ASSERT_EQ(nm.setupServer("0"), 0);
    auto* p_mirror = new WorldMirror;
    ASSERT_EQ(p_mirror->watch("127.0.0.1", std::to_string(nm.getPort())), 0);
    const int host = acceptNext();
    ASSERT_GE(host, 0);
    // As many objects as a watcher takes, all on one spot: every host step
    // walks them, and deleting them meets one crowded grid cell.
    const std::string crowd = crowdSnapshot(WorldMirror::MAX_MIRRORS);
    ASSERT_EQ(nm.send(crowd.data(), static_cast<int>(crowd.size()), host), 0);
    runSteps(5000, [&](int) {
        return p_mirror->getHostStep() != 1 && p_mirror->getState() == WorldMirror::WATCHING;
    });
    ASSERT_EQ(p_mirror->getMirrorCount(), WorldMirror::MAX_MIRRORS);

    // Thousands of empty host steps at once, all waiting in the watcher's
    // socket when its next step begins. That step applies what its budget
    // allows; the stop signal sent meanwhile ends the loop after it.
    constexpr int FLOOD = 3000;
    std::string flood;
    for (int i = 2; i < 2 + FLOOD; i++) {
        std::string empty = head(i);
        for (int count = 0; count < 3; count++)
            stream::putU32(&empty, 0);
        flood += frame(stream::STEP, empty);
    }
    ASSERT_EQ(nm.send(flood.data(), static_cast<int>(flood.size()), host), 0);
    ASSERT_EQ(nm.getBacklog(host), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    int steps = 0;
    runSteps(100, [&](int) {
        if (steps++ == 0)
            std::raise(SIGTERM);
        return true;
    });
    EXPECT_EQ(steps, 1);
    EXPECT_LT(p_mirror->getHostStep(), FLOOD + 1) << "the whole flood was applied in one step";
    EXPECT_EQ(p_mirror->getState(), WorldMirror::WATCHING);
}

} // namespace
} // namespace vt::test
