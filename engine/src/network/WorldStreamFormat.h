#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

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
};

/// A watcher's first bytes: the hello of this version.
inline std::string hello() { return MessageFrame::encode(HELLO, VERSION, ""); }

enum ObjectKind : std::uint8_t {
    PLAIN_OBJECT = 0,
    VIEW_OBJECT = 1,
};

inline void putU16(std::string* p_out, std::uint16_t value) {
    p_out->push_back(static_cast<char>(value & 0xFF));
    p_out->push_back(static_cast<char>(value >> 8));
}

inline void putU32(std::string* p_out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        p_out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

inline void putI32(std::string* p_out, std::int32_t value) {
    putU32(p_out, static_cast<std::uint32_t>(value));
}

inline void putFloat(std::string* p_out, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    putU32(p_out, bits);
}

inline void putBox(std::string* p_out, const Box& box) {
    putFloat(p_out, box.getCorner().getX());
    putFloat(p_out, box.getCorner().getY());
    putFloat(p_out, box.getHorizontal());
    putFloat(p_out, box.getVertical());
}

/// Reads a payload front to back; every read checks what is left first, and
/// a read past the end leaves the reader failed for good.
class PayloadReader {
  public:
    explicit PayloadReader(const std::string& payload) : m_payload(payload), m_at(0), m_ok(true) {}

    bool ok() const { return m_ok; }
    std::size_t left() const { return m_payload.size() - m_at; }

    std::uint8_t u8() {
        if (!take(1))
            return 0;
        return static_cast<std::uint8_t>(m_payload[m_at - 1]);
    }
    std::uint16_t u16() {
        if (!take(2))
            return 0;
        return static_cast<std::uint16_t>(static_cast<unsigned char>(m_payload[m_at - 2]) |
                                          static_cast<unsigned char>(m_payload[m_at - 1]) << 8);
    }
    std::uint32_t u32() {
        if (!take(4))
            return 0;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; i++)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_payload[m_at - 4 + i]))
                     << (8 * i);
        return value;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32() {
        const std::uint32_t bits = u32();
        float value = 0;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    Box box() {
        const float x = f32();
        const float y = f32();
        const float horizontal = f32();
        const float vertical = f32();
        return Box(Vector(x, y), horizontal, vertical);
    }
    /// The next `bytes` bytes, or an empty text and failure when fewer are left.
    std::string bytes(std::size_t bytes) {
        if (!take(bytes))
            return "";
        return m_payload.substr(m_at - bytes, bytes);
    }
    /// True when a count of items of at least `item_bytes` each can fit in what is left.
    bool fits(std::uint32_t count, std::size_t item_bytes) {
        if (static_cast<std::size_t>(count) > left() / item_bytes)
            m_ok = false;
        return m_ok;
    }

  private:
    bool take(std::size_t bytes) {
        if (!m_ok || bytes > left()) {
            m_ok = false;
            return false;
        }
        m_at += bytes;
        return true;
    }

    const std::string& m_payload;
    std::size_t m_at;
    bool m_ok;
};

} // namespace vt::stream
