#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "vintrel/network/MessageFrame.h"

namespace vt {

/// Cuts a byte stream into MessageFrames, whatever pieces it arrives in.
/// Each header is checked as soon as it is complete, before anything is set
/// aside for its payload: a length above the limit or another version puts
/// the decoder in error for good, and the stream should be dropped.
class MessageDecoder {
  public:
    /// Accepts messages of this version with payloads of at most max_payload bytes.
    MessageDecoder(std::uint8_t version, std::size_t max_payload);

    /// Takes the next bytes of the stream; 0, or -1 once in error.
    int feed(const char* p_bytes, std::size_t bytes);
    /// Moves the oldest complete message into *p_message; false when none is complete.
    bool next(MessageFrame* p_message);
    /// True once the stream broke the rules; error() says how.
    bool failed() const { return !m_error.empty(); }
    const std::string& error() const { return m_error; }
    /// Bytes received but not yet part of a complete message.
    std::size_t pending() const { return m_header.size() + m_partial.payload.size(); }

  private:
    // Checks a complete header and starts its message; false when refused.
    bool startMessage();

    std::uint8_t m_version;
    std::size_t m_max_payload;
    // The incomplete message at the end of the stream: its header bytes
    // until there are six, then as much of its payload as has come.
    std::string m_header;
    MessageFrame m_partial;
    std::size_t m_payload_bytes;
    std::deque<MessageFrame> m_complete;
    std::string m_error;
};

} // namespace vt
