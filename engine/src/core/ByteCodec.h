#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace vt {

// The numbers and texts of replay files and of the world stream. Numbers are written little-endian whatever
// the machine, so that a file or a stream travels between machines.
class ByteWriter {
  public:
    /// Writes into a text of its own (see bytes()).
    ByteWriter() = default;
    /// Appends to the caller's text, which must outlive the writer.
    explicit ByteWriter(std::string* p_out) : m_p_bytes(p_out) {}
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    void u8(std::uint8_t value) { m_p_bytes->push_back(static_cast<char>(value)); }
    void u16(std::uint16_t value) { little(value, 2); }
    void u32(std::uint32_t value) { little(value, 4); }
    void u64(std::uint64_t value) { little(value, 8); }
    void i32(int value) { u32(static_cast<std::uint32_t>(value)); }
    void f32(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof(bits));
        u32(bits);
    }
    void raw(const std::string& text) { *m_p_bytes += text; }
    const std::string& bytes() const { return *m_p_bytes; }

  private:
    void little(std::uint64_t value, int count) {
        for (int i = 0; i < count; i++)
            m_p_bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    std::string m_own_bytes;
    std::string* m_p_bytes = &m_own_bytes;
};

// Every read is checked against the bytes left; a failed read leaves the
// value untouched and returns false.
class ByteReader {
  public:
    explicit ByteReader(const std::string& bytes) : m_bytes(bytes) {}
    std::size_t position() const { return m_position; }
    std::size_t left() const { return m_bytes.size() - m_position; }

    bool u8(std::uint8_t& value) {
        std::uint64_t wide = 0;
        return little(wide, 1) && (value = static_cast<std::uint8_t>(wide), true);
    }
    bool u16(std::uint16_t& value) {
        std::uint64_t wide = 0;
        return little(wide, 2) && (value = static_cast<std::uint16_t>(wide), true);
    }
    bool u32(std::uint32_t& value) {
        std::uint64_t wide = 0;
        return little(wide, 4) && (value = static_cast<std::uint32_t>(wide), true);
    }
    bool u64(std::uint64_t& value) { return little(value, 8); }
    bool i32(int& value) {
        std::uint32_t bits = 0;
        if (!u32(bits))
            return false;
        value = static_cast<int>(static_cast<std::int32_t>(bits));
        return true;
    }
    bool f32(float& value) {
        std::uint32_t bits = 0;
        if (!u32(bits))
            return false;
        std::memcpy(&value, &bits, sizeof(value));
        return true;
    }
    bool raw(std::string& text, std::size_t size) {
        if (size > left())
            return false;
        text.assign(m_bytes, m_position, size);
        m_position += size;
        return true;
    }

  private:
    bool little(std::uint64_t& value, std::size_t count) {
        if (left() < count)
            return false;
        std::uint64_t result = 0;
        for (std::size_t i = 0; i < count; i++)
            result |= static_cast<std::uint64_t>(static_cast<unsigned char>(m_bytes[m_position + i]))
                      << (8 * i);
        m_position += count;
        value = result;
        return true;
    }
    const std::string& m_bytes;
    std::size_t m_position = 0;
};

} // namespace vt
