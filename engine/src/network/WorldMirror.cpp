#include "vintrel/network/WorldMirror.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "core/LoopState.h"
#include "network/TileMapMessage.h"
#include "network/WorldStreamFormat.h"
#include "platform/StopSignals.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/Geometry.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/Event.h"
#include "vintrel/media/Shape.h"
#include "vintrel/media/Sprite.h"
#include "vintrel/network/EventNetworkConnect.h"
#include "vintrel/network/EventNetworkGameOver.h"
#include "vintrel/network/Mirror.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"
#include "vintrel/world/WorldUtility.h"

namespace vt {

namespace {

// Most bytes taken from the connection in one step; more waits for the next.
constexpr int MAX_READ_PER_STEP = 8 << 20;
// A new object's entry: kind, type length and record length; a changed
// one's: id and record length.
constexpr std::size_t NEW_ENTRY_BYTES = 7;
constexpr std::size_t CHANGED_ENTRY_BYTES = 8;

bool isBox(const Box& box) {
    const float values[] = {box.getCorner().getX(), box.getCorner().getY(), box.getHorizontal(),
                            box.getVertical()};
    for (const float value : values)
        if (!std::isfinite(value))
            return false;
    return box.getHorizontal() >= 0 && box.getVertical() >= 0;
}

// Reads a record into the object; true when it was whole and nothing was left over.
bool readRecord(Object* p_o, const std::string& record, std::uint32_t* p_mask) {
    std::stringstream ss(record);
    return p_o->deserialize(&ss, p_mask) == 0 && ss.peek() == std::char_traits<char>::eof();
}

// Reads a new object's full record, whose id is the source's: the mirror
// keeps an id of this world, so that the host's ids, whatever they are,
// never meet this world's own. True when whole.
bool readNewRecord(Object* p_o, const std::string& record, int* p_id, std::uint32_t* p_mask) {
    std::uint32_t mask = 0;
    if (record.size() < sizeof(mask) + sizeof(*p_id))
        return false;
    // The record's numbers are in this machine's order; the id comes first.
    std::memcpy(&mask, record.data(), sizeof(mask));
    if ((mask & ID) == 0)
        return false;
    std::memcpy(p_id, record.data() + sizeof(mask), sizeof(*p_id));
    mask &= ~static_cast<std::uint32_t>(ID);
    std::string without_id(reinterpret_cast<const char*>(&mask), sizeof(mask));
    without_id.append(record, sizeof(mask) + sizeof(*p_id), std::string::npos);
    return readRecord(p_o, without_id, p_mask);
}

// About how many character cells drawing the mirror fills: its sprite's
// frame or its label, and its shape's square.
std::size_t drawnCells(const Object* p_mirror, const ViewMirror* p_view) {
    std::size_t cells = 0;
    const Sprite* p_sprite = p_mirror->getAnimation().getSprite();
    if (p_view && !p_view->getDrawsSprite()) {
        // The label, the value's digits and sign, and the border's rules and sides.
        cells = p_view->getViewString().size() + (p_view->getDrawValue() ? 12 : 0);
        if (p_view->getBorder())
            cells = (cells + 2) * 3 + 2;
    } else if (p_sprite) {
        cells = static_cast<std::size_t>(std::max(p_sprite->getWidth(), 0)) *
                static_cast<std::size_t>(std::max(p_sprite->getHeight(), 0));
    }
    const Shape shape = p_mirror->getShape();
    if (shape.getType() != SHAPE_UNDEFINED) {
        // Its radius is in pixels; the whole window at most.
        const Config& config = Config::getInstance();
        const float window_cells = static_cast<float>(config.getWindowHorizontalChars()) *
                                   static_cast<float>(config.getWindowVerticalChars());
        const float cell_pixels = static_cast<float>(config.getWindowHorizontalPixels()) *
                                  static_cast<float>(config.getWindowVerticalPixels()) /
                                  std::max(window_cells, 1.0f);
        const float side = 2.0f * std::fabs(shape.getSize());
        cells +=
            static_cast<std::size_t>(std::min(side * side / std::max(cell_pixels, 1.0f), window_cells)) + 1;
    }
    return cells;
}

} // namespace

WorldMirror::WorldMirror()
    : m_state(IDLE), m_reason(), m_where(), m_give_up_at(),
      m_watch_timeout(Config::getInstance().getWatchTimeout()), m_sock(-1), m_host_step(-1), m_synced(false),
      m_ends_game_loop(true), m_p_host_map(nullptr), m_decoder(stream::VERSION, stream::MAX_PAYLOAD) {
    setType("WorldMirror");
    setSolidness(SPECTRAL);
    setVisible(false);
    registerInterest(EVENT_STEP);
    registerInterest(EVENT_NETWORK_CONNECT);
    registerInterest(EVENT_NETWORK_CLOSE);
}

WorldMirror::~WorldMirror() {
    // The mirrors belong to the world, which may be deleting them too.
    m_mirrors.clear();
    if (m_sock != -1 && NetworkManager::getInstance().isStarted()) {
        unregisterInterest(EVENT_NETWORK_CLOSE);
        NetworkManager::getInstance().close(m_sock);
    }
}

int WorldMirror::watch(const std::string& host, const std::string& port) {
    NetworkManager& network_manager = NetworkManager::getInstance();
    if (m_state != IDLE) {
        LogManager::getInstance().writeLog("WorldMirror::watch(): Error! Already watching or done.");
        return -1;
    }
    if (!network_manager.isStarted()) {
        stop(FAILED, "networking is off", false);
        return -1;
    }
    m_where = host + " port " + port;
    m_sock = network_manager.connect(host, port);
    if (m_sock == -1) {
        stop(FAILED, "cannot reach " + m_where, false);
        return -1;
    }
    m_state = network_manager.isConnected(m_sock) ? WATCHING : CONNECTING;
    m_reason = m_where;
    m_give_up_at = Clock::now() + std::chrono::milliseconds(m_watch_timeout);
    // Kept by the network manager until the connection is made. The host
    // serves a connection only once it has said this.
    const std::string hello = stream::hello();
    network_manager.send(hello.data(), static_cast<int>(hello.size()), m_sock);
    return 0;
}

int WorldMirror::setWatchTimeout(int milliseconds) {
    if (milliseconds < 1) {
        LogManager::getInstance().writeLog("WorldMirror::setWatchTimeout(): Error! %d ms is too short.",
                                           milliseconds);
        return -1;
    }
    m_watch_timeout = milliseconds;
    if (m_state == CONNECTING || m_state == WATCHING)
        m_give_up_at = Clock::now() + std::chrono::milliseconds(milliseconds);
    return 0;
}

void WorldMirror::addSpriteView(const std::string& type) { m_sprite_views.insert(type); }

void WorldMirror::setMirrorMaker(MirrorMaker make_mirror) { m_make_mirror = std::move(make_mirror); }

void WorldMirror::setOnHostStep(std::function<void(int)> on_host_step) {
    m_on_host_step = std::move(on_host_step);
}

Object* WorldMirror::findMirror(int id) const {
    const auto found = m_mirrors.find(id);
    return found == m_mirrors.end() ? nullptr : found->second;
}

ObjectList WorldMirror::getMirrors() const {
    ObjectList mirrors;
    for (const auto& entry : m_mirrors)
        mirrors.insert(entry.second);
    return mirrors;
}

int WorldMirror::eventHandler(const Event* p_event) {
    const std::string type = p_event->getType();
    if (type == EVENT_STEP) {
        readHost();
        const bool waiting = m_state == CONNECTING || (m_state == WATCHING && !m_synced);
        if (waiting && Clock::now() >= m_give_up_at)
            stop(FAILED, "no game found at " + m_where + " (none within " +
                             std::to_string((m_watch_timeout + 999) / 1000) + " s)");
        return 1;
    }
    const auto* p_network = dynamic_cast<const EventNetwork*>(p_event);
    if (!p_network || p_network->getSocket() != m_sock || m_sock == -1)
        return 0;
    if (type == EVENT_NETWORK_CONNECT) {
        if (static_cast<const EventNetworkConnect*>(p_event)->getResult() == 0) {
            if (m_state == CONNECTING)
                m_state = WATCHING;
        } else {
            m_sock = -1;
            stop(FAILED, "cannot reach " + m_where);
        }
        return 1;
    }
    if (type == EVENT_NETWORK_CLOSE) {
        m_sock = -1;
        // Never "ended" for a game that never began here.
        if (m_synced)
            stop(ENDED, "the host closed the connection");
        else
            stop(FAILED, "no game found at " + m_where + " (closed before any game)");
        return 1;
    }
    return 0;
}

void WorldMirror::readHost() {
    NetworkManager& network_manager = NetworkManager::getInstance();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(APPLY_BUDGET_MS);
    char buffer[64 * 1024];
    // Messages left over from the last step go first; nothing more is read
    // while some wait, so what is held stays within one read.
    for (int total = 0; m_state == WATCHING && applyComplete(deadline) && total < MAX_READ_PER_STEP;) {
        const int got = network_manager.receive(buffer, sizeof(buffer), m_sock);
        if (got <= 0)
            break;
        total += got;
        if (m_decoder.feed(buffer, static_cast<std::size_t>(got)) == -1) {
            stop(FAILED, "bad data from the host: " + m_decoder.error());
            break;
        }
    }
}

bool WorldMirror::applyComplete(Clock::time_point deadline) {
    MessageFrame message;
    while (m_state == IDLE || m_state == WATCHING) {
        // A stop signal or the step's budget leaves the rest for later.
        if (Clock::now() >= deadline || platform::stopRequested())
            return false;
        if (!m_decoder.next(&message))
            return true;
        std::string reason;
        if (apply(message, &reason) == -1) {
            stop(FAILED, "bad data from the host: " + reason);
            return false;
        }
    }
    return false;
}

int WorldMirror::receiveBytes(const char* p_bytes, std::size_t bytes) {
    if (m_state != IDLE && m_state != WATCHING)
        return -1;
    if (m_decoder.feed(p_bytes, bytes) == -1) {
        stop(FAILED, "bad data from the host: " + m_decoder.error());
        return -1;
    }
    applyComplete(Clock::time_point::max());
    return m_state == FAILED ? -1 : 0;
}

bool WorldMirror::pastMirrorLimit(std::size_t mirrors) {
    if (mirrors <= static_cast<std::size_t>(MAX_MIRRORS))
        return false;
    stop(FAILED, "the host sent more than " + std::to_string(MAX_MIRRORS) + " objects");
    return true;
}

bool WorldMirror::pastLimit(std::size_t bytes, std::size_t limit, const char* what) {
    if (bytes <= limit)
        return false;
    stop(FAILED, std::string("the host sent ") + what + " of " + std::to_string(bytes) +
                     " bytes, past the limit of " + std::to_string(limit));
    return true;
}

bool WorldMirror::pastTextLimit(const Object* p_o) {
    std::size_t longest = std::max(p_o->getType().size(), p_o->getAnimation().getName().size());
    if (const auto* p_view = dynamic_cast<const ViewMirror*>(p_o))
        longest = std::max(longest, p_view->getViewString().size());
    return pastLimit(longest, MAX_TEXT_BYTES, "a text");
}

int WorldMirror::apply(const MessageFrame& message, std::string* p_reason) {
    switch (message.type) {
    case stream::SNAPSHOT:
        return applySnapshot(message.payload, p_reason);
    case stream::STEP:
        if (!m_synced) {
            *p_reason = "a step before the snapshot";
            return -1;
        }
        return applyStep(message.payload, p_reason);
    case stream::END:
        stop(ENDED, "the host has ended the game");
        return 0;
    case stream::TILE_MAP:
        if (!m_synced) {
            *p_reason = "a tile map before the snapshot";
            return -1;
        }
        return applyTileMap(message.payload, p_reason);
    default:
        *p_reason = "a message of unknown type " + std::to_string(message.type);
        return -1;
    }
}

int WorldMirror::applySnapshot(const std::string& payload, std::string* p_reason) {
    stream::PayloadReader in(payload);
    const int step = in.i32();
    const Box view = in.box();
    const std::uint32_t count = in.u32();
    if (!in.fits(count, NEW_ENTRY_BYTES) || !isBox(view)) {
        *p_reason = "a snapshot cut short";
        return -1;
    }
    if (pastMirrorLimit(count))
        return -1;
    clearMirrors();
    std::unordered_set<int> animated;
    for (std::uint32_t i = 0; i < count; i++) {
        int id = 0;
        if (!create(&in, &id, p_reason))
            return -1;
        animated.insert(id);
    }
    if (in.left() != 0) {
        *p_reason = "bytes after the snapshot";
        return -1;
    }
    m_synced = true;
    WorldManager::getInstance().setView(view);
    followHostStep(step, animated);
    return 0;
}

int WorldMirror::applyStep(const std::string& payload, std::string* p_reason) {
    WorldManager& world_manager = WorldManager::getInstance();
    stream::PayloadReader in(payload);
    const int step = in.i32();
    const Box view = in.box();
    if (!in.ok() || !isBox(view)) {
        *p_reason = "a step cut short";
        return -1;
    }
    const std::uint32_t deleted = in.u32();
    if (!in.fits(deleted, 4)) {
        *p_reason = "a step cut short";
        return -1;
    }
    for (std::uint32_t i = 0; i < deleted; i++) {
        const auto found = m_mirrors.find(in.i32());
        if (found == m_mirrors.end()) {
            *p_reason = "the deletion of an unknown object";
            return -1;
        }
        world_manager.markForDelete(found->second);
        m_mirrors.erase(found);
    }

    std::unordered_set<int> animated;
    const std::uint32_t created = in.u32();
    if (!in.fits(created, NEW_ENTRY_BYTES)) {
        *p_reason = "a step cut short";
        return -1;
    }
    if (pastMirrorLimit(m_mirrors.size() + created))
        return -1;
    for (std::uint32_t i = 0; i < created; i++) {
        int id = 0;
        if (!create(&in, &id, p_reason))
            return -1;
        animated.insert(id);
    }

    const std::uint32_t changed = in.u32();
    if (!in.fits(changed, CHANGED_ENTRY_BYTES)) {
        *p_reason = "a step cut short";
        return -1;
    }
    // Each object changes once a step: more changes than objects would only
    // make the step long.
    if (changed > m_mirrors.size()) {
        *p_reason = std::to_string(changed) + " changes of " + std::to_string(m_mirrors.size()) + " objects";
        return -1;
    }
    for (std::uint32_t i = 0; i < changed; i++) {
        const int id = in.i32();
        const std::string record = in.bytes(in.u32());
        Object* p_mirror = findMirror(id);
        std::uint32_t mask = 0;
        if (in.ok() && pastLimit(record.size(), MAX_RECORD_BYTES, "an object record"))
            return -1;
        if (!in.ok() || !p_mirror || !readRecord(p_mirror, record, &mask) || (mask & ID) != 0) {
            *p_reason = "an unreadable change of object " + std::to_string(id);
            return -1;
        }
        if (pastTextLimit(p_mirror))
            return -1;
        if (mask & ANIMATION)
            animated.insert(id);
    }
    if (in.left() != 0) {
        *p_reason = "bytes after the step";
        return -1;
    }
    world_manager.setView(view);
    followHostStep(step, animated);
    return 0;
}

Object* WorldMirror::create(stream::PayloadReader* p_in, int* p_id, std::string* p_reason) {
    const std::uint8_t kind = p_in->u8();
    const std::string type = p_in->bytes(p_in->u16());
    const std::string record = p_in->bytes(p_in->u32());
    if (!p_in->ok()) {
        *p_reason = "a new object cut short";
        return nullptr;
    }
    if (kind != stream::PLAIN_OBJECT && kind != stream::VIEW_OBJECT) {
        *p_reason = "an object of unknown kind " + std::to_string(kind);
        return nullptr;
    }
    if (pastLimit(record.size(), MAX_RECORD_BYTES, "an object record") ||
        pastLimit(type.size(), MAX_TEXT_BYTES, "a text"))
        return nullptr;
    const bool view = kind == stream::VIEW_OBJECT;
    Object* p_mirror = m_make_mirror ? m_make_mirror(type, view) : nullptr;
    // A maker's object of the wrong class is not used: the mirror must follow its source.
    const bool fits = view ? dynamic_cast<ViewMirror*>(p_mirror) != nullptr
                           : dynamic_cast<ObjectMirror*>(p_mirror) != nullptr;
    if (p_mirror && !fits) {
        LogManager::getInstance().writeLog(
            "WorldMirror::create(): Error! The mirror made for %s is not a %s.", type.c_str(),
            view ? "ViewMirror" : "ObjectMirror");
        WorldManager::getInstance().markForDelete(p_mirror);
        p_mirror = nullptr;
    }
    if (!p_mirror)
        p_mirror = view ? static_cast<Object*>(new ViewMirror) : new ObjectMirror;
    int& id = *p_id;
    std::uint32_t mask = 0;
    const bool whole = readNewRecord(p_mirror, record, &id, &mask) && (mask & TYPE) != 0;
    if (!whole || m_mirrors.count(id) != 0) {
        *p_reason = whole ? "a second object with id " + std::to_string(id) : "an unreadable new object";
        WorldManager::getInstance().markForDelete(p_mirror);
        return nullptr;
    }
    if (pastTextLimit(p_mirror)) {
        WorldManager::getInstance().markForDelete(p_mirror);
        return nullptr;
    }
    if (auto* p_view = dynamic_cast<ViewMirror*>(p_mirror)) {
        p_view->setSourceId(id);
        p_view->setDrawsSprite(m_sprite_views.count(type) != 0);
    } else {
        static_cast<ObjectMirror*>(p_mirror)->setSourceId(id);
    }
    m_mirrors[id] = p_mirror;
    return p_mirror;
}

void WorldMirror::followHostStep(int host_step, const std::unordered_set<int>& animated) {
    const Box view = WorldManager::getInstance().getView();
    std::size_t cells = 0;
    for (const auto& [id, p_mirror] : m_mirrors) {
        // Drawn by the host's world exactly when drawn by this one.
        auto* p_view = dynamic_cast<ViewMirror*>(p_mirror);
        const bool listed = p_mirror->isActive() && p_mirror->isVisible() &&
                            p_mirror->getAltitude() >= ALTITUDE_MIN &&
                            p_mirror->getAltitude() <= ALTITUDE_MAX;
        const bool drawn = listed && (p_view || boxIntersectsBox(getWorldBox(p_mirror), view));
        const bool received = animated.count(id) != 0;
        if (p_view)
            p_view->followSourceStep(received, drawn);
        else
            static_cast<ObjectMirror*>(p_mirror)->followSourceStep(received, drawn);
        if (drawn)
            cells += drawnCells(p_mirror, p_view);
    }
    // Every frame draws what this step shows: a frame of millions of
    // characters would take seconds, and the window would stop answering.
    if (cells > MAX_DRAWN_CELLS) {
        stop(FAILED, "the host's game draws " + std::to_string(cells) +
                         " characters a step, past the limit of " + std::to_string(MAX_DRAWN_CELLS));
        return;
    }
    m_host_step = host_step;
    if (m_on_host_step)
        m_on_host_step(host_step);
}

int WorldMirror::applyTileMap(const std::string& payload, std::string* p_reason) {
    std::unique_ptr<TileMap> p_map;
    if (stream::readTileMap(payload, &p_map, p_reason) != 0)
        return -1;
    WorldManager& world_manager = WorldManager::getInstance();
    if (p_map)
        m_p_host_map = world_manager.setTileMap(std::move(p_map));
    else if (m_p_host_map && world_manager.getTileMap() == m_p_host_map)
        world_manager.removeTileMap();
    if (!world_manager.getTileMap())
        m_p_host_map = nullptr;
    return 0;
}

void WorldMirror::clearMirrors() {
    WorldManager& world_manager = WorldManager::getInstance();
    for (const auto& entry : m_mirrors)
        world_manager.markForDelete(entry.second);
    m_mirrors.clear();
}

void WorldMirror::stop(State state, const std::string& reason, bool announce) {
    if (m_state == ENDED || m_state == FAILED)
        return;
    m_state = state;
    m_reason = reason;
    if (state == FAILED)
        LogManager::getInstance().writeLog("WorldMirror::stop(): Error! Watching stopped: %s.",
                                           reason.c_str());
    else
        LogManager::getInstance().writeLog("WorldMirror::stop(): Watching ended: %s.", reason.c_str());
    clearMirrors();
    // The host's map goes with its objects, unless the game has set its own since.
    WorldManager& world_manager = WorldManager::getInstance();
    if (m_p_host_map && world_manager.getTileMap() == m_p_host_map)
        world_manager.removeTileMap();
    m_p_host_map = nullptr;
    if (m_sock != -1) {
        const int sock = m_sock;
        m_sock = -1;
        NetworkManager::getInstance().close(sock);
    }
    if (announce)
        announceStop();
}

void WorldMirror::announceStop() {
    EventNetworkGameOver game_over;
    game_over.setHostEnded(m_state == ENDED);
    game_over.setReason(m_reason);
    NetworkManager& network_manager = NetworkManager::getInstance();
    // Only a started manager keeps interest; before that, nobody can hear it.
    const int heard = network_manager.isStarted() ? network_manager.onEvent(&game_over) : 0;
    if (heard == 0 && m_ends_game_loop) {
        LogManager::getInstance().writeLog("WorldMirror::stop(): Nobody handles %s: ending the game loop.",
                                           EVENT_NETWORK_GAME_OVER);
        LoopState::getInstance().setGameOver(true);
    }
}

} // namespace vt
