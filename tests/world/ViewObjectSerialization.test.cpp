#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "support/EngineTest.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/Sprite.h"
#include "vintrel/network/Mirror.h"
#include "vintrel/world/ViewObject.h"
#include "world/RecordBytes.h"

namespace vt::test {
namespace {

// The view object's appearance block as it follows the object's record.
std::string appearance(const std::string& label, bool border, std::int32_t color, std::int32_t location,
                       bool draw_value) {
    return Bytes().text(label).flag(border).add(color).add(location).flag(draw_value).str();
}

class ViewObjectSerializationTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }
};

TEST_F(ViewObjectSerializationTest, FreshViewObjectAppendsValueAndAppearanceOnce) {
    auto* p_v = new ViewObject;
    // The object's own part, written by the base alone from the same state.
    std::stringstream object_part;
    ASSERT_EQ(p_v->Object::serialize(&object_part), 0);
    p_v->setModified(0xFFFFF);

    const std::string record = serialized(*p_v);
    ASSERT_EQ(record.substr(0, 4), Bytes().add(0xFFFFFu).str());
    EXPECT_EQ(record, Bytes().raw(object_part.str()).add(std::int32_t{0}).str() +
                          appearance("", true, WHITE, TOP_CENTER, true));
    EXPECT_EQ(p_v->getModified(), 0u);
    EXPECT_EQ(serialized(*p_v), Bytes().add(0u).str());
}

TEST_F(ViewObjectSerializationTest, RoundTripRebuildsLabelValueAndPlace) {
    auto* p_a = new ViewObject;
    p_a->setViewString("Points");
    p_a->setValue(42);
    p_a->setBorder(false);
    p_a->setColor(RED);
    p_a->setLocation(BOTTOM_RIGHT);
    p_a->setDrawValue(false);
    const std::string record = serialized(*p_a);

    auto* p_b = new ViewObject;
    ASSERT_EQ(deserializeInto(*p_b, record), 0);
    EXPECT_EQ(p_b->getViewString(), "Points");
    EXPECT_EQ(p_b->getValue(), 42);
    EXPECT_FALSE(p_b->getBorder());
    EXPECT_EQ(p_b->getColor(), RED);
    EXPECT_EQ(p_b->getLocation(), BOTTOM_RIGHT);
    EXPECT_FALSE(p_b->getDrawValue());
    EXPECT_EQ(p_b->getPosition(), p_a->getPosition());
    // Applied through the setters, so the view object's own bits are marked.
    EXPECT_EQ(p_b->getModified(), static_cast<std::uint32_t>(VALUE | APPEARANCE));

    // Only the value changed since: the record carries the value alone.
    p_a->setValue(43);
    EXPECT_EQ(serialized(*p_a), Bytes().add(static_cast<std::uint32_t>(VALUE)).add(std::int32_t{43}).str());
}

TEST_F(ViewObjectSerializationTest, PlacedByPositionKeepsThatPositionAndOnlyAMirrorTakesItSilently) {
    auto* p_a = new ViewObject;
    p_a->setPosition(Vector(5, 7));
    ASSERT_EQ(p_a->getLocation(), -1);
    const std::string record = serialized(*p_a, POSITION | APPEARANCE);

    // A view object read directly warns of location -1; a watcher's copy
    // follows such records, one per step, and must not.
    const struct {
        const char* what;
        ViewObject* p_reader;
        int warnings;
    } readers[] = {{"view object", new ViewObject, 1}, {"mirror", new ViewMirror, 0}};
    for (const auto& reader : readers) {
        SCOPED_TRACE(reader.what);
        const std::string before = logText();
        EXPECT_EQ(deserializeInto(*reader.p_reader, record), 0);
        EXPECT_EQ(reader.p_reader->getPosition(), Vector(5, 7));
        EXPECT_EQ(reader.p_reader->getLocation(), -1);
        EXPECT_EQ(countLines(logText().substr(before.size()),
                             "ViewObject::setLocation(): Warning! Location out of range (-1). Ignored."),
                  reader.warnings);
    }
}

TEST_F(ViewObjectSerializationTest, TextBeyondAsciiTravelsByteForByte) {
    // UTF-8 ("Очки ★"), and bytes that are not UTF-8: records carry both unchanged.
    for (const std::string label : {"\xD0\x9E\xD1\x87\xD0\xBA\xD0\xB8 \xE2\x98\x85", "caf\xE9 \xF0\x80"}) {
        SCOPED_TRACE(label);
        auto* p_a = new ViewObject;
        p_a->setViewString(label);
        p_a->setType(label);
        Sprite sprite(1);
        sprite.setLabel(label);
        Animation animation;
        animation.setSprite(&sprite);
        p_a->setAnimation(animation);
        const std::string record = serialized(*p_a, TYPE | ANIMATION | APPEARANCE);
        p_a->setAnimation(Animation());

        auto* p_b = new ViewObject;
        ASSERT_EQ(deserializeInto(*p_b, record), 0);
        EXPECT_EQ(p_b->getViewString(), label);
        EXPECT_EQ(p_b->getType(), label);
        EXPECT_EQ(p_b->getAnimation().getName(), label);
        EXPECT_EQ(serialized(*p_b, TYPE | ANIMATION | APPEARANCE), record);
    }
}

TEST_F(ViewObjectSerializationTest, ShortOrLyingAppearanceChangesNothing) {
    auto* p_v = new ViewObject;
    p_v->setViewString("Lives");
    const std::string mask = Bytes().add(static_cast<std::uint32_t>(APPEARANCE)).str();

    const std::string lying = Bytes().raw(mask).add(std::uint64_t{1000}).raw("Points").str();
    EXPECT_EQ(deserializeInto(*p_v, lying), -1);
    EXPECT_EQ(countLines(logText(),
                         "ViewObject::deserialize(): Error! View string of 1000 bytes, but only 6 bytes "
                         "left."),
              1);
    EXPECT_EQ(p_v->getViewString(), "Lives");

    EXPECT_EQ(deserializeInto(*p_v, mask + appearance("Points", true, 99, TOP_LEFT, true)), -1);
    EXPECT_EQ(countLines(logText(), "Color 99 is not one of the engine's colors."), 1);
    EXPECT_EQ(p_v->getViewString(), "Lives");

    const std::string whole = mask + appearance("Points", false, BLUE, TOP_LEFT, true);
    for (std::size_t length = 4; length < whole.size(); length++)
        EXPECT_EQ(deserializeInto(*p_v, whole.substr(0, length)), -1) << length;
    EXPECT_EQ(p_v->getViewString(), "Lives");
    EXPECT_TRUE(p_v->getBorder());

    // A broken object part is reported as such, and the view part is not read.
    EXPECT_EQ(deserializeInto(
                  *p_v, Bytes().add(static_cast<std::uint32_t>(TYPE | VALUE)).add(std::uint64_t{9}).str()),
              -1);
    EXPECT_EQ(countLines(logText(), "ViewObject::deserialize(): Error calling Object::deserialize()."), 1);
}

} // namespace
} // namespace vt::test
