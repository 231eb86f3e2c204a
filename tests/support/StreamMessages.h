#pragma once

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "network/WorldStreamFormat.h"
#include "vintrel/network/MessageFrame.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

// Messages of a world host, made by hand for the tests and benchmarks that
// play the host's part.
namespace vt::test {

/// A message of the given type around the payload.
inline std::string frame(stream::MessageType type, const std::string& payload) {
    return MessageFrame::encode(type, stream::VERSION, payload);
}

/// A step or snapshot payload's start: step and view.
inline std::string head(int step) {
    std::string payload;
    stream::putI32(&payload, step);
    stream::putBox(&payload, Box(Vector(0, 0), 80, 24));
    return payload;
}

/// A snapshot of one object of id 500 at the world's origin, a plain one
/// unless a view object is given, whose record is written by the real
/// serializer. The object is marked for deletion.
inline std::string snapshot(ViewObject* p_view = nullptr) {
    Object* p_o = p_view ? p_view : new Object;
    WorldManager::getInstance().markForDelete(p_o);
    p_o->setType("Rock");
    p_o->setId(500);
    std::stringstream ss;
    p_o->serialize(&ss, (ALL_ATTRIBUTES & ~EVENTS) | (p_view ? VALUE | APPEARANCE : 0));
    std::string payload = head(1);
    stream::putU32(&payload, 1);
    payload.push_back(static_cast<char>(p_view ? stream::VIEW_OBJECT : stream::PLAIN_OBJECT));
    stream::putU16(&payload, 4);
    payload += "Rock";
    stream::putU32(&payload, static_cast<std::uint32_t>(ss.str().size()));
    return frame(stream::SNAPSHOT, payload + ss.str());
}

/// A snapshot of `count` objects of ids 1 to count, all on one spot: plain
/// ones, or copies of the view object given (which is marked for deletion).
inline std::string crowdSnapshot(int count, ViewObject* p_view = nullptr) {
    // The one object's entry follows the head and the count; its id follows
    // the kind, the type, the record's length and the record's mask.
    const std::string entry = snapshot(p_view).substr(MessageFrame::HEADER_BYTES + 24);
    const std::size_t id_at = 1 + 2 + 4 + 4 + 4;
    std::string payload = head(1);
    stream::putU32(&payload, static_cast<std::uint32_t>(count));
    for (int id = 1; id <= count; id++) {
        payload += entry;
        std::memcpy(&payload[payload.size() - entry.size() + id_at], &id, sizeof(id));
    }
    return frame(stream::SNAPSHOT, payload);
}

} // namespace vt::test
