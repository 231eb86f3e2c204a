#include "vintrel/network/MessageFrame.h"

#include <limits>

namespace vt {

std::string MessageFrame::encode(std::uint8_t type, std::uint8_t version, const std::string& payload) {
    if (payload.size() > std::numeric_limits<std::uint32_t>::max())
        return "";
    const auto length = static_cast<std::uint32_t>(payload.size());
    std::string frame;
    frame.reserve(HEADER_BYTES + payload.size());
    for (int shift = 0; shift < 32; shift += 8)
        frame.push_back(static_cast<char>((length >> shift) & 0xFF));
    frame.push_back(static_cast<char>(type));
    frame.push_back(static_cast<char>(version));
    frame += payload;
    return frame;
}

} // namespace vt
