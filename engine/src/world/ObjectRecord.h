#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>

#include "vintrel/core/Box.h"

namespace vt {

class LogManager;
class Object;

/// What reading one record carries from one attribute to the next.
struct RecordReading {
    /// The record's bytes, read from the current position.
    std::istream& stream;
    /// The attribute bits the record holds.
    std::uint32_t mask;
    /// The box read from the record, applied again after the animation.
    Box record_box;
};

/// One attribute of an object record: its bit, how its bytes are written,
/// how they are read and applied, and its detail log line.
struct RecordAttribute {
    /// The attribute's bit in records and in the modified mask.
    std::uint32_t bit;
    /// Writes the attribute's bytes.
    void (*write)(const Object& object, std::ostream& stream);
    /// Reads the bytes and applies them through the object's setters; false
    /// when the stream ended or the value was refused (the stream then fails).
    bool (*read)(Object& object, RecordReading& reading);
    /// Writes the attribute's line at ObjectRecord::DETAIL_LEVEL, showing the object's value.
    void (*log)(const Object& object, LogManager& log_manager);
};

/// The attributes of an object record, each described once; Object's
/// serialize and deserialize walk them. A friend of Object: writing reads the
/// fields themselves, and ids and interests are rebuilt below the setters.
class ObjectRecord {
  public:
    /// The log level of the per-attribute detail lines.
    static constexpr int DETAIL_LEVEL = 25;
    /// Number of attributes in a record.
    static constexpr std::size_t ATTRIBUTE_COUNT = 19;

    /// Every attribute, in the order their bytes follow the mask. It is not
    /// the order of the bits: DIRECTION comes before SPEED, FOLLOW_PATH before PATH.
    static const std::array<RecordAttribute, ATTRIBUTE_COUNT>& attributes();

  private:
    static bool readId(Object& object, RecordReading& reading);
    static bool readEvents(Object& object, RecordReading& reading);
    static bool readAnimation(Object& object, RecordReading& reading);
    static bool readPath(Object& object, RecordReading& reading);
    static bool readCollisionLayers(Object& object, RecordReading& reading);
};

} // namespace vt
