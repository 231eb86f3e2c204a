#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>
#include <sstream>

#include "support/EngineTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/world/Object.h"

namespace vt::test {
namespace {

TEST(MatchTest, FirstOccurrenceWinsAndMissingKeysAreEmpty) {
    EXPECT_EQ(match("a:1,b:2,a:3", "a"), "1");
    EXPECT_EQ(match("a:1,b:2,a:3", "b"), "2");
    EXPECT_EQ(match("a:1,b:2,a:3", "c"), "");
    EXPECT_EQ(match("", "a"), "");
}

TEST(MatchTest, WhiteSpaceIsRemovedEverywhere) {
    EXPECT_EQ(match("k : v w", "k"), "vw");
    EXPECT_EQ(match("\tkey\n:\r value ,other:x", "key"), "value");
}

TEST(MatchTest, EmptyValuesExtraColonsAndEmptyEntries) {
    EXPECT_EQ(match("k:", "k"), "");
    EXPECT_EQ(match("k:v:z", "k"), "v");
    EXPECT_EQ(match(",,k:v,,", "k"), "v");
    EXPECT_EQ(match("::k:v", "k"), "v");
    EXPECT_EQ(match("k::v", "k"), "v");
    // Keys are compared exactly.
    EXPECT_EQ(match("Key:v", "key"), "");
}

TEST(MatchTest, AnEntryOfOnlyColonsStopsTheParse) {
    EXPECT_EQ(match("a:1,:::,b:2", "b"), "");
    EXPECT_EQ(match("a:1,:::,b:2", "a"), "1");
}

TEST(TextTest, NumbersAsStreamsWriteThem) {
    EXPECT_EQ(toString(-17), "-17");
    EXPECT_EQ(toString(0.5f), "0.5");
    EXPECT_EQ(toString(1.0f), "1");
    EXPECT_EQ(toString(0.99f), "0.99");
    EXPECT_EQ(toString(1000000.0f), "1e+06");
    EXPECT_EQ(toBitString(5), std::string(29, '0') + "101");
    EXPECT_EQ(toBitString(0x80000000u), "1" + std::string(31, '0'));
}

TEST(TextTest, QuotedInputIsCutToEightyCharactersOnOneLine) {
    EXPECT_EQ(clipForLog("short\tone"), "short\tone");
    EXPECT_EQ(clipForLog(std::string(80, 'a')), std::string(80, 'a'));
    EXPECT_EQ(clipForLog(std::string(81, 'a')), std::string(80, 'a') + "...");
    EXPECT_EQ(clipForLog("two\nlines\r\x1b[2J\x7f"), "two?lines??[2J?");
    // A cut inside a two-byte character backs off to its start.
    EXPECT_EQ(clipForLog(std::string(79, 'a') + "\xc3\xa9" + "b"), std::string(79, 'a') + "...");
}

TEST(TextTest, TimeStringIsTwoDigitFields) {
    EXPECT_TRUE(std::regex_match(getTimeString(), std::regex("\\d\\d:\\d\\d:\\d\\d")));
}

TEST(ColorTest, NamesAndChannels) {
    unsigned char r = 1, g = 2, b = 3;
    colorToRGB(YELLOW, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 0);
    r = 1, g = 2, b = 3;
    colorToRGB(CUSTOM, r, g, b);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g, 2);
    EXPECT_EQ(b, 3);
    colorToRGB(static_cast<Color>(42), r, g, b);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(colorToString(MAGENTA), "Magenta");
    EXPECT_EQ(colorToString(CUSTOM), "Unknown color");
    EXPECT_EQ(solidnessToString(SOFT), "soft");
    EXPECT_EQ(solidnessToString(static_cast<Solidness>(7)), "undefined");
}

TEST(GeometryTest, RangesAndBoxesIncludeTheirEdges) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(valueInRange(1, 1, 2));
    EXPECT_TRUE(valueInRange(2, 1, 2));
    EXPECT_FALSE(valueInRange(2.001f, 1, 2));
    EXPECT_FALSE(valueInRange(nan, 0, 1));
    EXPECT_FALSE(valueInRange(0, nan, 1));

    const Box unit(Vector(0, 0), 1, 1);
    EXPECT_TRUE(boxContainsPosition(unit, Vector(1, 1)));
    EXPECT_FALSE(boxContainsPosition(unit, Vector(1, 1.01f)));
    EXPECT_TRUE(boxIntersectsBox(unit, Box(Vector(1, 0), 1, 1)));
    EXPECT_TRUE(boxIntersectsBox(Box(Vector(1, 0), 1, 1), unit));
    EXPECT_FALSE(boxIntersectsBox(unit, Box(Vector(1.01f, 0), 1, 1)));
    // One box inside the other.
    EXPECT_TRUE(boxIntersectsBox(Box(Vector(-5, -5), 10, 10), Box(Vector(1, 1), 1, 1)));
    EXPECT_TRUE(boxIntersectsBox(Box(Vector(1, 1), 1, 1), Box(Vector(-5, -5), 10, 10)));
    EXPECT_FALSE(boxIntersectsBox(unit, Box(Vector(0, 2), 1, 1)));
    EXPECT_FLOAT_EQ(distance(Vector(0, 0), Vector(3, 4)), 5);
}

TEST(StreamTest, CheckStreamNamesTheFailedState) {
    testing::internal::CaptureStderr();
    std::stringstream good;
    EXPECT_EQ(checkStream("where()", good), 0);

    std::stringstream empty;
    char c;
    empty.read(&c, 1);
    EXPECT_EQ(checkStream("Reader::read()", empty), -1);

    std::stringstream failed;
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(checkStream("Writer::write()", failed), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Reader::read(): Error! Stream eof."), std::string::npos);
    EXPECT_NE(err.find("Writer::write(): Error! Stream fail."), std::string::npos);
}

} // namespace
} // namespace vt::test
