#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vintrel/network/MessageDecoder.h"

namespace {

using vt::MessageDecoder;
using vt::MessageFrame;

std::vector<MessageFrame> drain(MessageDecoder* p_decoder) {
    std::vector<MessageFrame> messages;
    MessageFrame message;
    while (p_decoder->next(&message))
        messages.push_back(message);
    return messages;
}

TEST(MessageDecoderTest, MessagesComeOutWholeHoweverTheStreamIsCut) {
    const std::string payloads[] = {"", "one", std::string(70000, 'x') + "end"};
    std::string stream;
    for (std::size_t i = 0; i < 3; i++)
        stream += MessageFrame::encode(static_cast<std::uint8_t>(i + 1), 4, payloads[i]);
    for (const std::size_t piece : {stream.size(), std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        SCOPED_TRACE(piece);
        MessageDecoder decoder(4, 1 << 20);
        std::vector<MessageFrame> messages;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            ASSERT_EQ(decoder.feed(stream.data() + at, std::min(piece, stream.size() - at)), 0);
            for (MessageFrame& message : drain(&decoder))
                messages.push_back(message);
        }
        ASSERT_EQ(messages.size(), 3u);
        for (std::size_t i = 0; i < 3; i++) {
            EXPECT_EQ(messages[i].type, i + 1);
            EXPECT_EQ(messages[i].version, 4);
            EXPECT_TRUE(messages[i].payload == payloads[i]);
        }
        EXPECT_EQ(decoder.pending(), 0u);
    }
}

} // namespace
