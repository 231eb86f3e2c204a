#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/EngineTest.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventCollision.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"
#include "vintrel/events/EventOut.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/events/EventView.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/paths/EventPath.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

class ObjectTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }
};

TEST_F(ObjectTest, NewObjectsHaveTheirDefaultsAndRisingIds) {
    auto* p_a = new Object;
    auto* p_b = new Object;
    EXPECT_EQ(p_b->getId(), p_a->getId() + 1);
    EXPECT_EQ(p_a->getPosition(), Vector(1, 1));
    EXPECT_TRUE(p_a->getBox() == Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_EQ(p_a->getAltitude(), 2);
    EXPECT_EQ(p_a->getSolidness(), HARD);
    EXPECT_EQ(p_a->getType(), "(Undefined)");
    EXPECT_EQ(p_a->getModified(), 0x3FFFFu);
    EXPECT_EQ(p_a->getShape().getType(), -1);
    EXPECT_TRUE(p_a->isActive());
    EXPECT_TRUE(p_a->isVisible());
    EXPECT_TRUE(p_a->isSolid());
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 2);
}

class ObjectIdTest : public EngineTest {};

TEST_F(ObjectIdTest, TheFirstObjectIsNumberOne) {
    // Outside a started world the object is refused but still numbered.
    testing::internal::CaptureStderr();
    Object first;
    Object second;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(first.getId(), 1);
    EXPECT_EQ(second.getId(), 2);
}

TEST_F(ObjectIdTest, NumberingRestartsOnlyWhenTheWorldIsEmpty) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_o = new Object;
    EXPECT_EQ(Object::resetIds(), -1);
    EXPECT_EQ((new Object)->getId(), p_o->getId() + 1);
    stopEngine();
    EXPECT_EQ(Object::resetIds(), 0);
    testing::internal::CaptureStderr();
    Object outside;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(outside.getId(), 1);
}

TEST_F(ObjectTest, SettersMarkTheirAttributes) {
    auto* p_o = new Object;
    struct Case {
        const char* name;
        std::function<void()> change;
        std::uint32_t bits;
    };
    const Case cases[] = {
        {"type", [&] { p_o->setType("Rock"); }, TYPE},
        {"position", [&] { p_o->setPosition(Vector(4, 4)); }, POSITION},
        {"solidness", [&] { p_o->setSolidness(SOFT); }, SOLIDNESS},
        {"altitude", [&] { p_o->setAltitude(3); }, ALTITUDE},
        {"velocity", [&] { p_o->setVelocity(Vector(1, 0)); }, DIRECTION | SPEED},
        {"speed", [&] { p_o->setSpeed(2); }, SPEED},
        {"acceleration", [&] { p_o->setAcceleration(Vector(0, 0.1f)); }, ACCELERATION},
        {"active", [&] { p_o->setActive(false); }, ACTIVE},
        {"visible", [&] { p_o->setVisible(false); }, VISIBLE},
        {"box", [&] { p_o->setBox(Box(Vector(-1, -1), 2, 2)); }, BOX},
        {"no soft", [&] { p_o->setNoSoft(true); }, NO_SOFT},
        {"avoid", [&] { p_o->setAvoidCollisions(true); }, AVOID_COLLISIONS},
        {"follow", [&] { p_o->setFollowPath(true); }, FOLLOW_PATH},
        {"path", [&] { p_o->setPath(Path()); }, PATH},
        {"shape", [&] { p_o->setShape(Shape()); }, SHAPE},
        {"animation", [&] { p_o->setAnimation(Animation(), false); }, ANIMATION},
        {"events", [&] { p_o->registerInterest("custom"); }, EVENTS},
    };
    for (const Case& c : cases) {
        p_o->setModified(0);
        c.change();
        EXPECT_EQ(p_o->getModified(), c.bits) << c.name;
    }
    // Direction alone marks nothing; repeating a value marks nothing.
    p_o->setModified(0);
    p_o->setDirection(Vector(0, 2));
    p_o->setAltitude(3);
    p_o->setPosition(Vector(4, 4));
    p_o->setSolidness(SOFT);
    p_o->setActive(false);
    EXPECT_EQ(p_o->getModified(), 0u);
    EXPECT_FALSE(p_o->isModified());
}

TEST_F(ObjectTest, OutOfRangeAltitudeAndSolidnessAreRefused) {
    auto* p_o = new Object;
    p_o->setModified(0);
    EXPECT_EQ(p_o->setAltitude(5), -1);
    EXPECT_EQ(p_o->setAltitude(-1), -1);
    EXPECT_EQ(p_o->setSolidness(static_cast<Solidness>(3)), -1);
    EXPECT_EQ(p_o->setSolidness(static_cast<Solidness>(-1)), -1);
    EXPECT_EQ(p_o->getAltitude(), 2);
    EXPECT_EQ(p_o->getSolidness(), HARD);
    EXPECT_EQ(p_o->getModified(), 0u);
    const std::string text = logText();
    EXPECT_EQ(countLines(text, "Object::setAltitude(): Altitude 5 not in range [0,4].  Ignored."), 1);
    EXPECT_EQ(countLines(text, "Object::setSolidness(): Solidness 3 not one of HARD, SOFT or SPECTRAL."), 1);
    EXPECT_EQ(countLines(text, "Object::setSolidness(): Solidness -1 not one of HARD, SOFT or SPECTRAL."), 1);
}

TEST_F(ObjectTest, VelocityDirectionAndSpeed) {
    auto* p_o = new Object;
    p_o->setVelocity(Vector(3, 4));
    EXPECT_FLOAT_EQ(p_o->getSpeed(), 5);
    EXPECT_FLOAT_EQ(p_o->getDirection().getX(), 0.6f);
    EXPECT_FLOAT_EQ(p_o->getDirection().getY(), 0.8f);
    p_o->setVelocity(Vector(0, 0));
    EXPECT_EQ(p_o->getSpeed(), 0);
    EXPECT_EQ(p_o->getDirection(), Vector(0, 0));
    p_o->setDirection(Vector(0, 2));
    p_o->setSpeed(0.5f);
    EXPECT_EQ(p_o->getDirection(), Vector(0, 2));
    EXPECT_EQ(p_o->predictPosition(), Vector(1, 2));
}

TEST_F(ObjectTest, AccelerationChangesTheVelocity) {
    auto* p_o = new Object;
    p_o->applyAcceleration();
    EXPECT_EQ(p_o->getSpeed(), 0);
    p_o->setVelocity(Vector(1, 0));
    p_o->setAcceleration(Vector(0, 1));
    p_o->applyAcceleration();
    EXPECT_FLOAT_EQ(p_o->getVelocity().getX(), 1);
    EXPECT_FLOAT_EQ(p_o->getVelocity().getY(), 1);
}

TEST_F(ObjectTest, InterestGoesToTheManagerThatDeliversTheEvent) {
    auto* p_o = new Object;
    EXPECT_EQ(p_o->registerInterest(EVENT_STEP), 0);
    EXPECT_EQ(p_o->registerInterest(EVENT_KEYBOARD), 0);
    EXPECT_EQ(p_o->registerInterest(EVENT_MOUSE), 0);
    EXPECT_EQ(p_o->registerInterest(EVENT_VIEW), 0);
    EXPECT_EQ(p_o->registerInterest("my-own-event"), 0);
    EXPECT_EQ(p_o->registerInterest(EVENT_COLLISION), -1);
    EXPECT_EQ(p_o->registerInterest(EVENT_OUT), -1);
    EXPECT_EQ(p_o->getEventCount(), 5);
    EXPECT_EQ(GameManager::getInstance().getInterested(EVENT_STEP).getCount(), 1);
    EXPECT_EQ(InputManager::getInstance().getInterested(EVENT_KEYBOARD).getCount(), 1);
    EXPECT_EQ(WorldManager::getInstance().getInterested("my-own-event").getCount(), 1);

    EXPECT_EQ(p_o->unregisterInterest(EVENT_KEYBOARD), 0);
    EXPECT_EQ(InputManager::getInstance().getInterested(EVENT_KEYBOARD).getCount(), 0);
    EXPECT_EQ(p_o->unregisterInterest(EVENT_KEYBOARD), -1);
    EXPECT_EQ(
        countLines(logText(), "Object::unregisterInterest(): event 'vt-keyboard' not previously registered"),
        1);
}

TEST_F(ObjectTest, AHundredInterestsAtMost) {
    auto* p_o = new Object;
    for (int i = 0; i < MAX_OBJECT_EVENTS; i++)
        ASSERT_EQ(p_o->registerInterest("e" + std::to_string(i)), 0);
    EXPECT_EQ(p_o->registerInterest("e100"), -1);
    EXPECT_EQ(p_o->getEventCount(), 100);
    EXPECT_EQ(
        countLines(logText(),
                   "Object::registerInterest(): maximum (100) reached, cannot register for event 'e100'"),
        1);
}

TEST_F(ObjectTest, DestructionUnregistersEverything) {
    auto* p_o = new Object;
    p_o->registerInterest(EVENT_STEP);
    p_o->registerInterest(EVENT_MOUSE);
    p_o->registerInterest("custom");
    WorldManager::getInstance().markForDelete(p_o);
    WorldManager::getInstance().update();
    EXPECT_EQ(GameManager::getInstance().getEventCount(), 0);
    EXPECT_EQ(InputManager::getInstance().getEventCount(), 0);
    EXPECT_EQ(WorldManager::getInstance().getInterested("custom").getCount(), 0);
    EXPECT_EQ(WorldManager::getInstance().getAllObjects(true).getCount(), 0);
}

TEST_F(ObjectTest, UnknownSpriteLeavesBoxAndAnimation) {
    auto* p_o = new Object;
    p_o->setModified(0);
    EXPECT_EQ(p_o->setSprite("no-such-sprite"), -1);
    EXPECT_TRUE(p_o->getBox() == Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_EQ(p_o->getAnimation().getSprite(), nullptr);
    EXPECT_EQ(p_o->getModified(), 0u);
    EXPECT_EQ(countLines(logText(), "Object::setSprite(): Warning! Sprite 'no-such-sprite' not found"), 1);
}

TEST_F(ObjectTest, NeighbouringSpriteObjectsCollideUnlessTheirBoxesAreInset) {
    ASSERT_TRUE(writeFile("cell.txt", "2\n1\n1\n1\nwhite\n#\n@\n"));
    ASSERT_TRUE(writeFile("wide.txt", "1\n3\n2\n1\nwhite\n###\n###\n"));
    ASSERT_EQ(ResourceManager::getInstance().loadSprite("cell.txt", "cell"), 0);
    ASSERT_EQ(ResourceManager::getInstance().loadSprite("wide.txt", "wide"), 0);
    Object* p_pair[2] = {new Object, new Object};
    for (int i = 0; i < 2; i++) {
        ASSERT_EQ(p_pair[i]->setSprite("cell"), 0);
        p_pair[i]->setPosition(Vector(10.0f + static_cast<float>(i), 5));
    }
    EXPECT_EQ(WorldManager::getInstance().getCollisions(p_pair[0], Vector(10, 5)).getCount(), 1);
    p_pair[0]->setSpriteBoxInset(true);
    p_pair[1]->setSpriteBoxInset(true);
    EXPECT_EQ(WorldManager::getInstance().getCollisions(p_pair[0], Vector(10, 5)).getCount(), 0);

    // Kept across sprite and animation changes.
    ASSERT_EQ(p_pair[0]->setSprite("wide"), 0);
    EXPECT_TRUE(p_pair[0]->getBox() == Box(Vector(-1.5f, -1), 2.99f, 1.99f));
    ASSERT_EQ(p_pair[0]->setSprite("cell"), 0);
    Animation second_frame = p_pair[0]->getAnimation();
    second_frame.setIndex(1);
    p_pair[0]->setAnimation(second_frame);
    EXPECT_TRUE(p_pair[0]->getBox() == Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    // A box the game set is its own.
    const Box own(Vector(-2, -2), 4, 4);
    p_pair[0]->setBox(own);
    p_pair[0]->setSpriteBoxInset(false);
    EXPECT_TRUE(p_pair[0]->getBox() == own);

    stopEngine();
    ASSERT_EQ(startEngine(headlessConfig() + "sprite_box_inset:true,\n"), 0);
    EXPECT_TRUE((new Object)->getSpriteBoxInset());
}

TEST_F(ObjectTest, FollowsAPathNodeByNode) {
    auto* p_o = new Object;
    p_o->setSolidness(SPECTRAL);
    p_o->setPosition(Vector(0, 0));
    p_o->setSpeed(1);
    Path path;
    path.addWaypoint(Vector(0.5f, 0));
    path.addWaypoint(Vector(5, 0));
    EventPath found(EventPath::FOUND, path);
    EXPECT_EQ(p_o->eventHandler(&found), 1);
    EXPECT_TRUE(p_o->getFollowPath());
    EXPECT_EQ(p_o->getDirection(), Vector(1, 0));

    // Within 0.75 spaces of the first node: snap onto it and aim at the next.
    p_o->stepAlongPath();
    EXPECT_EQ(p_o->getPosition(), Vector(0.5f, 0));
    EXPECT_EQ(p_o->getPath().getIndex(), 1);
    EXPECT_EQ(p_o->getDirection(), Vector(1, 0));

    p_o->setPosition(Vector(4.3f, 0));
    p_o->stepAlongPath();
    EXPECT_EQ(p_o->getPosition(), Vector(5, 0));
    EXPECT_FALSE(p_o->getFollowPath());
    EXPECT_EQ(p_o->getDirection(), Vector(0, 0));
}

TEST_F(ObjectTest, NoPathFoundChangesNothingButIsHandled) {
    auto* p_o = new Object;
    EventPath none(EventPath::NO_PATH, Path());
    EXPECT_EQ(p_o->eventHandler(&none), 1);
    EXPECT_FALSE(p_o->getFollowPath());
    EventStep step(3);
    EXPECT_EQ(p_o->eventHandler(&step), 0);
}

TEST(EventTest, DefaultsAndNames) {
    EXPECT_EQ(Event().getType(), "vt-undefined");
    EventKeyboard key;
    EXPECT_EQ(key.getType(), "vt-keyboard");
    EXPECT_EQ(key.getKey(), -1);
    EXPECT_EQ(key.getKeyboardAction(), -1);
    EventMouse mouse;
    EXPECT_EQ(mouse.getType(), "vt-mouse");
    EXPECT_EQ(mouse.getMouseAction(), -1);
    EXPECT_EQ(mouse.getMouseButton(), -1);
    EXPECT_EQ(mouse.getMousePosition(), Vector(0, 0));
    EXPECT_EQ(EventStep(7).getStepCount(), 7);
    EXPECT_EQ(EventOut().getType(), "vt-out");
    const EventView view("Points", 5, true);
    EXPECT_EQ(view.getType(), "vt-view");
    EXPECT_EQ(view.getTag(), "Points");
    EXPECT_EQ(view.getValue(), 5);
    EXPECT_TRUE(view.getDelta());
    Object* p_a = reinterpret_cast<Object*>(0x10);
    Object* p_b = reinterpret_cast<Object*>(0x20);
    const EventCollision collision(p_a, p_b, Vector(2, 3));
    EXPECT_EQ(collision.getType(), "vt-collision");
    EXPECT_EQ(collision.getObject1(), p_a);
    EXPECT_EQ(collision.getObject2(), p_b);
    EXPECT_EQ(collision.getPosition(), Vector(2, 3));
}

} // namespace
} // namespace vt::test
