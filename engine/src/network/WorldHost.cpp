#include "vintrel/network/WorldHost.h"

#include <algorithm>
#include <chrono>
#include <sstream>

#include "core/LoopState.h"
#include "network/TileMapMessage.h"
#include "network/WorldStreamFormat.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/ObjectList.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/network/EventNetworkAccept.h"
#include "vintrel/network/EventNetworkClose.h"
#include "vintrel/network/MessageFrame.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

// Watchers need no one's event interests, and an id never changes after
// creation. Collision layers travel only for the objects that set them.
constexpr std::uint32_t FULL_RECORD = (ALL_ATTRIBUTES & ~EVENTS) | VALUE | APPEARANCE | COLLISION_LAYERS;
constexpr std::uint32_t CHANGES = FULL_RECORD & ~ID;
// Most bytes read and dropped from one watcher per step.
constexpr int MAX_DROPPED_PER_STEP = 256 * 1024;
// A watcher says hello as soon as it is connected: a round trip is enough.
constexpr int DEFAULT_OPENING_TIME = 2000;

std::string record(Object* p_o, std::uint32_t attributes) {
    // One stream for every record: making a stream costs more than a small record.
    static std::stringstream ss;
    ss.str("");
    ss.clear();
    p_o->serialize(&ss, attributes);
    return ss.str();
}

bool isView(const Object* p_o) { return dynamic_cast<const ViewObject*>(p_o) != nullptr; }

std::uint32_t ownAttributes(const Object* p_o, std::uint32_t attributes) {
    return isView(p_o) ? attributes : attributes & (ALL_ATTRIBUTES | COLLISION_LAYERS);
}

void putRecord(std::string* p_out, const std::string& bytes) {
    stream::putU32(p_out, static_cast<std::uint32_t>(bytes.size()));
    p_out->append(bytes);
}

// A new object's entry: its kind and type, which tell the watcher what to
// make of it, then its full record.
void putNewObject(std::string* p_out, Object* p_o) {
    p_out->push_back(static_cast<char>(isView(p_o) ? stream::VIEW_OBJECT : stream::PLAIN_OBJECT));
    const std::string type = clipUtf8(p_o->getType(), stream::MAX_TYPE_BYTES);
    stream::putU16(p_out, static_cast<std::uint16_t>(type.size()));
    p_out->append(type);
    putRecord(p_out, record(p_o, ownAttributes(p_o, FULL_RECORD)));
}

} // namespace

// A connection that has not yet said that it is a watcher.
struct WorldHost::Opening {
    int sock;
    std::chrono::steady_clock::time_point deadline;
    // What it has sent so far, up to the length of a hello.
    std::string received;
};

WorldHost::WorldHost()
    : Object(Onlooker()), m_opening_time(DEFAULT_OPENING_TIME), m_last_step_bytes(0),
      m_last_snapshot_bytes(0), m_map_revision(0) {
    setType("WorldHost");
    setSolidness(SPECTRAL);
    setVisible(false);
    registerInterest(EVENT_NETWORK_ACCEPT);
    registerInterest(EVENT_NETWORK_CLOSE);
    registerInterest(EVENT_NETWORK_SYNC);
}

WorldHost::~WorldHost() {
    NetworkManager& network_manager = NetworkManager::getInstance();
    if (!network_manager.isStarted())
        return;
    // This object is going: it must not hear of the closes below.
    unregisterInterest(EVENT_NETWORK_CLOSE);
    std::vector<int> watchers = m_watchers;
    watchers.insert(watchers.end(), m_joining.begin(), m_joining.end());
    const std::string end = MessageFrame::encode(stream::END, stream::VERSION, "");
    for (const int sock : watchers) {
        if (network_manager.send(end.data(), static_cast<int>(end.size()), sock) == 0)
            network_manager.close(sock);
    }
    for (const Opening& opening : m_opening)
        network_manager.close(opening.sock);
}

int WorldHost::serve(const std::string& port, const std::string& address) {
    NetworkManager& network_manager = NetworkManager::getInstance();
    if (network_manager.setupServer(port, address) != 0)
        return -1;
    return network_manager.setMaxConnections(Config::getInstance().getMaxWatchers());
}

int WorldHost::setOpeningTime(int milliseconds) {
    if (milliseconds < 1) {
        LogManager::getInstance().writeLog("WorldHost::setOpeningTime(): Error! %d ms is too short.",
                                           milliseconds);
        return -1;
    }
    m_opening_time = milliseconds;
    return 0;
}

int WorldHost::eventHandler(const Event* p_event) {
    const std::string type = p_event->getType();
    if (type == EVENT_NETWORK_SYNC) {
        sync();
        return 1;
    }
    const auto* p_network = dynamic_cast<const EventNetwork*>(p_event);
    if (!p_network)
        return 0;
    const int sock = p_network->getSocket();
    if (type == EVENT_NETWORK_ACCEPT) {
        m_opening.push_back(
            Opening{sock, std::chrono::steady_clock::now() + std::chrono::milliseconds(m_opening_time), ""});
        return 1;
    }
    if (type == EVENT_NETWORK_CLOSE) {
        const auto opening = std::find_if(m_opening.begin(), m_opening.end(),
                                          [sock](const Opening& o) { return o.sock == sock; });
        if (opening != m_opening.end()) {
            m_opening.erase(opening);
            return 1;
        }
        LogManager::getInstance().writeLog(1, "WorldHost::eventHandler(): Watcher on socket %d left.", sock);
        m_watchers.erase(std::remove(m_watchers.begin(), m_watchers.end(), sock), m_watchers.end());
        m_joining.erase(std::remove(m_joining.begin(), m_joining.end(), sock), m_joining.end());
        return 1;
    }
    return 0;
}

void WorldHost::admit() {
    NetworkManager& network_manager = NetworkManager::getInstance();
    LogManager& log_manager = LogManager::getInstance();
    const auto now = std::chrono::steady_clock::now();
    std::vector<int> socks;
    for (const Opening& opening : m_opening)
        socks.push_back(opening.sock);
    // Looked up afresh each time: a failed read closes its connection, whose
    // close event takes it off the list.
    auto find = [this](int sock) {
        return std::find_if(m_opening.begin(), m_opening.end(),
                            [sock](const Opening& o) { return o.sock == sock; });
    };
    const std::string hello = stream::hello();
    for (const int sock : socks) {
        auto opening = find(sock);
        if (opening == m_opening.end())
            continue;
        // Read no further than the hello: what follows is the watcher's own.
        char bytes[MessageFrame::HEADER_BYTES];
        const std::size_t wanted = hello.size() - opening->received.size();
        const int got = network_manager.receive(bytes, static_cast<int>(wanted), sock);
        opening = find(sock);
        if (got < 0 || opening == m_opening.end())
            continue;
        opening->received.append(bytes, static_cast<std::size_t>(got));
        const bool complete = opening->received.size() == hello.size();
        if (complete && opening->received == hello) {
            m_opening.erase(opening);
            log_manager.writeLog(1, "WorldHost::admit(): Watcher on socket %d joined.", sock);
            m_joining.push_back(sock);
            continue;
        }
        if (!complete && now < opening->deadline)
            continue;
        if (complete)
            log_manager.writeLog(1, "WorldHost::admit(): Socket %d did not open as a watcher; closing it.",
                                 sock);
        else
            log_manager.writeLog(1, "WorldHost::admit(): Socket %d sent no hello within %d ms; closing it.",
                                 sock, m_opening_time);
        // Closing takes it off the list (see the close event).
        network_manager.close(sock);
    }
}

void WorldHost::sync() {
    NetworkManager& network_manager = NetworkManager::getInstance();
    admit();
    // Watchers only watch: what they send is read so that it cannot pile up,
    // and dropped. Reading also notices those that have left.
    std::vector<int> everyone = m_watchers;
    everyone.insert(everyone.end(), m_joining.begin(), m_joining.end());
    char dropped[16 * 1024];
    for (const int sock : everyone) {
        for (int total = 0; total < MAX_DROPPED_PER_STEP;) {
            const int got = network_manager.receive(dropped, sizeof(dropped), sock);
            if (got <= 0)
                break;
            total += got;
        }
    }

    const int step = LoopState::getInstance().getStepCount();
    // The map travels after the objects of the same step, and only when it
    // differs from what the watchers hold: a game without a map sends none.
    const TileMap* p_map = WorldManager::getInstance().getTileMap();
    const std::uint64_t map_revision = p_map ? p_map->getRevision() : 0;
    std::string map_message;
    if (!m_watchers.empty()) {
        const std::string message = stepMessage(step);
        m_last_step_bytes = message.size();
        send(message, std::vector<int>(m_watchers));
        if (map_revision != m_map_revision) {
            map_message = tileMapMessage();
            send(map_message, std::vector<int>(m_watchers));
        }
    }
    m_map_revision = map_revision;
    if (!m_joining.empty()) {
        const std::string message = snapshotMessage(step);
        m_last_snapshot_bytes = message.size();
        const std::vector<int> joining = m_joining;
        m_watchers.insert(m_watchers.end(), m_joining.begin(), m_joining.end());
        m_joining.clear();
        send(message, joining);
        if (p_map) {
            if (map_message.empty())
                map_message = tileMapMessage();
            send(map_message, joining);
        }
    }
}

std::string WorldHost::tileMapMessage() {
    const TileMap* p_map = WorldManager::getInstance().getTileMap();
    std::string payload = stream::tileMapPayload(p_map);
    if (payload.size() > stream::MAX_PAYLOAD) {
        // Watchers would refuse it: they are told there is no map instead.
        LogManager::getInstance().writeLog(
            "WorldHost::sync(): Warning! The tile map of %d x %d cells takes %zu bytes, more than a watcher "
            "accepts; watchers are sent no map.",
            p_map->getWidth(), p_map->getHeight(), payload.size());
        payload = stream::tileMapPayload(nullptr);
    }
    return MessageFrame::encode(stream::TILE_MAP, stream::VERSION, payload);
}

std::string WorldHost::stepMessage(int step) {
    std::string created;
    std::string changed;
    std::uint32_t created_count = 0;
    std::uint32_t changed_count = 0;
    std::unordered_set<int> present;
    const ObjectList all = WorldManager::getInstance().getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++) {
        Object* p_o = all[i];
        if (p_o == this)
            continue;
        const int id = p_o->getId();
        present.insert(id);
        if (m_known.count(id) == 0) {
            putNewObject(&created, p_o);
            created_count++;
            continue;
        }
        const std::uint32_t changes = p_o->getModified() & ownAttributes(p_o, CHANGES);
        if (changes == 0)
            continue;
        stream::putI32(&changed, id);
        putRecord(&changed, record(p_o, changes));
        changed_count++;
    }
    std::string deleted;
    std::uint32_t deleted_count = 0;
    for (const int id : m_known) {
        if (present.count(id) == 0) {
            stream::putI32(&deleted, id);
            deleted_count++;
        }
    }
    m_known = std::move(present);

    std::string payload;
    stream::putI32(&payload, step);
    stream::putBox(&payload, WorldManager::getInstance().getView());
    stream::putU32(&payload, deleted_count);
    payload += deleted;
    stream::putU32(&payload, created_count);
    payload += created;
    stream::putU32(&payload, changed_count);
    payload += changed;
    return MessageFrame::encode(stream::STEP, stream::VERSION, payload);
}

std::string WorldHost::snapshotMessage(int step) {
    std::string objects;
    std::uint32_t count = 0;
    m_known.clear();
    const ObjectList all = WorldManager::getInstance().getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++) {
        Object* p_o = all[i];
        if (p_o == this)
            continue;
        m_known.insert(p_o->getId());
        putNewObject(&objects, p_o);
        count++;
    }
    std::string payload;
    stream::putI32(&payload, step);
    stream::putBox(&payload, WorldManager::getInstance().getView());
    stream::putU32(&payload, count);
    payload += objects;
    return MessageFrame::encode(stream::SNAPSHOT, stream::VERSION, payload);
}

void WorldHost::send(const std::string& message, const std::vector<int>& watchers) {
    // A watcher past its backlog is closed by the network manager, with a
    // log line; its close event takes it off the lists.
    for (const int sock : watchers)
        NetworkManager::getInstance().send(message.data(), static_cast<int>(message.size()), sock);
}

} // namespace vt
