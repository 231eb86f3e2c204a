#include "world/ObjectRecord.h"

#include <climits>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/TextTables.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldUtility.h"
#include "world/RecordIO.h"

namespace vt {

namespace {

constexpr int LEVEL = ObjectRecord::DETAIL_LEVEL;

using text::boolText;

// Records come from outside. Places farther than MAX_RECORD_PLACE spaces from
// the origin and motions beyond MAX_RECORD_MOTION spaces per step are refused
// with NaN and the infinities: the world's arithmetic on larger values (a
// step's sum, a speed's square) would soon overflow into infinity or NaN.
constexpr float MAX_RECORD_PLACE = 1e9f;
constexpr float MAX_RECORD_MOTION = 1e6f;

// True when every value is within the limit; otherwise logs, fails the
// stream and returns false.
bool accept(std::istream& stream, const char* attribute, std::initializer_list<float> values, float limit) {
    for (const float value : values) {
        if (std::isfinite(value) && std::fabs(value) <= limit)
            continue;
        LogManager& lm = LogManager::getInstance();
        if (!std::isfinite(value))
            lm.writeLog("Object::deserialize(): Error! %s is not a finite number.", attribute);
        else
            lm.writeLog("Object::deserialize(): Error! %s of %g is beyond the %g that can be stepped safely.",
                        attribute, static_cast<double>(value), static_cast<double>(limit));
        stream.setstate(std::ios::failbit);
        return false;
    }
    return true;
}

bool accept(std::istream& stream, const char* attribute, const Vector& v, float limit) {
    return accept(stream, attribute, {v.getX(), v.getY()}, limit);
}

bool accept(std::istream& stream, const char* attribute, const Box& box) {
    const Vector corner = box.getCorner();
    return accept(stream, attribute, {corner.getX(), corner.getY(), box.getHorizontal(), box.getVertical()},
                  MAX_RECORD_PLACE);
}

// A vector within the limit, or false with the stream failed.
bool readVector(std::istream& stream, Vector& vector, const char* attribute, float limit) {
    Vector read_vector;
    if (read_vector.deserialize(stream) != 0 || !accept(stream, attribute, read_vector, limit))
        return false;
    vector = read_vector;
    return true;
}

constexpr bool
holdsEachAttributeOnce(const std::array<RecordAttribute, ObjectRecord::ATTRIBUTE_COUNT>& record) {
    std::uint32_t seen = 0;
    for (const RecordAttribute& attribute : record) {
        if (seen & attribute.bit)
            return false;
        seen |= attribute.bit;
    }
    return seen == (ALL_ATTRIBUTES | COLLISION_LAYERS);
}

} // namespace

bool ObjectRecord::readId(Object& object, RecordReading& reading) {
    std::int32_t id = 0;
    if (!readField(reading.stream, id))
        return false;
    if (id == object.m_id)
        return true;
    if (id >= Object::next_id) {
        if (id == INT_MAX) {
            LogManager::getInstance().writeLog(
                "Object::deserialize(): Error! Id %d leaves no id for later objects.", id);
            reading.stream.setstate(std::ios::failbit);
            return false;
        }
        Object::next_id = id + 1;
    }
    object.setId(id);
    return true;
}

bool ObjectRecord::readEvents(Object& object, RecordReading& reading) {
    LogManager& lm = LogManager::getInstance();
    std::istream& stream = reading.stream;
    std::int32_t count = 0;
    if (!readField(stream, count))
        return false;
    const std::uint64_t left = bytesLeft(stream);
    if (count < 0 || static_cast<std::uint64_t>(count) > left / sizeof(std::uint64_t)) {
        lm.writeLog("Object::deserialize(): Error! %d event names cannot fit in the %llu bytes left.", count,
                    static_cast<unsigned long long>(left));
        stream.setstate(std::ios::failbit);
        return false;
    }
    // Every name is read before any interest changes, so that a refused
    // record leaves the object's interests as they were.
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < count; i++) {
        std::string name;
        std::uint64_t length = 0;
        if (!readText(stream, name, "Object::deserialize()", "Event name", &length))
            return false;
        lm.writeLog(LEVEL, "\t\tsize %d", static_cast<int>(length));
        names.push_back(name);
    }
    // Interests that already match stay where they are: withdrawing and
    // registering again costs a search of every manager's list.
    std::vector<std::string>& current = object.m_event_name;
    if (names == current)
        return true;
    while (!current.empty()) {
        if (object.unregisterInterest(current.back()) == -1)
            current.pop_back();
    }
    for (const std::string& name : names)
        if (object.registerInterest(name) != 0)
            lm.writeLog("Object::deserialize(): Error! Register interest: %s", clipForLog(name).c_str());
    return true;
}

bool ObjectRecord::readAnimation(Object& object, RecordReading& reading) {
    Animation animation;
    if (animation.deserialize(reading.stream) != 0)
        return false;
    object.setAnimation(animation);
    if (!animation.getName().empty()) {
        // The sprite is found again by its label; the frame shown survives
        // setSprite, which starts from the first frame.
        const int index = animation.getIndex();
        object.setSprite(animation.getName());
        Animation shown = object.m_animation;
        shown.setIndex(index);
        object.setAnimation(shown);
    }
    // Applying the animation set the box from the sprite (or to the default
    // box without one); a box in the record is the box the writer had.
    if (reading.mask & BOX)
        object.setBox(reading.record_box);
    return true;
}

bool ObjectRecord::readPath(Object& object, RecordReading& reading) {
    Path path;
    if (path.deserialize(reading.stream) != 0)
        return false;
    for (int i = 0; i < path.getCount(); i++) {
        path.setIndex(i);
        if (!accept(reading.stream, "PATH", path.getCurrent(), MAX_RECORD_PLACE))
            return false;
    }
    path.setIndex(0);
    object.setPath(path);
    return true;
}

bool ObjectRecord::readCollisionLayers(Object& object, RecordReading& reading) {
    std::uint32_t layer = 0;
    std::uint32_t mask = 0;
    if (!readField(reading.stream, layer) || !readField(reading.stream, mask))
        return false;
    object.setCollisionLayer(layer);
    object.setCollisionMask(mask);
    return true;
}

const std::array<RecordAttribute, ObjectRecord::ATTRIBUTE_COUNT>& ObjectRecord::attributes() {
    static constexpr std::array<RecordAttribute, ATTRIBUTE_COUNT> record = {{
        {ID, [](const Object& o, std::ostream& s) { writeField(s, static_cast<std::int32_t>(o.m_id)); },
         &ObjectRecord::readId,
         [](const Object& o, LogManager& lm) { lm.writeLog(LEVEL, "\tID: %d", o.getId()); }},

        {ACTIVE, [](const Object& o, std::ostream& s) { writeFlag(s, o.m_is_active); },
         [](Object& o, RecordReading& r) {
             bool active = false;
             if (!readFlag(r.stream, active))
                 return false;
             o.setActive(active);
             return true;
         },
         [](const Object& o, LogManager& lm) { lm.writeLog(LEVEL, "\tACTIVE: %s", boolText(o.isActive())); }},

        {VISIBLE, [](const Object& o, std::ostream& s) { writeFlag(s, o.m_is_visible); },
         [](Object& o, RecordReading& r) {
             bool visible = false;
             if (!readFlag(r.stream, visible))
                 return false;
             o.setVisible(visible);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tVISIBLE: %s", boolText(o.isVisible()));
         }},

        {EVENTS,
         [](const Object& o, std::ostream& s) {
             writeField(s, static_cast<std::int32_t>(o.m_event_name.size()));
             for (const std::string& name : o.m_event_name)
                 writeText(s, name);
         },
         &ObjectRecord::readEvents,
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tEVENTS: %d", o.getEventCount());
             for (int i = 0; i < o.getEventCount(); i++) {
                 const std::string name = o.getEventName(i);
                 lm.writeLog(LEVEL, "\t\t%s (size %d)", name.c_str(), static_cast<int>(name.size()));
             }
         }},

        {BOX, [](const Object& o, std::ostream& s) { o.m_box.serialize(s); },
         [](Object& o, RecordReading& r) {
             Box box;
             if (box.deserialize(r.stream) != 0 || !accept(r.stream, "BOX", box))
                 return false;
             r.record_box = box;
             o.setBox(box);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tBOX: %s", o.getBox().toString().c_str());
         }},

        {POSITION, [](const Object& o, std::ostream& s) { o.m_position.serialize(s); },
         [](Object& o, RecordReading& r) {
             Vector position;
             if (!readVector(r.stream, position, "POSITION", MAX_RECORD_PLACE))
                 return false;
             o.setPosition(position);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tPOSITION: %s", o.getPosition().toString().c_str());
         }},

        {TYPE, [](const Object& o, std::ostream& s) { writeText(s, o.m_type); },
         [](Object& o, RecordReading& r) {
             std::string type;
             if (!readText(r.stream, type, "Object::deserialize()", "Type"))
                 return false;
             o.setType(type);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tTYPE: %s", clipForLog(o.getType()).c_str());
         }},

        {ANIMATION, [](const Object& o, std::ostream& s) { o.m_animation.serialize(s); },
         &ObjectRecord::readAnimation,
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tANIMATION: %s", o.getAnimation().toString().c_str());
         }},

        {ALTITUDE,
         [](const Object& o, std::ostream& s) { writeField(s, static_cast<std::int32_t>(o.m_altitude)); },
         [](Object& o, RecordReading& r) {
             std::int32_t altitude = 0;
             if (!readField(r.stream, altitude))
                 return false;
             o.setAltitude(altitude);
             return true;
         },
         [](const Object& o, LogManager& lm) { lm.writeLog(LEVEL, "\tALTITUDE: %d", o.getAltitude()); }},

        {SOLIDNESS,
         [](const Object& o, std::ostream& s) { writeField(s, static_cast<std::int32_t>(o.m_solidness)); },
         [](Object& o, RecordReading& r) {
             std::int32_t solidness = 0;
             if (!readField(r.stream, solidness))
                 return false;
             o.setSolidness(static_cast<Solidness>(solidness));
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tSOLIDNESS: %s", solidnessToString(o.getSolidness()).c_str());
         }},

        {NO_SOFT, [](const Object& o, std::ostream& s) { writeFlag(s, o.m_no_soft); },
         [](Object& o, RecordReading& r) {
             bool no_soft = false;
             if (!readFlag(r.stream, no_soft))
                 return false;
             o.setNoSoft(no_soft);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tNO_SOFT: %s", boolText(o.getNoSoft()));
         }},

        {DIRECTION, [](const Object& o, std::ostream& s) { o.m_direction.serialize(s); },
         [](Object& o, RecordReading& r) {
             Vector direction;
             if (!readVector(r.stream, direction, "DIRECTION", MAX_RECORD_MOTION))
                 return false;
             o.setDirection(direction);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tDIRECTION: %s", o.getDirection().toString().c_str());
         }},

        {SPEED, [](const Object& o, std::ostream& s) { writeField(s, o.m_speed); },
         [](Object& o, RecordReading& r) {
             float speed = 0;
             if (!readField(r.stream, speed) || !accept(r.stream, "SPEED", {speed}, MAX_RECORD_MOTION))
                 return false;
             o.setSpeed(speed);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tSPEED: %f", static_cast<double>(o.getSpeed()));
         }},

        {ACCELERATION, [](const Object& o, std::ostream& s) { o.m_acceleration.serialize(s); },
         [](Object& o, RecordReading& r) {
             Vector acceleration;
             if (!readVector(r.stream, acceleration, "ACCELERATION", MAX_RECORD_MOTION))
                 return false;
             o.setAcceleration(acceleration);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tACCELERATION: %s", o.getAcceleration().toString().c_str());
         }},

        {SHAPE, [](const Object& o, std::ostream& s) { o.m_shape.serialize(s); },
         [](Object& o, RecordReading& r) {
             Shape shape;
             if (shape.deserialize(r.stream) != 0)
                 return false;
             o.setShape(shape);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tSHAPE: %s", o.getShape().toString().c_str());
         }},

        {FOLLOW_PATH, [](const Object& o, std::ostream& s) { writeFlag(s, o.m_follow_path); },
         [](Object& o, RecordReading& r) {
             bool follow_path = false;
             if (!readFlag(r.stream, follow_path))
                 return false;
             o.setFollowPath(follow_path);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tFOLLOW_PATH: %s", boolText(o.getFollowPath()));
         }},

        {PATH, [](const Object& o, std::ostream& s) { o.m_path.serialize(s); }, &ObjectRecord::readPath,
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tPATH: %s", o.getPath().toString().c_str());
         }},

        {AVOID_COLLISIONS, [](const Object& o, std::ostream& s) { writeFlag(s, o.m_avoid_collisions); },
         [](Object& o, RecordReading& r) {
             bool avoid_collisions = false;
             if (!readFlag(r.stream, avoid_collisions))
                 return false;
             o.setAvoidCollisions(avoid_collisions);
             return true;
         },
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tAVOID_COLLISIONS: %s", boolText(o.getAvoidCollisions()));
         }},

        // Last, after every attribute a record held before objects had layers.
        {COLLISION_LAYERS,
         [](const Object& o, std::ostream& s) {
             writeField(s, o.m_collision_layer);
             writeField(s, o.m_collision_mask);
         },
         &ObjectRecord::readCollisionLayers,
         [](const Object& o, LogManager& lm) {
             lm.writeLog(LEVEL, "\tCOLLISION_LAYERS: layer 0x%08x, mask 0x%08x", o.getCollisionLayer(),
                         o.getCollisionMask());
         }},
    }};
    static_assert(holdsEachAttributeOnce(record), "every attribute bit needs exactly one row");
    return record;
}

} // namespace vt
