#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "media/LogLines.h"
#include "support/EngineTest.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/Sprite.h"

namespace vt::test {
namespace {

std::unique_ptr<Sprite> makeSprite(int frames, int slowdown, const std::string& label = "spin") {
    auto p_sprite = std::make_unique<Sprite>(frames);
    p_sprite->setWidth(5);
    p_sprite->setHeight(3);
    p_sprite->setSlowdown(slowdown);
    p_sprite->setLabel(label);
    for (int i = 0; i < frames; i++)
        EXPECT_EQ(p_sprite->pushFrame(Frame(5, 3, std::string(15, static_cast<char>('0' + i)))), 0);
    return p_sprite;
}

std::string bytesOf(const Animation& animation) {
    std::ostringstream out;
    EXPECT_EQ(animation.serialize(out), 0);
    return out.str();
}

template <typename T> void append(std::string& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
}

// Frame drawing needs a window; without one (headless) every draw fails with
// -1 but the animation still advances, which is what these tests follow.
class AnimationTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }
};

TEST_F(AnimationTest, SpritesHoldAtMostTheirCapacity) {
    auto p_sprite = makeSprite(2, 1);
    EXPECT_EQ(p_sprite->getFrameCount(), 2);
    EXPECT_EQ(p_sprite->pushFrame(Frame(5, 3, std::string(15, 'x'))), -1);
    EXPECT_EQ(p_sprite->getFrameCount(), 2);
    EXPECT_EQ(p_sprite->getFrame(1).getString(), std::string(15, '1'));
    EXPECT_TRUE(p_sprite->getFrame(2).isEmpty());
    EXPECT_TRUE(p_sprite->getFrame(-1).isEmpty());
    EXPECT_EQ(p_sprite->draw(7, Vector(3, 3), 0), 0);

    Sprite fresh(3);
    EXPECT_EQ(fresh.getLabel(), "[Undefined]");
    EXPECT_EQ(fresh.getColor(), WHITE);
    EXPECT_EQ(fresh.getSlowdown(), 1);
    EXPECT_EQ(fresh.getTransparency(), 0);

    Sprite broken(-4);
    EXPECT_EQ(broken.getMaxFrameCount(), 0);
    EXPECT_EQ(broken.pushFrame(Frame(1, 1, "x")), -1);
    EXPECT_TRUE(hasMessage(logText(), "Sprite::Sprite(): Error! Unable to allocate -4 frames."));
    // A huge capacity is only a limit: nothing is set aside for it.
    Sprite roomy(2000000000);
    EXPECT_EQ(roomy.getMaxFrameCount(), 2000000000);
    EXPECT_EQ(roomy.pushFrame(Frame(1, 1, "x")), 0);
}

TEST_F(AnimationTest, EachFrameShowsForSlowdownDraws) {
    auto p_sprite = makeSprite(4, 2);
    Animation animation;
    animation.setSprite(p_sprite.get());
    std::vector<int> shown;
    for (int i = 0; i < 10; i++) {
        shown.push_back(animation.getIndex());
        animation.draw(Vector(10, 5));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 0, 0}));
}

TEST_F(AnimationTest, SlowdownZeroAdvancesEveryDrawAndMinusOneFreezes) {
    auto p_sprite = makeSprite(3, 0);
    Animation animation;
    animation.setSprite(p_sprite.get());
    animation.draw(Vector());
    animation.draw(Vector());
    EXPECT_EQ(animation.getIndex(), 2);

    animation.setSlowdownCount(-1);
    for (int i = 0; i < 5; i++)
        animation.draw(Vector());
    EXPECT_EQ(animation.getIndex(), 2);
    EXPECT_EQ(animation.getSlowdownCount(), -1);

    Sprite empty(0);
    Animation still;
    still.setSprite(&empty);
    EXPECT_EQ(still.draw(Vector()), 0);
    EXPECT_EQ(still.getIndex(), 0);

    // Counters taken from a record may sit at the top of their range.
    animation.setIndex(INT_MAX);
    animation.setSlowdownCount(INT_MAX);
    animation.draw(Vector());
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_EQ(animation.getSlowdownCount(), 0);
}

TEST_F(AnimationTest, SetSpriteRestartsTheFramesButKeepsTheCount) {
    auto p_first = makeSprite(4, 5, "first");
    auto p_second = makeSprite(2, 5, "second");
    Animation animation;
    EXPECT_EQ(animation.getName(), "");
    animation.setSprite(p_first.get());
    animation.setIndex(3);
    animation.setSlowdownCount(2);
    animation.setSprite(p_second.get());
    EXPECT_EQ(animation.getName(), "second");
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_EQ(animation.getSlowdownCount(), 2);
    animation.setSprite(nullptr);
    EXPECT_EQ(animation.getSprite(), nullptr);
    EXPECT_EQ(animation.getName(), "second");
    EXPECT_EQ(animation.draw(Vector()), 0);
}

TEST_F(AnimationTest, TheBoxIsTheSpriteCentredOnTheOrigin) {
    Animation animation;
    const Box none = animation.getBox();
    EXPECT_FLOAT_EQ(none.getCorner().getX(), -0.5f);
    EXPECT_FLOAT_EQ(none.getCorner().getY(), -0.5f);
    EXPECT_FLOAT_EQ(none.getHorizontal(), 0.99f);
    EXPECT_FLOAT_EQ(none.getVertical(), 0.99f);

    auto p_sprite = makeSprite(1, 1);
    animation.setSprite(p_sprite.get());
    const Box box = animation.getBox();
    EXPECT_FLOAT_EQ(box.getCorner().getX(), -2.5f);
    EXPECT_FLOAT_EQ(box.getCorner().getY(), -1.5f);
    EXPECT_FLOAT_EQ(box.getHorizontal(), 5.0f);
    EXPECT_FLOAT_EQ(box.getVertical(), 3.0f);
}

TEST_F(AnimationTest, SerializedFormIsLengthNameIndexAndCount) {
    auto p_sprite = makeSprite(4, 1, "ship");
    Animation animation;
    animation.setSprite(p_sprite.get());
    animation.setIndex(2);
    animation.setSlowdownCount(1);
    EXPECT_EQ(animation.toString(), "sprite ship, frame_idx 2");

    std::string expected;
    append<std::uint64_t>(expected, 4);
    expected += "ship";
    append<std::int32_t>(expected, 2);
    append<std::int32_t>(expected, 1);
    const std::string bytes = bytesOf(animation);
    EXPECT_EQ(bytes.size(), 20u);
    EXPECT_EQ(bytes, expected);

    std::istringstream in(bytes);
    Animation copy;
    ASSERT_EQ(copy.deserialize(in), 0);
    EXPECT_EQ(copy.getName(), "ship");
    EXPECT_EQ(copy.getIndex(), 2);
    EXPECT_EQ(copy.getSlowdownCount(), 1);
    EXPECT_EQ(copy.getSprite(), nullptr);

    copy.setIndex(-3);
    EXPECT_EQ(copy.toString(), "sprite ship, frame_idx -3");

    // A name is cut at its first zero byte.
    std::string cut;
    append<std::uint64_t>(cut, 5);
    cut += std::string("ab\0cd", 5);
    append<std::int32_t>(cut, 7);
    append<std::int32_t>(cut, -1);
    std::istringstream cut_in(cut);
    ASSERT_EQ(copy.deserialize(cut_in), 0);
    EXPECT_EQ(copy.getName(), "ab");
    EXPECT_EQ(copy.getIndex(), 7);
    EXPECT_EQ(copy.getSlowdownCount(), -1);
}

TEST_F(AnimationTest, DamagedRecordsAreRefusedAndChangeNothing) {
    auto p_sprite = makeSprite(1, 1, "kept");
    Animation original;
    original.setSprite(p_sprite.get());
    const std::string good = bytesOf(original);

    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    };
    std::string huge;
    append<std::uint64_t>(huge, 0xFFFFFFFFFFFFull);
    huge += "tiny";
    std::string promised;
    append<std::uint64_t>(promised, 1000);
    promised += "only a few bytes";
    const Case cases[] = {
        {"empty", "", "Animation::deserialize(): Error! Stream eof."},
        {"cut in the length", good.substr(0, 5), "Animation::deserialize(): Error! Stream eof."},
        {"cut in the count", good.substr(0, good.size() - 2), "Animation::deserialize(): Error! Stream eof."},
        {"huge length", huge, "Animation::deserialize(): Error! Cannot allocate 281474976710655 bytes."},
        {"length past the end", promised, "Animation::deserialize(): Error! Stream eof."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Animation animation = original;
        animation.setIndex(0);
        animation.setSlowdownCount(3);
        std::istringstream in(c.bytes);
        EXPECT_EQ(animation.deserialize(in), -1);
        EXPECT_EQ(animation.getName(), "kept");
        EXPECT_EQ(animation.getSlowdownCount(), 3);
        EXPECT_TRUE(hasMessage(logText(), c.message));
    }
}

} // namespace
} // namespace vt::test
