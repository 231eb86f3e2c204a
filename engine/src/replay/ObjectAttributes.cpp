#include "replay/ObjectAttributes.h"

#include <cstdio>
#include <sstream>

#include "core/TextTables.h"
#include "vintrel/core/Box.h"
#include "vintrel/core/Text.h"
#include "vintrel/core/Vector.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/Shape.h"
#include "vintrel/paths/Path.h"
#include "vintrel/world/WorldUtility.h"
#include "world/RecordIO.h"

namespace vt::replay {

namespace {

// Each reads one attribute's bytes as the record writes them; "" when they
// do not read as one.
using Reader = std::string (*)(std::istream& in);

std::string readNumber(std::istream& in) {
    std::int32_t number = 0;
    return readField(in, number) ? std::to_string(number) : "";
}

std::string readFlagText(std::istream& in) {
    bool flag = false;
    return readFlag(in, flag) ? text::boolText(flag) : "";
}

std::string readReal(std::istream& in) {
    float real = 0;
    return readField(in, real) ? vt::toString(real) : "";
}

std::string readTypeText(std::istream& in) {
    std::string type;
    return readText(in, type, "ReplayManager", "Type") ? type : "";
}

std::string readSolidness(std::istream& in) {
    std::int32_t solidness = 0;
    return readField(in, solidness) ? solidnessToString(static_cast<Solidness>(solidness)) : "";
}

// Box, Vector, Animation, Shape and Path read and show themselves.
template <typename VALUE> std::string readValue(std::istream& in) {
    VALUE value;
    return value.deserialize(in) == 0 ? value.toString() : "";
}

std::string readEvents(std::istream& in) {
    std::int32_t count = 0;
    if (!readField(in, count) || count < 0 ||
        static_cast<std::uint64_t>(count) > bytesLeft(in) / sizeof(std::uint64_t))
        return "";
    std::string names = count == 0 ? "none" : "";
    for (std::int32_t i = 0; i < count; i++) {
        std::string name;
        if (!readText(in, name, "ReplayManager", "Event name"))
            return "";
        names += (i == 0 ? "" : " ") + name;
    }
    return names;
}

std::string readAppearance(std::istream& in) {
    std::string label;
    bool border = false;
    std::int32_t color = 0;
    std::int32_t location = 0;
    bool draw_value = false;
    if (!readText(in, label, "ReplayManager", "View string") || !readFlag(in, border) ||
        !readField(in, color) || !readField(in, location) || !readFlag(in, draw_value))
        return "";
    return "'" + label + "' border " + text::boolText(border) + " color " + std::to_string(color) +
           " location " + std::to_string(location) + " draw_value " + text::boolText(draw_value);
}

std::string readCollisionLayers(std::istream& in) {
    std::uint32_t layer = 0;
    std::uint32_t mask = 0;
    if (!readField(in, layer) || !readField(in, mask))
        return "";
    char text[48];
    std::snprintf(text, sizeof(text), "layer 0x%08x mask 0x%08x", layer, mask);
    return text;
}

struct AttributeRow {
    const char* name;
    Reader read;
};

// By slot, the lowest bit first: ID is bit 0, APPEARANCE bit 19.
constexpr AttributeRow ROWS[ATTRIBUTE_SLOTS] = {
    {"id", readNumber},
    {"active", readFlagText},
    {"visible", readFlagText},
    {"events", readEvents},
    {"box", readValue<Box>},
    {"position", readValue<Vector>},
    {"type", readTypeText},
    {"animation", readValue<Animation>},
    {"altitude", readNumber},
    {"solidness", readSolidness},
    {"no_soft", readFlagText},
    {"speed", readReal},
    {"direction", readValue<Vector>},
    {"acceleration", readValue<Vector>},
    {"shape", readValue<Shape>},
    {"path", readValue<Path>},
    {"follow_path", readFlagText},
    {"avoid_collisions", readFlagText},
    {"value", readNumber},
    {"appearance", readAppearance},
    {"collision_layers", readCollisionLayers},
};

static_assert(ID == 1u << 0 && SPEED == 1u << 11 && DIRECTION == 1u << 12 && AVOID_COLLISIONS == 1u << 17 &&
                  VALUE == 1u << 18 && APPEARANCE == 1u << 19 && COLLISION_LAYERS == 1u << 20,
              "the rows follow the attribute bits");

} // namespace

AttributeBytes attributeBytes(Object& object) {
    const std::uint32_t modified = object.getModified();
    AttributeBytes bytes;
    std::stringstream record;
    for (std::size_t slot = 0; slot < ATTRIBUTE_SLOTS; slot++) {
        record.str(std::string());
        record.clear();
        object.serialize(&record, 1u << slot);
        // Past the mask that starts every record.
        const std::string written = record.str();
        if (written.size() > sizeof(std::uint32_t))
            bytes[slot] = written.substr(sizeof(std::uint32_t));
    }
    object.setModified(modified);
    return bytes;
}

const char* attributeName(std::size_t slot) { return slot < ATTRIBUTE_SLOTS ? ROWS[slot].name : "?"; }

std::string attributeText(std::size_t slot, const std::string& bytes) {
    if (bytes.empty())
        return "nothing";
    if (slot >= ATTRIBUTE_SLOTS)
        return "?";
    std::istringstream in(bytes);
    const std::string shown = ROWS[slot].read(in);
    // Bytes left over mean the reading went astray as much as a failed one.
    if (shown.empty() || bytesLeft(in) != 0)
        return "unreadable";
    return clipForLog(shown);
}

} // namespace vt::replay
