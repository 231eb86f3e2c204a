#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ByteCodec.h"
#include "vintrel/core/Box.h"
#include "vintrel/network/MessageFrame.h"

// The messages a WorldHost sends its watchers (see docs/world-streaming.md).
// Numbers are little-endian; object records are those of Object::serialize.
namespace vt::stream {

constexpr std::uint8_t VERSION = 1;
/// Largest payload a watcher accepts: a snapshot of tens of thousands of objects.
constexpr std::size_t MAX_PAYLOAD = 16u << 20;

/// Longest type name sent before a new object's record.
constexpr std::size_t MAX_TYPE_BYTES = 0xFFFF;

enum MessageType : std::uint8_t {
    SNAPSHOT = 1, ///< step, view, then every object's full record
    STEP = 2,     ///< step, view, deletions, new objects, changed attributes
    END = 3,      ///< the host's game has ended
    HELLO = 4,    ///< from the watcher, first: it watches in this version
    TILE_MAP = 5, ///< the world's tile map, or that it has none; only once a map was set
};

/// A watcher's first bytes: the hello of this version.
inline std::string hello() { return MessageFrame::encode(HELLO, VERSION, ""); }

enum ObjectKind : std::uint8_t {
    PLAIN_OBJECT = 0,
    VIEW_OBJECT = 1,
};

inline void putU16(std::string* p_out, std::uint16_t value) { ByteWriter(p_out).u16(value); }

inline void putU32(std::string* p_out, std::uint32_t value) { ByteWriter(p_out).u32(value); }

inline void putI32(std::string* p_out, std::int32_t value) { ByteWriter(p_out).i32(value); }

inline void putFloat(std::string* p_out, float value) { ByteWriter(p_out).f32(value); }

inline void putBox(std::string* p_out, const Box& box) {
    putFloat(p_out, box.getCorner().getX());
    putFloat(p_out, box.getCorner().getY());
    putFloat(p_out, box.getHorizontal());
    putFloat(p_out, box.getVertical());
}

/// Reads a payload front to back; every read checks what is left first, and
/// a read past the end leaves the reader failed for good (later reads give 0).
class PayloadReader {
  public:
    explicit PayloadReader(const std::string& payload) : m_reader(payload), m_ok(true) {}

    bool ok() const { return m_ok; }
    std::size_t left() const { return m_reader.left(); }

    std::uint8_t u8() { return read<std::uint8_t>(&ByteReader::u8); }
    std::uint16_t u16() { return read<std::uint16_t>(&ByteReader::u16); }
    std::uint32_t u32() { return read<std::uint32_t>(&ByteReader::u32); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32() { return read<float>(&ByteReader::f32); }
    Box box() {
        const float x = f32();
        const float y = f32();
        const float horizontal = f32();
        const float vertical = f32();
        return Box(Vector(x, y), horizontal, vertical);
    }
    /// The next `bytes` bytes, or an empty text and failure when fewer are left.
    std::string bytes(std::size_t bytes) {
        std::string text;
        m_ok = m_ok && m_reader.raw(text, bytes);
        return m_ok ? text : std::string();
    }
    /// True when a count of items of at least `item_bytes` each can fit in what is left.
    bool fits(std::uint32_t count, std::size_t item_bytes) {
        if (static_cast<std::size_t>(count) > left() / item_bytes)
            m_ok = false;
        return m_ok;
    }

  private:
    template <typename Value> Value read(bool (ByteReader::*p_read)(Value&)) {
        Value value = 0;
        m_ok = m_ok && (m_reader.*p_read)(value);
        return m_ok ? value : Value(0);
    }

    ByteReader m_reader;
    bool m_ok;
};

} // namespace vt::stream
