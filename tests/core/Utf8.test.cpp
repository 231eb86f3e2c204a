#include <gtest/gtest.h>

#include <string>

#include "vintrel/core/Utf8.h"

namespace vt {
namespace {

constexpr char32_t FFFD = REPLACEMENT_CHARACTER;

TEST(Utf8Test, DecodesWellFormedTextAndReplacesEachIllFormedPartOnce) {
    const struct {
        const char* name;
        std::string text;
        std::u32string code_points;
        std::size_t first_invalid;
    } cases[] = {
        {"ASCII", "Points 5", U"Points 5", std::string::npos},
        {"two to four bytes", "\xC3\xA9\xE2\x94\x80\xF0\x9F\x82\xA1", U"\u00E9\u2500\U0001F0A1",
         std::string::npos},
        {"the ends of each length",
         "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
         U"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF", std::string::npos},
        {"a stray continuation byte", "a\x80z", {U'a', FFFD, U'z'}, 1},
        {"a Latin-1 byte", "caf\xE9", {U'c', U'a', U'f', FFFD}, 3},
        {"a sequence cut short by the next character", "\xE2\x94z", {FFFD, U'z'}, 0},
        {"a sequence cut short by the end", "ok\xF0\x9F\x82", {U'o', U'k', FFFD}, 2},
        {"overlong forms",
         "\xC0\xAF\xE0\x80\xAF\xF0\x80\x80\xAF",
         {FFFD, FFFD, FFFD, FFFD, FFFD, FFFD, FFFD, FFFD, FFFD},
         0},
        {"a surrogate", "\xED\xA0\x80", {FFFD, FFFD, FFFD}, 0},
        {"past U+10FFFF", "\xF4\x90\x80\x80\xF5\x80", {FFFD, FFFD, FFFD, FFFD, FFFD, FFFD}, 0},
        {"a lone lead byte before a good character", "\xC3\xC3\xA9", {FFFD, U'\u00E9'}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::u32string decoded;
        EXPECT_EQ(decodeUtf8(c.text, decoded), c.first_invalid == std::string::npos);
        EXPECT_EQ(decoded, c.code_points);
        EXPECT_EQ(findInvalidUtf8(c.text), c.first_invalid);
        EXPECT_EQ(countUtf8Cells(c.text), c.code_points.size());
    }
}

TEST(Utf8Test, EveryScalarValueSurvivesEncodingAndOthersBecomeTheReplacement) {
    std::u32string all;
    for (char32_t c = 0; c <= 0x10FFFF; c++)
        if (c < 0xD800 || c > 0xDFFF)
            all.push_back(c);
    std::u32string decoded;
    EXPECT_TRUE(decodeUtf8(encodeUtf8(all), decoded));
    EXPECT_EQ(decoded, all);
    EXPECT_EQ(encodeUtf8({0xD800, 0xDFFF, 0x110000, 0xFFFFFFFF}),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    for (unsigned c : {0xD7FFu, 0xE000u, 0xFFFDu, 0x10FFFFu})
        EXPECT_TRUE(isScalarValue(c)) << std::hex << c;
    for (unsigned c : {0xD800u, 0xDBFFu, 0xDFFFu, 0x110000u, 0xFFFFFFFFu})
        EXPECT_FALSE(isScalarValue(c)) << std::hex << c;
}

TEST(Utf8Test, ClippingNeverSplitsACharacter) {
    const std::string text = "ab\xE2\x94\x80"
                             "c";
    EXPECT_EQ(clipUtf8(text, 10), text);
    EXPECT_EQ(clipUtf8(text, 5), "ab\xE2\x94\x80");
    EXPECT_EQ(clipUtf8(text, 4), "ab");
    EXPECT_EQ(clipUtf8(text, 3), "ab");
    EXPECT_EQ(clipUtf8(text, 0), "");
    // Bytes that are no character are cut where asked.
    EXPECT_EQ(clipUtf8(std::string(8, '\x80'), 6), std::string(6, '\x80'));
}

} // namespace
} // namespace vt
