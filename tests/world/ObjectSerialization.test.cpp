#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/events/Event.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"
#include "world/RecordBytes.h"

namespace vt::test {
namespace {

class ObjectSerializationTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }
};

TEST_F(ObjectSerializationTest, NewObjectWritesEveryAttributeOnceThenNothing) {
    auto* p_o = new Object;
    std::stringstream shape_bytes;
    ASSERT_EQ(p_o->getShape().serialize(shape_bytes), 0);
    ASSERT_EQ(shape_bytes.str().size(), 13u);

    Bytes expected;
    expected.add(0x3FFFFu)
        .add(static_cast<std::int32_t>(p_o->getId()))
        .flag(true)
        .flag(true)
        .add(std::int32_t{0})
        .vector(-0.5f, -0.5f)
        .add(0.99f)
        .add(0.99f)
        .vector(1, 1)
        .text("(Undefined)")
        .text("")
        .add(std::int32_t{0})
        .add(std::int32_t{0}) // animation: no sprite, frame 0, slowdown count 0
        .add(std::int32_t{2})
        .add(std::int32_t{HARD})
        .flag(false)
        .vector(0, 0)
        .add(0.0f)
        .vector(0, 0)
        .raw(shape_bytes.str())
        .flag(false)
        .add(std::uint64_t{0})
        .flag(false);
    EXPECT_EQ(serialized(*p_o), expected.str());
    EXPECT_EQ(p_o->getModified(), 0u);
    EXPECT_EQ(serialized(*p_o), Bytes().add(0u).str());
}

TEST_F(ObjectSerializationTest, MasksSelectAttributesInRecordOrder) {
    auto* p_o = new Object;
    p_o->setPosition(Vector(3, 4));
    p_o->setVelocity(Vector(0, 2));
    p_o->setModified(ALL_ATTRIBUTES);

    // Position and speed, whatever else is modified; only their bits clear.
    EXPECT_EQ(serialized(*p_o, POSITION | SPEED), Bytes().add(0x820u).vector(3, 4).add(2.0f).str());
    EXPECT_EQ(p_o->getModified(), ALL_ATTRIBUTES & ~0x820u);

    // Direction is written before speed although its bit is higher.
    EXPECT_EQ(serialized(*p_o, DIRECTION | SPEED), Bytes().add(0x1800u).vector(0, 1).add(2.0f).str());

    Path path;
    path.addWaypoint(Vector(5, 6));
    p_o->setPath(path);
    p_o->setFollowPath(true);
    EXPECT_EQ(serialized(*p_o, PATH | FOLLOW_PATH),
              Bytes().add(0x18000u).flag(true).add(std::uint64_t{1}).vector(5, 6).str());

    // With no mask given, only what changed since is written.
    p_o->setModified(0);
    ASSERT_EQ(p_o->setAltitude(3), 0);
    p_o->registerInterest("vt-step");
    p_o->registerInterest("bonus");
    EXPECT_EQ(
        serialized(*p_o),
        Bytes().add(0x108u).add(std::int32_t{2}).text("vt-step").text("bonus").add(std::int32_t{3}).str());
    EXPECT_EQ(p_o->getModified(), 0u);
}

TEST_F(ObjectSerializationTest, RoundTripRebuildsTheObject) {
    auto* p_a = new Object;
    p_a->setType("Ship");
    p_a->setPosition(Vector(12.5f, 7));
    p_a->setVelocity(Vector(3, 4));
    p_a->setAcceleration(Vector(0, 0.25f));
    ASSERT_EQ(p_a->setAltitude(4), 0);
    ASSERT_EQ(p_a->setSolidness(SOFT), 0);
    p_a->setBox(Box(Vector(-1.5f, -1), 3, 2));
    p_a->setNoSoft(true);
    p_a->setAvoidCollisions(true);
    ASSERT_EQ(p_a->registerInterest("vt-step"), 0);
    ASSERT_EQ(p_a->registerInterest("vt-keyboard"), 0);
    ASSERT_EQ(p_a->registerInterest("treasure"), 0);
    Path path;
    path.addWaypoint(Vector(20, 7));
    path.addWaypoint(Vector(20, 9));
    p_a->setPath(path);
    const std::string record = serialized(*p_a);

    auto* p_b = new Object;
    ASSERT_EQ(p_b->registerInterest("stale"), 0);
    std::uint32_t mask = 0;
    ASSERT_EQ(deserializeInto(*p_b, record, &mask), 0);
    EXPECT_EQ(mask, ALL_ATTRIBUTES);
    EXPECT_EQ(p_b->getId(), p_a->getId());
    EXPECT_EQ(p_b->getType(), "Ship");
    EXPECT_EQ(p_b->getPosition(), Vector(12.5f, 7));
    EXPECT_EQ(p_b->getVelocity(), p_a->getVelocity());
    EXPECT_FLOAT_EQ(p_b->getSpeed(), 5);
    EXPECT_EQ(p_b->getAcceleration(), Vector(0, 0.25f));
    EXPECT_EQ(p_b->getAltitude(), 4);
    EXPECT_EQ(p_b->getSolidness(), SOFT);
    EXPECT_TRUE(p_b->getBox() == Box(Vector(-1.5f, -1), 3, 2));
    EXPECT_TRUE(p_b->getNoSoft());
    EXPECT_TRUE(p_b->getAvoidCollisions());
    EXPECT_EQ(p_b->getPath().getCount(), 2);
    EXPECT_EQ(p_b->getPath().getCurrent(), Vector(20, 7));
    ASSERT_EQ(p_b->getEventCount(), 3);
    EXPECT_EQ(p_b->getEventName(0), "vt-step");
    EXPECT_EQ(p_b->getEventName(1), "vt-keyboard");
    EXPECT_EQ(p_b->getEventName(2), "treasure");
    EXPECT_EQ(p_b->getModified(), 0u);
    // The interests are real registrations with the managers, the old one withdrawn.
    EXPECT_EQ(GameManager::getInstance().getInterested("vt-step").getCount(), 2);
    EXPECT_EQ(p_b->unregisterInterest("stale"), -1);
    // Rebuilding from its own record changes nothing more.
    EXPECT_EQ(serialized(*p_b, ALL_ATTRIBUTES), serialized(*p_a, ALL_ATTRIBUTES));
}

TEST_F(ObjectSerializationTest, AnimationFindsItsSpriteAgainByName) {
    ASSERT_TRUE(writeFile("ship.txt", "2\n3\n2\n4\nwhite\nabc\ndef\nghi\njkl\n"));
    ASSERT_EQ(ResourceManager::getInstance().loadSprite("ship.txt", "ship"), 0);
    auto* p_a = new Object;
    ASSERT_EQ(p_a->setSprite("ship"), 0);
    Animation second_frame = p_a->getAnimation();
    second_frame.setIndex(1);
    p_a->setAnimation(second_frame);
    const std::string record = serialized(*p_a);

    auto* p_b = new Object;
    ASSERT_EQ(deserializeInto(*p_b, record), 0);
    EXPECT_EQ(p_b->getAnimation().getSprite(), ResourceManager::getInstance().getSprite("ship"));
    EXPECT_EQ(p_b->getAnimation().getName(), "ship");
    EXPECT_EQ(p_b->getAnimation().getIndex(), 1);
    EXPECT_TRUE(p_b->getBox() == Box(Vector(-1.5f, -1), 3, 2));

    // A sprite this side does not know leaves the animation as read.
    const std::string ghost = Bytes()
                                  .add(ANIMATION | ALTITUDE)
                                  .text("ghost")
                                  .add(std::int32_t{2})
                                  .add(std::int32_t{0})
                                  .add(std::int32_t{3})
                                  .str();
    auto* p_c = new Object;
    EXPECT_EQ(deserializeInto(*p_c, ghost), 0);
    EXPECT_EQ(p_c->getAnimation().getName(), "ghost");
    EXPECT_EQ(p_c->getAnimation().getIndex(), 2);
    EXPECT_EQ(p_c->getAnimation().getSprite(), nullptr);
    EXPECT_EQ(p_c->getAltitude(), 3);
    EXPECT_EQ(countLines(logText(), "Object::setSprite(): Warning! Sprite 'ghost' not found"), 1);
}

// The log's lines that start with a tab: the per-attribute detail lines.
std::vector<std::string> detailLines(const std::string& log) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] == '\t')
            lines.push_back(line);
    return lines;
}

TEST_F(ObjectSerializationTest, CollisionLayersTravelOnlyForObjectsThatSetThem) {
    constexpr std::uint32_t OLD_WIDEST = ALL_ATTRIBUTES | VALUE | APPEARANCE;
    auto* p_plain = new Object;
    EXPECT_EQ(serialized(*p_plain, OLD_WIDEST | COLLISION_LAYERS), serialized(*p_plain, OLD_WIDEST));
    // Between the object's attributes and the view object's own.
    auto* p_a = new ViewObject;
    p_a->setCollisionLayer(0x6);
    p_a->setValue(42);
    auto* p_b = new ViewObject;
    ASSERT_EQ(deserializeInto(*p_b, serialized(*p_a)), 0);
    EXPECT_EQ(p_b->getCollisionLayer(), 0x6u);
    EXPECT_EQ(p_b->getCollisionMask(), ALL_COLLISION_LAYERS);
    EXPECT_EQ(p_b->getValue(), 42);

    // Records written before layers existed read as they did.
    const auto corpus = std::filesystem::path(VINTREL_SOURCE_DIR) / "fuzz/corpus/deserialize";
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::string bytes = readFile(entry.path().string());
        Object* p_target = (bytes.at(0) & 1) ? new ViewObject : new Object;
        std::stringstream ss(bytes.substr(1));
        p_target->deserialize(&ss);
        EXPECT_EQ(p_target->getCollisionLayer() & p_target->getCollisionMask(), ALL_COLLISION_LAYERS);
        EXPECT_EQ(serialized(*p_target, OLD_WIDEST | COLLISION_LAYERS), serialized(*p_target, OLD_WIDEST));
    }
}

TEST_F(ObjectSerializationTest, DetailLinesShowEachAttributeInRecordOrderBothWays) {
    LogManager& lm = LogManager::getInstance();
    lm.setLogLevel(25);
    lm.setLogTimeString(false);
    lm.setLogStepCount(false);
    auto* p_a = new Object;
    p_a->setType("Ship");
    p_a->setVelocity(Vector(0, 2));
    p_a->registerInterest("bonus");
    const std::uint32_t mask = EVENTS | TYPE | SPEED | DIRECTION | AVOID_COLLISIONS;
    const std::string record = serialized(*p_a, mask);
    const std::vector<std::string> shown = {"\tEVENTS: 1",       "\t\tbonus (size 5)",
                                            "\tTYPE: Ship",      "\tDIRECTION: (0,1)",
                                            "\tSPEED: 2.000000", "\tAVOID_COLLISIONS: false"};
    std::vector<std::string> expected = {"\t" + toBitString(mask)};
    expected.insert(expected.end(), shown.begin(), shown.end());
    EXPECT_EQ(detailLines(logText()), expected);

    // Reading shows each name's length as it is read, then the same lines.
    auto* p_b = new Object;
    ASSERT_EQ(deserializeInto(*p_b, record), 0);
    expected.push_back("\t\tsize 5");
    expected.insert(expected.end(), shown.begin(), shown.end());
    EXPECT_EQ(detailLines(logText()), expected);
}

TEST_F(ObjectSerializationTest, IdsFromRecordsAreNeverReused) {
    auto* p_o = new Object;
    ASSERT_EQ(deserializeInto(*p_o, Bytes().add(ID).add(std::int32_t{500}).str()), 0);
    EXPECT_EQ(p_o->getId(), 500);
    EXPECT_EQ((new Object)->getId(), 501);

    // The last int would leave the counter nowhere to go.
    auto* p_last = new Object;
    const int before = p_last->getId();
    EXPECT_EQ(deserializeInto(*p_last, Bytes().add(ID).add(std::int32_t{INT_MAX}).str()), -1);
    EXPECT_EQ(p_last->getId(), before);
    EXPECT_EQ(countLines(logText(), "leaves no id for later objects."), 1);
}

TEST_F(ObjectSerializationTest, IdsStartAgainPastTheLastIntAndPassOverIdsInUse) {
    // Ids 1 and 2 are taken, and a record moves the counter to its last value.
    for (const std::int32_t id : {1, 2, INT_MAX - 1})
        ASSERT_EQ(deserializeInto(*new Object, Bytes().add(ID).add(id).str()), 0);
    std::vector<int> ids;
    for (int i = 0; i < 3; i++)
        ids.push_back((new Object)->getId());
    EXPECT_EQ(ids, (std::vector<int>{INT_MAX, 3, 4}));
    EXPECT_EQ(countLines(logText(), "Object ids used up; numbering starts again from 1"), 1);
}

TEST_F(ObjectSerializationTest, SetterChecksApplyToRecords) {
    auto* p_o = new Object;
    const std::string record = Bytes()
                                   .add(ALTITUDE | SOLIDNESS | POSITION)
                                   .vector(2, 3)
                                   .add(std::int32_t{9})
                                   .add(std::int32_t{7})
                                   .str();
    EXPECT_EQ(deserializeInto(*p_o, record), 0);
    EXPECT_EQ(p_o->getAltitude(), 2);
    EXPECT_EQ(p_o->getSolidness(), HARD);
    EXPECT_EQ(p_o->getPosition(), Vector(2, 3));
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "Object::setAltitude(): Altitude 9 not in range [0,4].  Ignored."), 1);
    EXPECT_EQ(countLines(log, "Object::setSolidness(): Solidness 7 not one of HARD, SOFT or SPECTRAL."), 1);
}

TEST_F(ObjectSerializationTest, EveryTruncatedRecordIsRefusedSafely) {
    auto* p_a = new Object;
    p_a->setType("Rock");
    p_a->registerInterest("vt-step");
    const std::string record = serialized(*p_a);
    auto* p_b = new Object;
    for (std::size_t length = 0; length < record.size(); length++) {
        EXPECT_EQ(deserializeInto(*p_b, record.substr(0, length)), -1) << length;
        // Still a whole object that can write itself out.
        std::stringstream out;
        EXPECT_EQ(p_b->serialize(&out, ALL_ATTRIBUTES), 0);
    }
    EXPECT_GE(countLines(logText(), "Object::deserialize(): Error! Stream"), 1);
}

TEST_F(ObjectSerializationTest, LyingLengthsAreRefusedBeforeAllocating) {
    auto* p_o = new Object;
    p_o->setType("Keep");
    ASSERT_EQ(p_o->registerInterest("kept"), 0);

    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(TYPE).add(std::uint64_t{1} << 62).raw("abc").str()), -1);
    EXPECT_EQ(countLines(logText(),
                         "Object::deserialize(): Error! Type of 4611686018427387904 bytes, but only 3 "
                         "bytes left."),
              1);
    EXPECT_EQ(p_o->getType(), "Keep");

    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(EVENTS).add(std::int32_t{1000000}).text("x").str()), -1);
    EXPECT_EQ(countLines(logText(), "1000000 event names cannot fit in the 9 bytes left."), 1);
    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(EVENTS).add(std::int32_t{-1}).str()), -1);

    // The second name lies: the interests stay as they were.
    const std::string lying_name =
        Bytes().add(EVENTS).add(std::int32_t{2}).text("vt-step").add(std::uint64_t{99}).raw("short").str();
    EXPECT_EQ(deserializeInto(*p_o, lying_name), -1);
    EXPECT_EQ(countLines(logText(), "Event name of 99 bytes, but only 5 bytes left."), 1);
    ASSERT_EQ(p_o->getEventCount(), 1);
    EXPECT_EQ(p_o->getEventName(0), "kept");

    // A part that refuses its bytes fails the record though the stream is still good.
    const std::string bad_shape =
        Bytes().add(SHAPE).add(std::int32_t{42}).add(1.0f).add(std::int32_t{0}).add(std::uint8_t{255}).str();
    EXPECT_EQ(deserializeInto(*p_o, bad_shape), -1);
    EXPECT_EQ(p_o->getShape().getType(), -1);

    // A zero byte inside a text ends it.
    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(TYPE).text(std::string("Ro\0ck", 5)).str()), 0);
    EXPECT_EQ(p_o->getType(), "Ro");
}

TEST_F(ObjectSerializationTest, NonFiniteNumbersAreRefused) {
    auto* p_o = new Object;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(POSITION).vector(nan, 1).str()), -1);
    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(BOX).vector(0, 0).add(inf).add(1.0f).str()), -1);
    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(SPEED).add(-inf).str()), -1);
    EXPECT_EQ(deserializeInto(*p_o, Bytes().add(ACCELERATION).vector(0, nan).str()), -1);
    EXPECT_EQ(
        deserializeInto(*p_o, Bytes().add(PATH).add(std::uint64_t{2}).vector(3, 4).vector(nan, 0).str()), -1);
    EXPECT_EQ(p_o->getPosition(), Vector(1, 1));
    EXPECT_EQ(p_o->getSpeed(), 0);
    EXPECT_EQ(p_o->getPath().getCount(), 0);
    EXPECT_EQ(countLines(logText(), "Object::deserialize(): Error! POSITION is not a finite number."), 1);
    EXPECT_EQ(countLines(logText(), "Object::deserialize(): Error! BOX is not a finite number."), 1);
}

TEST_F(ObjectSerializationTest, RecordsTooLargeToStepAreRefusedAndNothingBecomesInfinite) {
    WorldManager& world_manager = WorldManager::getInstance();
    struct Case {
        const char* what;
        std::string record;
        bool accepted;
    };
    const Case cases[] = {
        {"far place, huge speed",
         Bytes().add(POSITION | DIRECTION | SPEED).vector(3e38f, 3e38f).vector(1, 0).add(3e38f).str(), false},
        {"huge acceleration",
         Bytes().add(DIRECTION | SPEED | ACCELERATION).vector(1, 0).add(1.0f).vector(3e38f, 0).str(), false},
        {"huge direction", Bytes().add(DIRECTION | SPEED).vector(-3e38f, 3e38f).add(2.0f).str(), false},
        {"huge box", Bytes().add(BOX).vector(0, 0).add(3e38f).add(1.0f).str(), false},
        {"far path node",
         Bytes().add(FOLLOW_PATH | PATH).flag(true).add(std::uint64_t{1}).vector(-3e38f, 0).str(), false},
        {"large but steppable",
         Bytes()
             .add(POSITION | DIRECTION | SPEED | ACCELERATION)
             .vector(-1e9f, 1e9f)
             .vector(1e6f, -1e6f)
             .add(1e6f)
             .vector(1e6f, 1e6f)
             .str(),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* p_o = new Object;
        EXPECT_EQ(deserializeInto(*p_o, c.record), c.accepted ? 0 : -1);
        for (int step = 0; step < 3; step++)
            world_manager.update();
        const Vector position = p_o->getPosition();
        const Vector velocity = p_o->getVelocity();
        EXPECT_TRUE(std::isfinite(position.getX()) && std::isfinite(position.getY())) << position.toString();
        EXPECT_TRUE(std::isfinite(velocity.getX()) && std::isfinite(velocity.getY())) << velocity.toString();
        EXPECT_TRUE(std::isfinite(p_o->getSpeed()));
        world_manager.markForDelete(p_o);
    }
    EXPECT_EQ(countLines(logText(), "that can be stepped safely."), 5);
}

} // namespace
} // namespace vt::test
