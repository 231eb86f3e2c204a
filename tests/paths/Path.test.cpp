#include <cstring>
#include <sstream>
#include <string>

#include "paths/PathScene.h"
#include "support/EngineTest.h"
#include "vintrel/paths/Path.h"

namespace vt {
namespace {

using test::countLines;
using test::EngineTest;
using test::pathOf;

std::string bytesOfCount(unsigned long long count) {
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &count, 8);
    return bytes;
}

TEST(Path, CursorWalksToTheEndAndStopsThere) {
    Path path = pathOf({Vector(1, 2), Vector(3, 4)});
    EXPECT_FALSE(path.isDone());
    EXPECT_EQ(path.getCurrent(), Vector(1, 2));
    const Path copy = path.advance();
    EXPECT_EQ(copy.getIndex(), 1);
    EXPECT_EQ(path.getCurrent(), Vector(3, 4));
    path.advance();
    EXPECT_TRUE(path.isDone());
    EXPECT_EQ(path.getCurrent(), Vector(0, 0));
    path.advance();
    EXPECT_EQ(path.getIndex(), 2);
    EXPECT_TRUE(Path().isDone());
    EXPECT_EQ(path.toString(), "(1,2)|(3,4)|");
}

TEST(Path, SerializesCountThenWaypointsWithoutCursor) {
    Path path = pathOf({Vector(1, 2), Vector(0.5f, -1)});
    path.advance();
    std::stringstream stream;
    ASSERT_EQ(path.serialize(stream), 0);
    const std::string bytes = stream.str();
    const std::string expected = bytesOfCount(2) + std::string("\x00\x00\x80\x3F\x00\x00\x00\x40", 8) +
                                 std::string("\x00\x00\x00\x3F\x00\x00\x80\xBF", 8);
    EXPECT_EQ(bytes, expected);

    Path read = pathOf({Vector(9, 9), Vector(8, 8), Vector(7, 7)});
    read.setIndex(2);
    ASSERT_EQ(read.deserialize(stream), 0);
    EXPECT_EQ(read.getCount(), 2);
    EXPECT_EQ(read.getIndex(), 2);
    EXPECT_EQ(read.toString(), "(1,2)|(0.5,-1)|");
}

class PathInput : public EngineTest {};

TEST_F(PathInput, LyingOrTruncatedRecordsAreRefusedAndPathKept) {
    ASSERT_EQ(startEngine(), 0);
    Path path = pathOf({Vector(4, 5)});
    // Claims 2^61 waypoints but carries one.
    std::stringstream huge(bytesOfCount(1ULL << 61) + std::string(8, '\0'));
    EXPECT_EQ(path.deserialize(huge), -1);
    std::stringstream one_short(bytesOfCount(2) + std::string(12, '\0'));
    EXPECT_EQ(path.deserialize(one_short), -1);
    std::stringstream no_count(std::string(5, '\0'));
    EXPECT_EQ(path.deserialize(no_count), -1);
    EXPECT_EQ(path.toString(), "(4,5)|");
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "Path::deserialize(): Error! Node count 2305843009213693952"), 1);
    EXPECT_EQ(countLines(log, "Node count 2 needs more than the 12 bytes left."), 1);
    EXPECT_EQ(countLines(log, "Path::deserialize(): Error! Stream eof."), 1);

    std::stringstream empty_path(bytesOfCount(0));
    EXPECT_EQ(path.deserialize(empty_path), 0);
    EXPECT_EQ(path.getCount(), 0);
}

} // namespace
} // namespace vt
