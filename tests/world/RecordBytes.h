#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "vintrel/world/Object.h"

namespace vt::test {

/// Expected record bytes, built field by field in the machine's byte order.
class Bytes {
  public:
    template <typename T> Bytes& add(T value) {
        m_bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
        return *this;
    }
    Bytes& flag(bool value) { return add(static_cast<std::uint8_t>(value ? 1 : 0)); }
    /// The 8-byte length, then the characters.
    Bytes& text(const std::string& value) {
        add(static_cast<std::uint64_t>(value.size()));
        m_bytes += value;
        return *this;
    }
    Bytes& vector(float x, float y) { return add(x).add(y); }
    Bytes& raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }
    const std::string& str() const { return m_bytes; }

  private:
    std::string m_bytes;
};

/// The record the object writes for attr; the write must succeed.
inline std::string serialized(Object& object, std::uint32_t attr = 0) {
    std::stringstream ss;
    EXPECT_EQ(object.serialize(&ss, attr), 0);
    return ss.str();
}

/// Rebuilds the object from the bytes; deserialize's result.
inline int deserializeInto(Object& object, const std::string& record, std::uint32_t* p_mask = nullptr) {
    std::stringstream ss(record);
    return object.deserialize(&ss, p_mask);
}

} // namespace vt::test
