#include "vintrel/network/MessageDecoder.h"

#include <algorithm>
#include <utility>

namespace vt {

MessageDecoder::MessageDecoder(std::uint8_t version, std::size_t max_payload)
    : m_version(version), m_max_payload(max_payload), m_payload_bytes(0) {}

int MessageDecoder::feed(const char* p_bytes, std::size_t bytes) {
    while (bytes > 0 && !failed()) {
        if (m_header.size() < MessageFrame::HEADER_BYTES) {
            const std::size_t take = std::min(bytes, MessageFrame::HEADER_BYTES - m_header.size());
            m_header.append(p_bytes, take);
            p_bytes += take;
            bytes -= take;
            if (m_header.size() < MessageFrame::HEADER_BYTES || !startMessage())
                continue;
        } else {
            const std::size_t take = std::min(bytes, m_payload_bytes - m_partial.payload.size());
            m_partial.payload.append(p_bytes, take);
            p_bytes += take;
            bytes -= take;
        }
        if (m_partial.payload.size() == m_payload_bytes) {
            m_complete.push_back(std::move(m_partial));
            m_partial = MessageFrame();
            m_header.clear();
        }
    }
    return failed() ? -1 : 0;
}

bool MessageDecoder::startMessage() {
    std::size_t length = 0;
    for (std::size_t i = 0; i < 4; i++)
        length |= static_cast<std::size_t>(static_cast<unsigned char>(m_header[i])) << (8 * i);
    m_partial.type = static_cast<std::uint8_t>(m_header[4]);
    m_partial.version = static_cast<std::uint8_t>(m_header[5]);
    // Refused before any room is made for the payload.
    if (m_partial.version != m_version) {
        m_error = "version " + std::to_string(m_partial.version) + ", expected " + std::to_string(m_version);
        return false;
    }
    if (length > m_max_payload) {
        m_error = "a payload of " + std::to_string(length) + " bytes, above the limit of " +
                  std::to_string(m_max_payload);
        return false;
    }
    m_payload_bytes = length;
    m_partial.payload.reserve(length);
    return true;
}

bool MessageDecoder::next(MessageFrame* p_message) {
    if (m_complete.empty())
        return false;
    *p_message = std::move(m_complete.front());
    m_complete.pop_front();
    return true;
}

} // namespace vt
