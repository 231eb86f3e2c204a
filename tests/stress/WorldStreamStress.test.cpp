#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "network/WorldStreamFormat.h"
#include "support/LoopbackPeers.h"
#include "support/LoopbackTest.h"
#include "support/StepRunner.h"
#include "support/WorldScenes.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/network/EventNetwork.h"
#include "vintrel/network/MessageDecoder.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/network/WorldHost.h"
#include "vintrel/network/WorldMirror.h"

namespace vt::test {
namespace {

using WorldStreamStressTest = LoopbackTest;

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
    ASSERT_EQ(nm.setMaxConnections(4), 0);
    ASSERT_EQ(nm.setBacklogLimit(64u << 10), 0);
    auto* p_host = new WorldHost;
    ASSERT_EQ(p_host->serve("0"), 0);
    populateDrifters(40, WorldManager::getInstance().getBoundary(), 11);
    const int good = peer();
    const int vandal = peer();
    peer(4096); // never reads
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

std::string frame(stream::MessageType type, const std::string& payload) {
    return MessageFrame::encode(type, stream::VERSION, payload);
}

// A step or snapshot payload's start: step and view.
std::string head(int step) {
    std::string payload;
    stream::putI32(&payload, step);
    stream::putBox(&payload, Box(Vector(0, 0), 80, 24));
    return payload;
}

// A snapshot of one object of id 500, whose record is written by the real serializer.
std::string snapshot() {
    auto* p_rock = new Object;
    p_rock->setType("Rock");
    p_rock->setId(500);
    std::stringstream ss;
    p_rock->serialize(&ss, ALL_ATTRIBUTES & ~EVENTS);
    WorldManager::getInstance().markForDelete(p_rock);
    std::string payload = head(1);
    stream::putU32(&payload, 1);
    payload.push_back(static_cast<char>(stream::PLAIN_OBJECT));
    stream::putU16(&payload, 4);
    payload += "Rock";
    stream::putU32(&payload, static_cast<std::uint32_t>(ss.str().size()));
    return frame(stream::SNAPSHOT, payload + ss.str());
}

// A step payload with the given counts and nothing behind them.
std::string step(std::uint32_t deleted, std::uint32_t created, std::uint32_t changed,
                 const std::string& rest = "") {
    std::string payload = head(2);
    stream::putU32(&payload, deleted);
    payload += rest;
    stream::putU32(&payload, created);
    stream::putU32(&payload, changed);
    return frame(stream::STEP, payload);
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
         WorldMirror::ENDED, "the host closed the connection"},
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
              7);
}

} // namespace
} // namespace vt::test
