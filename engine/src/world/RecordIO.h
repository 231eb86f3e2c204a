#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

namespace vt {

// Reading and writing the fields of binary records: fixed-width numbers in
// the machine's byte order and texts prefixed by an 8-byte length. Records
// come from outside, so every length is checked against the bytes that are
// actually left before anything is allocated.

/// Bytes between the read position and the end of the stream; 0 when the
/// stream has failed or cannot tell.
std::uint64_t bytesLeft(std::istream& stream);

/// Writes a fixed-width value as its bytes in memory.
template <typename T> void writeField(std::ostream& stream, const T& value) {
    stream.write(reinterpret_cast<const char*>(&value), sizeof(value));
}

/// Reads a fixed-width value; false, with the value untouched, when the
/// stream ends first.
template <typename T> bool readField(std::istream& stream, T& value) {
    T read_value{};
    if (!stream.read(reinterpret_cast<char*>(&read_value), sizeof(read_value)))
        return false;
    value = read_value;
    return true;
}

/// Writes a flag as one byte, 0 or 1.
void writeFlag(std::ostream& stream, bool flag);
/// Reads a one-byte flag; any byte but 0 is true.
bool readFlag(std::istream& stream, bool& flag);

/// Writes the text's length as an unsigned 64-bit number, then its bytes.
void writeText(std::ostream& stream, const std::string& text);
/// Reads a text written by writeText, cut at its first zero byte. A length
/// beyond the bytes left is refused with a log line naming `where` and
/// `what`, and fails the stream; the length read goes to p_length when
/// given. False on failure.
bool readText(std::istream& stream, std::string& text, const char* where, const char* what,
              std::uint64_t* p_length = nullptr);

} // namespace vt
