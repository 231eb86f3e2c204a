#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vt {

/// One message of a byte stream cut into messages: a 6-byte header (payload
/// length as 4 bytes little-endian, a type byte, a version byte), then the
/// payload. TCP keeps no boundaries between sends; this puts them back.
struct MessageFrame {
    /// Bytes of the header before every payload.
    static constexpr std::size_t HEADER_BYTES = 6;

    std::uint8_t type = 0;
    std::uint8_t version = 0;
    std::string payload;

    /// The header and the payload, ready to send; empty when the payload is
    /// longer than 4 bytes can say.
    static std::string encode(std::uint8_t type, std::uint8_t version, const std::string& payload);
};

} // namespace vt
