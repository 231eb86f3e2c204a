#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "core/TextTables.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/world/Object.h"
#include "world/RecordIO.h"

namespace vt {

namespace {

// The order in which attributes follow the mask in a record. It is not the
// order of the bits: DIRECTION comes before SPEED, FOLLOW_PATH before PATH.
constexpr std::uint32_t RECORD_ORDER[] = {
    ID,        ACTIVE,  VISIBLE,   EVENTS, BOX,          POSITION, TYPE,        ANIMATION, ALTITUDE,
    SOLIDNESS, NO_SOFT, DIRECTION, SPEED,  ACCELERATION, SHAPE,    FOLLOW_PATH, PATH,      AVOID_COLLISIONS,
};

constexpr int ATTRIBUTE_LOG_LEVEL = 25;

using text::boolText;

// The per-attribute detail line, showing the object's value.
void logAttribute(const Object& object, std::uint32_t attribute) {
    LogManager& lm = LogManager::getInstance();
    // The texts are costly to build and the detail level is rarely on.
    if (lm.getLogLevel() < ATTRIBUTE_LOG_LEVEL)
        return;
    const int level = ATTRIBUTE_LOG_LEVEL;
    switch (attribute) {
    case ID:
        lm.writeLog(level, "\tID: %d", object.getId());
        break;
    case ACTIVE:
        lm.writeLog(level, "\tACTIVE: %s", boolText(object.isActive()));
        break;
    case VISIBLE:
        lm.writeLog(level, "\tVISIBLE: %s", boolText(object.isVisible()));
        break;
    case EVENTS:
        lm.writeLog(level, "\tEVENTS: %d", object.getEventCount());
        for (int i = 0; i < object.getEventCount(); i++) {
            const std::string name = object.getEventName(i);
            lm.writeLog(level, "\t\t%s (size %d)", name.c_str(), static_cast<int>(name.size()));
        }
        break;
    case BOX:
        lm.writeLog(level, "\tBOX: %s", object.getBox().toString().c_str());
        break;
    case POSITION:
        lm.writeLog(level, "\tPOSITION: %s", object.getPosition().toString().c_str());
        break;
    case TYPE:
        lm.writeLog(level, "\tTYPE: %s", clipForLog(object.getType()).c_str());
        break;
    case ANIMATION:
        lm.writeLog(level, "\tANIMATION: %s", object.getAnimation().toString().c_str());
        break;
    case ALTITUDE:
        lm.writeLog(level, "\tALTITUDE: %d", object.getAltitude());
        break;
    case SOLIDNESS:
        lm.writeLog(level, "\tSOLIDNESS: %s", solidnessToString(object.getSolidness()).c_str());
        break;
    case NO_SOFT:
        lm.writeLog(level, "\tNO_SOFT: %s", boolText(object.getNoSoft()));
        break;
    case DIRECTION:
        lm.writeLog(level, "\tDIRECTION: %s", object.getDirection().toString().c_str());
        break;
    case SPEED:
        lm.writeLog(level, "\tSPEED: %f", static_cast<double>(object.getSpeed()));
        break;
    case ACCELERATION:
        lm.writeLog(level, "\tACCELERATION: %s", object.getAcceleration().toString().c_str());
        break;
    case SHAPE:
        lm.writeLog(level, "\tSHAPE: %s", object.getShape().toString().c_str());
        break;
    case FOLLOW_PATH:
        lm.writeLog(level, "\tFOLLOW_PATH: %s", boolText(object.getFollowPath()));
        break;
    case PATH:
        lm.writeLog(level, "\tPATH: %s", object.getPath().toString().c_str());
        break;
    case AVOID_COLLISIONS:
        lm.writeLog(level, "\tAVOID_COLLISIONS: %s", boolText(object.getAvoidCollisions()));
        break;
    default:
        break;
    }
}

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

} // namespace

int Object::serialize(std::stringstream* p_ss, std::uint32_t attr) {
    LogManager& lm = LogManager::getInstance();
    if (!p_ss) {
        lm.writeLog("Object::serialize(): Error! No stream.");
        return -1;
    }
    std::stringstream& ss = *p_ss;
    lm.writeLog(20, "Object::serialize(): attr is %u, modified is %u (%s)", attr, m_modified,
                boolText(m_modified != 0));
    if (lm.getLogLevel() >= ATTRIBUTE_LOG_LEVEL)
        lm.writeLog(ATTRIBUTE_LOG_LEVEL, "\t%s", toBitString(attr).c_str());

    const std::uint32_t mask = attr != 0 ? attr : m_modified;
    writeField(ss, mask);
    for (const std::uint32_t attribute : RECORD_ORDER) {
        if ((mask & attribute) == 0)
            continue;
        switch (attribute) {
        case ID:
            writeField(ss, static_cast<std::int32_t>(m_id));
            break;
        case ACTIVE:
            writeFlag(ss, m_is_active);
            break;
        case VISIBLE:
            writeFlag(ss, m_is_visible);
            break;
        case EVENTS:
            writeField(ss, static_cast<std::int32_t>(m_event_name.size()));
            for (const std::string& name : m_event_name)
                writeText(ss, name);
            break;
        case BOX:
            m_box.serialize(ss);
            break;
        case POSITION:
            m_position.serialize(ss);
            break;
        case TYPE:
            writeText(ss, m_type);
            break;
        case ANIMATION:
            m_animation.serialize(ss);
            break;
        case ALTITUDE:
            writeField(ss, static_cast<std::int32_t>(m_altitude));
            break;
        case SOLIDNESS:
            writeField(ss, static_cast<std::int32_t>(m_solidness));
            break;
        case NO_SOFT:
            writeFlag(ss, m_no_soft);
            break;
        case DIRECTION:
            m_direction.serialize(ss);
            break;
        case SPEED:
            writeField(ss, m_speed);
            break;
        case ACCELERATION:
            m_acceleration.serialize(ss);
            break;
        case SHAPE:
            m_shape.serialize(ss);
            break;
        case FOLLOW_PATH:
            writeFlag(ss, m_follow_path);
            break;
        case PATH:
            m_path.serialize(ss);
            break;
        case AVOID_COLLISIONS:
            writeFlag(ss, m_avoid_collisions);
            break;
        default:
            break;
        }
        m_modified &= ~attribute;
        logAttribute(*this, attribute);
    }
    return checkStream("Object::serialize()", ss);
}

int Object::deserialize(std::stringstream* p_ss, std::uint32_t* p_mask) {
    LogManager& lm = LogManager::getInstance();
    if (!p_ss) {
        lm.writeLog("Object::deserialize(): Error! No stream.");
        return -1;
    }
    std::stringstream& ss = *p_ss;
    std::uint32_t mask = 0;
    readField(ss, mask);
    if (p_mask)
        *p_mask = mask;
    lm.writeLog(20, "Object::deserialize(): attr %u (%s)", mask, toBitString(mask).c_str());

    // The box the record carries. Applying the animation sets the box from
    // the sprite (or to the default box without one), so a box in the record
    // is applied again afterwards: it is the box the writer had.
    Box record_box;
    // Reads one attribute and applies it through the object's setters; false
    // when the stream ended or the record was refused.
    const auto apply = [&](std::uint32_t attribute) -> bool {
        switch (attribute) {
        case ID: {
            std::int32_t id = 0;
            if (!readField(ss, id))
                return false;
            if (id == m_id)
                return true;
            if (id >= next_id) {
                if (id == INT_MAX) {
                    lm.writeLog("Object::deserialize(): Error! Id %d leaves no id for later objects.", id);
                    ss.setstate(std::ios::failbit);
                    return false;
                }
                next_id = id + 1;
            }
            setId(id);
            return true;
        }
        case ACTIVE: {
            bool active = false;
            if (!readFlag(ss, active))
                return false;
            setActive(active);
            return true;
        }
        case VISIBLE: {
            bool visible = false;
            if (!readFlag(ss, visible))
                return false;
            setVisible(visible);
            return true;
        }
        case EVENTS: {
            std::int32_t count = 0;
            if (!readField(ss, count))
                return false;
            const std::uint64_t left = bytesLeft(ss);
            if (count < 0 || static_cast<std::uint64_t>(count) > left / sizeof(std::uint64_t)) {
                lm.writeLog("Object::deserialize(): Error! %d event names cannot fit in the %llu bytes left.",
                            count, static_cast<unsigned long long>(left));
                ss.setstate(std::ios::failbit);
                return false;
            }
            // Every name is read before any interest changes, so that a
            // refused record leaves the object's interests as they were.
            std::vector<std::string> names;
            for (std::int32_t i = 0; i < count; i++) {
                std::string name;
                std::uint64_t length = 0;
                if (!readText(ss, name, "Object::deserialize()", "Event name", &length))
                    return false;
                lm.writeLog(ATTRIBUTE_LOG_LEVEL, "\t\tsize %d", static_cast<int>(length));
                names.push_back(name);
            }
            // Interests that already match stay where they are: withdrawing
            // and registering again costs a search of every manager's list.
            if (names == m_event_name)
                return true;
            while (!m_event_name.empty()) {
                if (unregisterInterest(m_event_name.back()) == -1)
                    m_event_name.pop_back();
            }
            for (const std::string& name : names)
                if (registerInterest(name) != 0)
                    lm.writeLog("Object::deserialize(): Error! Register interest: %s",
                                clipForLog(name).c_str());
            return true;
        }
        case BOX: {
            Box box;
            if (box.deserialize(ss) != 0)
                return false;
            if (!accept(ss, "BOX", box))
                return false;
            record_box = box;
            setBox(box);
            return true;
        }
        case POSITION: {
            Vector position;
            if (position.deserialize(ss) != 0)
                return false;
            if (!accept(ss, "POSITION", position, MAX_RECORD_PLACE))
                return false;
            setPosition(position);
            return true;
        }
        case TYPE: {
            std::string type;
            if (!readText(ss, type, "Object::deserialize()", "Type"))
                return false;
            setType(type);
            return true;
        }
        case ANIMATION: {
            Animation animation;
            if (animation.deserialize(ss) != 0)
                return false;
            setAnimation(animation);
            if (!animation.getName().empty()) {
                // The sprite is found again by its label; the frame shown
                // survives setSprite, which starts from the first frame.
                const int index = animation.getIndex();
                setSprite(animation.getName());
                Animation shown = m_animation;
                shown.setIndex(index);
                setAnimation(shown);
            }
            if (mask & BOX)
                setBox(record_box);
            return true;
        }
        case ALTITUDE: {
            std::int32_t altitude = 0;
            if (!readField(ss, altitude))
                return false;
            setAltitude(altitude);
            return true;
        }
        case SOLIDNESS: {
            std::int32_t solidness = 0;
            if (!readField(ss, solidness))
                return false;
            setSolidness(static_cast<Solidness>(solidness));
            return true;
        }
        case NO_SOFT: {
            bool no_soft = false;
            if (!readFlag(ss, no_soft))
                return false;
            setNoSoft(no_soft);
            return true;
        }
        case DIRECTION: {
            Vector direction;
            if (direction.deserialize(ss) != 0)
                return false;
            if (!accept(ss, "DIRECTION", direction, MAX_RECORD_MOTION))
                return false;
            setDirection(direction);
            return true;
        }
        case SPEED: {
            float speed = 0;
            if (!readField(ss, speed))
                return false;
            if (!accept(ss, "SPEED", {speed}, MAX_RECORD_MOTION))
                return false;
            setSpeed(speed);
            return true;
        }
        case ACCELERATION: {
            Vector acceleration;
            if (acceleration.deserialize(ss) != 0)
                return false;
            if (!accept(ss, "ACCELERATION", acceleration, MAX_RECORD_MOTION))
                return false;
            setAcceleration(acceleration);
            return true;
        }
        case SHAPE: {
            Shape shape;
            if (shape.deserialize(ss) != 0)
                return false;
            setShape(shape);
            return true;
        }
        case FOLLOW_PATH: {
            bool follow_path = false;
            if (!readFlag(ss, follow_path))
                return false;
            setFollowPath(follow_path);
            return true;
        }
        case PATH: {
            Path path;
            if (path.deserialize(ss) != 0)
                return false;
            for (int i = 0; i < path.getCount(); i++) {
                path.setIndex(i);
                if (!accept(ss, "PATH", path.getCurrent(), MAX_RECORD_PLACE))
                    return false;
            }
            path.setIndex(0);
            setPath(path);
            return true;
        }
        case AVOID_COLLISIONS: {
            bool avoid_collisions = false;
            if (!readFlag(ss, avoid_collisions))
                return false;
            setAvoidCollisions(avoid_collisions);
            return true;
        }
        default:
            return true;
        }
    };

    if (ss) {
        for (const std::uint32_t attribute : RECORD_ORDER) {
            if ((mask & attribute) == 0)
                continue;
            if (!apply(attribute)) {
                // A part may refuse its bytes while the stream itself is still good.
                checkStream("Object::deserialize()", ss);
                return -1;
            }
            logAttribute(*this, attribute);
        }
        // A freshly rebuilt object has nothing left to send.
        m_modified = 0;
        lm.writeLog(20, "Object::deserialize(): done checking all types.");
    }
    return checkStream("Object::deserialize()", ss);
}

} // namespace vt
