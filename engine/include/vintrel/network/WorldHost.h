#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "vintrel/network/NetworkManager.h"
#include "vintrel/world/Object.h"

namespace vt {

/// Serves this process's world to watchers (WorldMirror in other processes)
/// over the network manager. A connection becomes a watcher once it has sent
/// its hello; one that has not within the opening time is closed, so that
/// idle connections cannot keep watchers out. A watcher then gets a snapshot
/// (every object's full record); after that, each step, the objects created,
/// the attributes changed (the objects' modified masks) and the ids deleted.
/// Whatever watchers send after the hello is read and dropped; a watcher
/// that stops reading is dropped by the network manager past its backlog.
/// Created with new and owned by the world like any object; deleting it
/// tells the watchers that the game has ended and closes their connections.
/// It is an onlooker: the game's objects are numbered and checksummed as if
/// it were not there, so a game hosted while it is recorded replays without
/// hosting.
///
/// It takes the modified bits of every object it sends: nothing else in the
/// process should serialize objects by their modified mask meanwhile.
class WorldHost : public Object {
  public:
    /// Invisible and spectral; listens to accepts, closes and the network phase.
    WorldHost();
    /// Sends every watcher the end of the game and closes its connection.
    ~WorldHost() override;

    /// Listens for watchers on address:port (port "0": the system chooses),
    /// and lets the network manager accept as many connections as the
    /// configuration's max_watchers; 0 or -1.
    int serve(const std::string& port = DEFAULT_PORT, const std::string& address = DEFAULT_ADDRESS);
    /// Milliseconds a new connection has to send its hello (2000 by default);
    /// 0 or -1 for a value below 1.
    int setOpeningTime(int milliseconds);
    /// New watchers, closed watchers, and the step's messages; 1 when handled.
    int eventHandler(const Event* p_event) override;

    /// Watchers connected now (connections that have sent their hello).
    int getWatcherCount() const { return static_cast<int>(m_watchers.size() + m_joining.size()); }
    /// Bytes (header included) of the latest step message, and of the latest
    /// snapshot; 0 before the first.
    std::size_t getLastStepBytes() const { return m_last_step_bytes; }
    /// Bytes (header included) of the latest snapshot; 0 before the first.
    std::size_t getLastSnapshotBytes() const { return m_last_snapshot_bytes; }

  private:
    struct Opening;

    // The network phase: admits or closes new connections, reads and drops
    // what watchers sent, then streams.
    void sync();
    // Moves connections that have sent their hello to the joining watchers;
    // closes those that sent anything else or nothing in time.
    void admit();
    // The message of this step for the watchers already in sync.
    std::string stepMessage(int step);
    // Every object's full record.
    std::string snapshotMessage(int step);
    void send(const std::string& message, const std::vector<int>& watchers);
    // The tile map message, or an empty text after a log line when the map
    // is too large to stream.
    std::string tileMapMessage();

    // Connections that have not sent their hello yet, watchers that still
    // need their snapshot, and watchers in sync.
    std::vector<Opening> m_opening;
    int m_opening_time; // milliseconds
    std::vector<int> m_joining;
    std::vector<int> m_watchers;
    // Ids of the objects the watchers in sync know of.
    std::unordered_set<int> m_known;
    std::size_t m_last_step_bytes;
    std::size_t m_last_snapshot_bytes;
    // The revision of the tile map the watchers in sync hold; 0 for none.
    std::uint64_t m_map_revision;
};

} // namespace vt
