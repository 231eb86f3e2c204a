#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "vintrel/core/ObjectList.h"
#include "vintrel/network/MessageDecoder.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/world/Object.h"

namespace vt {

class TileMap;

namespace stream {
class PayloadReader;
}

/// Shows, in this process's world, the world a WorldHost serves: it connects
/// to the host, says hello, and at the start of every step applies what has
/// arrived, so that its mirrors (ObjectMirror, ViewMirror) are created,
/// changed and deleted as their sources were. It acts on nothing: the game
/// running on the host's side decides everything. Created with new and owned
/// by the world like any object.
///
/// Whatever the host sends, a step spends at most about APPLY_BUDGET_MS
/// applying it (the rest waits for the next step), and a world past the
/// limits below stops the watching (FAILED), so that the watcher's window
/// keeps answering its keys and its close button.
///
/// When watching stops after watch() has begun it (ENDED or FAILED) the mirror sends an
/// EventNetworkGameOver ("vt-network-game-over"); when no object has
/// registered interest in it, the mirror ends the game loop itself, so that
/// a watcher ends with its host unless the game says otherwise.
class WorldMirror : public Object {
  public:
    /// Most objects a watcher mirrors at once.
    static constexpr int MAX_MIRRORS = 20000;
    /// Longest type name, sprite name or view object label, in bytes.
    static constexpr std::size_t MAX_TEXT_BYTES = 1024;
    /// Longest object record, in bytes.
    static constexpr std::size_t MAX_RECORD_BYTES = 64 * 1024;
    /// Most character cells the mirrors drawn in one step may fill (sprite
    /// frames, labels, shapes): 34 screens of 80 x 24, about a tenth of a
    /// second of drawing.
    static constexpr std::size_t MAX_DRAWN_CELLS = 65536;
    /// Milliseconds of each step spent applying the host's messages, at most
    /// (a single message may take longer; it is never cut).
    static constexpr int APPLY_BUDGET_MS = 20;

    /// Where the watcher stands with its host.
    enum State {
        IDLE,       ///< watch() not called yet
        CONNECTING, ///< waiting for the host to answer
        WATCHING,   ///< connected; mirrors follow the host once its first snapshot is in
        ENDED,      ///< the host ended its game or closed the connection
        FAILED,     ///< no game found there, or the host sent what cannot be read or is past the limits
    };

    /// Invisible and spectral; listens to steps, connects and closes.
    WorldMirror();
    ~WorldMirror() override;

    /// Starts connecting to a host; 0, or -1 (then FAILED) when it cannot
    /// even start. When no game has begun there within the watch timeout, or
    /// the connection closes before one does, the state becomes FAILED.
    int watch(const std::string& host = DEFAULT_ADDRESS, const std::string& port = DEFAULT_PORT);
    /// Milliseconds from watch() to the host's first snapshot before giving
    /// up (configuration "watch_timeout"); 0 or -1 for a value below 1.
    int setWatchTimeout(int milliseconds);
    /// View objects of this type draw their sprite rather than their label,
    /// as the source's class does (a title screen, say).
    void addSpriteView(const std::string& type);
    /// Makes the mirror of a new object of this type: a new ObjectMirror
    /// (ViewMirror when view_object) or a class derived from it, for sources
    /// whose class draws in its own way; null for the usual one.
    using MirrorMaker = std::function<Object*(const std::string& type, bool view_object)>;
    /// Sets how mirrors are made (see MirrorMaker); null restores the usual way.
    void setMirrorMaker(MirrorMaker make_mirror);
    /// Takes bytes of the host's stream and applies every complete message;
    /// 0, or -1 when they break the protocol or the limits (the connection
    /// is then closed and the state is FAILED). watch() feeds it from the
    /// connection, within the step's budget.
    int receiveBytes(const char* p_bytes, std::size_t bytes);
    /// Steps: reads and applies. Connect and close events of its connection.
    int eventHandler(const Event* p_event) override;

    /// Where the watcher stands with its host.
    State getState() const { return m_state; }
    /// Why the state is ENDED or FAILED, for a message or the log.
    const std::string& getReason() const { return m_reason; }
    /// The host's step count of the latest message applied; -1 before the first.
    int getHostStep() const { return m_host_step; }
    /// Whether the mirror ends the game loop when watching stops and no
    /// object hears of it through "vt-network-game-over" (true by default).
    void setEndsGameLoop(bool ends_game_loop) { m_ends_game_loop = ends_game_loop; }
    /// True when the mirror ends the game loop once watching stops, unless a game object hears of it.
    bool getEndsGameLoop() const { return m_ends_game_loop; }
    /// Called after each host step is applied, with that step's count.
    void setOnHostStep(std::function<void(int host_step)> on_host_step);
    /// The mirror of the host's object with this id (its source id), or null.
    Object* findMirror(int id) const;
    /// Number of mirrors in the local world.
    int getMirrorCount() const { return static_cast<int>(m_mirrors.size()); }
    /// Every mirror, in no particular order (those deleted by the latest
    /// message are left out, though the world deletes them only at the end
    /// of its update).
    [[nodiscard]] ObjectList getMirrors() const;

  private:
    using Clock = std::chrono::steady_clock;

    // Reads and applies what the host has sent, within this step's budget.
    void readHost();
    // Applies the complete messages until the deadline; false when some are
    // left, or watching stopped.
    bool applyComplete(Clock::time_point deadline);
    // Applies one message; 0, or -1 with the reason (empty when the
    // watching has already stopped for a limit).
    int apply(const MessageFrame& message, std::string* p_reason);
    // Each stops the watching, and is true, when the host's world passes a
    // limit: mirrors past MAX_MIRRORS, a size past its limit, or a text of
    // the object past MAX_TEXT_BYTES.
    bool pastMirrorLimit(std::size_t mirrors);
    bool pastLimit(std::size_t bytes, std::size_t limit, const char* what);
    bool pastTextLimit(const Object* p_o);
    int applySnapshot(const std::string& payload, std::string* p_reason);
    int applyStep(const std::string& payload, std::string* p_reason);
    // Sets the host's tile map in this world, or removes it.
    int applyTileMap(const std::string& payload, std::string* p_reason);
    // Makes the mirror of the new object whose entry comes next, its source's
    // id in *p_id; null with the reason.
    Object* create(stream::PayloadReader* p_in, int* p_id, std::string* p_reason);
    // Follows one host step with every mirror's animation; stops the
    // watching when the mirrors drawn would fill more than MAX_DRAWN_CELLS.
    void followHostStep(int host_step, const std::unordered_set<int>& animated);
    // Deletes every mirror.
    void clearMirrors();
    // Leaves the watching state, closing the connection when still open,
    // and tells the game (or ends its loop) unless watch() itself fails,
    // whose result says so already.
    void stop(State state, const std::string& reason, bool announce = true);
    // Sends the game-over event; ends the game loop when nobody hears it.
    void announceStop();

    State m_state;
    std::string m_reason;
    // "HOST port PORT", for messages.
    std::string m_where;
    Clock::time_point m_give_up_at;
    int m_watch_timeout; // milliseconds
    int m_sock;
    int m_host_step;
    bool m_synced;
    bool m_ends_game_loop;
    // The tile map this mirror set from the host's, which it removes when
    // the watching stops; null when it set none.
    const TileMap* m_p_host_map;
    MessageDecoder m_decoder;
    std::unordered_map<int, Object*> m_mirrors;
    std::unordered_set<std::string> m_sprite_views;
    MirrorMaker m_make_mirror;
    std::function<void(int)> m_on_host_step;
};

} // namespace vt
