#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "support/RecordingObject.h"
#include "support/WorldChecks.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/paths/Path.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

class WorldManagerTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }

    RecordingObject* make(const Vector& position, Solidness solidness = HARD,
                          const Vector& velocity = Vector()) {
        auto* p_o = new RecordingObject(&journal);
        EXPECT_EQ(p_o->setSolidness(solidness), 0);
        p_o->setPosition(position);
        p_o->setVelocity(velocity);
        return p_o;
    }

    WorldManager& world() { return WorldManager::getInstance(); }

    std::vector<std::string> journal;
};

std::string line(const Object* p_receiver, const Object* p_mover, const Object* p_other) {
    return std::to_string(p_receiver->getId()) + ": collision " + std::to_string(p_mover->getId()) + "->" +
           std::to_string(p_other->getId());
}

TEST_F(WorldManagerTest, HardMoverIsStoppedByHardObstacleAndBothHearOfIt) {
    RecordingObject* p_mover = make(Vector(10, 10), HARD, Vector(1, 0));
    RecordingObject* p_wall = make(Vector(11.5f, 10), HARD);

    world().update();

    EXPECT_EQ(p_mover->getPosition(), Vector(10, 10));
    EXPECT_EQ(journal,
              (std::vector<std::string>{line(p_mover, p_mover, p_wall), line(p_wall, p_mover, p_wall)}));
    EXPECT_EQ(world().moveObject(p_mover, Vector(11, 10)), -1);
    EXPECT_EQ(p_mover->getPosition(), Vector(10, 10));
}

TEST_F(WorldManagerTest, SolidnessDecidesWhetherTheMoverPassesAndWhoHearsOfIt) {
    struct Case {
        Solidness mover;
        bool no_soft;
        Solidness other;
        bool moves;
        bool collides;
    };
    const Case cases[] = {
        {HARD, false, SOFT, true, true},      {HARD, true, SOFT, false, true},
        {SOFT, false, HARD, true, true},      {SOFT, false, SOFT, true, true},
        {SOFT, true, SOFT, false, true},      {SPECTRAL, false, HARD, true, false},
        {HARD, false, SPECTRAL, true, false}, {HARD, true, HARD, false, true},
    };
    float y = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(solidnessToString(c.mover) + (c.no_soft ? " (no soft)" : "") + " into " +
                     solidnessToString(c.other));
        RecordingObject* p_mover = make(Vector(10, y), c.mover);
        p_mover->setNoSoft(c.no_soft);
        RecordingObject* p_other = make(Vector(11.5f, y), c.other);

        EXPECT_EQ(world().moveObject(p_mover, Vector(11, y)), c.moves ? 0 : -1);
        EXPECT_EQ(p_mover->getPosition(), c.moves ? Vector(11, y) : Vector(10, y));
        EXPECT_EQ(p_mover->count("collision"), c.collides ? 1 : 0);
        EXPECT_EQ(p_other->count("collision"), c.collides ? 1 : 0);
        y += 3;
    }
}

TEST_F(WorldManagerTest, EveryCollisionIsReportedBeforeTheMoveIsRefused) {
    // The mover spans two grid columns (cells are 20 wide); the obstacle of
    // the left column is reported first although it was created last.
    RecordingObject* p_soft_right = make(Vector(20.5f, 4), SOFT);
    RecordingObject* p_hard_left = make(Vector(19.5f, 4), HARD);
    RecordingObject* p_mover = make(Vector(20, 2), HARD);
    p_mover->setBox(Box(Vector(-1, -0.5f), 2, 0.99f));

    EXPECT_EQ(world().moveObject(p_mover, Vector(20, 4)), -1);

    EXPECT_EQ(journal, (std::vector<std::string>{
                           line(p_mover, p_mover, p_hard_left), line(p_hard_left, p_mover, p_hard_left),
                           line(p_mover, p_mover, p_soft_right), line(p_soft_right, p_mover, p_soft_right)}));
    EXPECT_EQ(p_mover->getPosition(), Vector(20, 2));
}

TEST_F(WorldManagerTest, LeavingTheWorldSendsOneOutEventPerExit) {
    // The boundary is 80 x 24; the box reaches 0.49 beyond the position.
    RecordingObject* p_hard = make(Vector(78, 5), HARD, Vector(0.5f, 0));
    RecordingObject* p_ghost = make(Vector(78, 8), SPECTRAL, Vector(0.5f, 0));

    for (int step = 0; step < 10; step++)
        world().update();
    EXPECT_EQ(p_hard->count(EVENT_OUT), 1);
    EXPECT_EQ(p_ghost->count(EVENT_OUT), 1);
    EXPECT_EQ(p_ghost->count("collision"), 0);
    EXPECT_EQ(p_hard->getPosition(), Vector(83, 5));

    // Coming back and leaving again is a new exit.
    p_hard->setVelocity(Vector(-1, 0));
    for (int step = 0; step < 4; step++)
        world().update();
    p_hard->setVelocity(Vector(1, 0));
    for (int step = 0; step < 4; step++)
        world().update();
    EXPECT_EQ(p_hard->count(EVENT_OUT), 2);
}

TEST_F(WorldManagerTest, MarkedObjectsFinishTheStepAndAreDeletedOnceAtItsEnd) {
    int destroyed = 0;
    RecordingObject* p_mover = make(Vector(10, 10), SOFT, Vector(1, 0));
    RecordingObject* p_target = make(Vector(11.5f, 10), SOFT);
    RecordingObject* p_late = make(Vector(30, 10), SOFT, Vector(1, 0));
    std::vector<Vector> last_positions;
    for (RecordingObject* p_o : {p_mover, p_target, p_late})
        p_o->on_destroy = [&](RecordingObject* p_dying) {
            destroyed++;
            last_positions.push_back(p_dying->getPosition());
        };
    // The first collision marks every object, twice; all still finish the step.
    p_target->on_event = [&](RecordingObject*, const Event*) {
        for (RecordingObject* p_o : {p_mover, p_target, p_late}) {
            EXPECT_EQ(world().markForDelete(p_o), 0);
            EXPECT_EQ(world().markForDelete(p_o), 0);
        }
    };

    world().update();

    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(last_positions, (std::vector<Vector>{Vector(11, 10), Vector(11.5f, 10), Vector(31, 10)}));
    EXPECT_TRUE(world().getAllObjects(true).isEmpty());
    EXPECT_EQ(journal.size(), 2u);
}

TEST_F(WorldManagerTest, ObjectsMarkedByDestructorsAreDeletedInTheSamePass) {
    std::vector<int> destroyed;
    RecordingObject* p_first = make(Vector(10, 10));
    RecordingObject* p_second = make(Vector(20, 10));
    RecordingObject* p_third = make(Vector(30, 10));
    auto note = [&destroyed](RecordingObject* p_o) { destroyed.push_back(p_o->getId()); };
    const int first_id = p_first->getId();
    const int second_id = p_second->getId();
    const int third_id = p_third->getId();
    p_second->on_destroy = note;
    p_third->on_destroy = note;
    // The first one's destructor marks the third and, again, the second
    // (which is further on in the same pass) and itself.
    p_first->on_destroy = [&](RecordingObject* p_o) {
        note(p_o);
        world().markForDelete(p_third);
        world().markForDelete(p_second);
        world().markForDelete(p_o);
    };
    world().markForDelete(p_first);
    world().markForDelete(p_second);

    world().update();

    EXPECT_EQ(destroyed, (std::vector<int>{first_id, second_id, third_id}));
    EXPECT_TRUE(world().getAllObjects(true).isEmpty());
    world().update();
    EXPECT_EQ(destroyed.size(), 3u);
}

TEST_F(WorldManagerTest, MarkingWhatTheWorldDoesNotHoldIsRefused) {
    RecordingObject* p_gone = make(Vector(10, 10));
    ASSERT_EQ(world().markForDelete(p_gone), 0);
    world().update();
    int unknown = 0;
    EXPECT_EQ(world().markForDelete(p_gone), -1) << "already deleted";
    EXPECT_EQ(world().markForDelete(reinterpret_cast<Object*>(&unknown)), -1);
    EXPECT_EQ(world().markForDelete(nullptr), -1);
    world().update();
    EXPECT_EQ(countLines(logText(), "is not in the world; not marked."), 3);
}

TEST_F(WorldManagerTest, HandlersMayCreateAndDeactivateObjectsDuringTheStep) {
    RecordingObject* p_mover = make(Vector(10, 10), SOFT, Vector(1, 0));
    RecordingObject* p_other = make(Vector(11.5f, 10), SOFT, Vector(0, 1));
    RecordingObject* p_spawned = nullptr;
    p_mover->on_event = [&](RecordingObject*, const Event*) {
        p_spawned = make(Vector(50, 10), SOFT, Vector(1, 0));
        p_other->setActive(false);
        p_other->setType("Switched");
    };

    world().update();

    ASSERT_NE(p_spawned, nullptr);
    EXPECT_EQ(p_spawned->getPosition(), Vector(50, 10)) << "created during the step, first moves in the next";
    EXPECT_EQ(p_mover->getPosition(), Vector(11, 10));
    EXPECT_EQ(indexMismatch(p_other), "");
    EXPECT_EQ(indexMismatch(p_spawned), "");
    world().update();
    EXPECT_EQ(p_spawned->getPosition(), Vector(51, 10));
}

TEST_F(WorldManagerTest, ShutDownDeletesObjectsThatDestructorsCreateOrMark) {
    int created = 0;
    int destroyed = 0;
    std::function<void(RecordingObject*)> on_destroy;
    auto spawn = [&](const Vector& where) {
        auto* p_o = new RecordingObject(nullptr, "Spawned");
        p_o->setPosition(where);
        p_o->on_destroy = on_destroy;
        created++;
        return p_o;
    };
    // Every destructor creates a replacement until ten have been made, and
    // marks an unrelated object, as game-over screens and scores do.
    on_destroy = [&](RecordingObject*) {
        destroyed++;
        if (created < 10) {
            RecordingObject* p_new = spawn(Vector(static_cast<float>(created), 3));
            world().markForDelete(p_new);
        }
    };
    spawn(Vector(5, 5));
    spawn(Vector(6, 5))->setActive(false);
    // Owned, but dropped from the index behind the world's back.
    ASSERT_EQ(world().getSceneGraph().removeObject(spawn(Vector(7, 5))), 0);

    stopEngine();

    EXPECT_EQ(created, 10);
    EXPECT_EQ(destroyed, 10);
    EXPECT_TRUE(world().getAllObjects(true).isEmpty());
    EXPECT_FALSE(world().isStarted());
}

TEST_F(WorldManagerTest, ObjectsAreRefusedWhileTheWorldIsStopped) {
    stopEngine();
    LogManager::getInstance().setLogLevel(2);
    testing::internal::CaptureStderr();
    Object* p_o = new Object;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        err.find("WorldManager::insertObject(): Warning! Not adding Object " + std::to_string(p_o->getId())),
        std::string::npos);
    EXPECT_NE(err.find("                              because WorldManager not started."), std::string::npos);
    EXPECT_EQ(world().insertObject(p_o), -1);
    testing::internal::CaptureStderr();
    delete p_o;
    testing::internal::GetCapturedStderr();
}

TEST_F(WorldManagerTest, CollisionAndOutCannotBeRegisteredNorInputEvents) {
    RecordingObject* p_o = make(Vector(5, 5));
    EXPECT_EQ(p_o->registerInterest(EVENT_COLLISION), -1);
    EXPECT_EQ(p_o->registerInterest(EVENT_OUT), -1);
    EXPECT_FALSE(world().isValid(EVENT_KEYBOARD));
    EXPECT_TRUE(world().isValid(EVENT_VIEW));
    EXPECT_EQ(p_o->registerInterest("my-custom-event"), 0);
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "WorldManager::isValid(): Event vt-collision handled automatically."), 1);
    EXPECT_EQ(countLines(log, "WorldManager::isValid(): Event vt-out handled automatically."), 1);
    EXPECT_EQ(countLines(log, "WorldManager::isValid(): WorldManager does not handle vt-keyboard"), 1);
}

TEST_F(WorldManagerTest, ViewPositionStaysWithinTheBoundary) {
    world().setView(Box(Vector(0, 0), 40, 12));
    world().setViewPosition(Vector(79, 23));
    EXPECT_EQ(world().getView().getCorner(), Vector(40, 12));
    world().setViewPosition(Vector(1, 1));
    EXPECT_EQ(world().getView().getCorner(), Vector(0, 0));
    world().setViewPosition(Vector(50, 10));
    EXPECT_EQ(world().getView().getCorner(), Vector(30, 4));
    EXPECT_EQ(world().getView().getHorizontal(), 40);
    world().setViewPosition(Vector(std::nanf(""), 1e30f));
    EXPECT_EQ(world().getView().getCorner(), Vector(0, 12));

    world().setViewSlack(Vector(1.5f, 0.5f));
    EXPECT_EQ(world().getViewSlack(), Vector(1.5f, 0.5f));
    EXPECT_EQ(
        countLines(logText(), "WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]"),
        1);
}

TEST_F(WorldManagerTest, FollowedObjectMovesTheViewOnlyBeyondTheSlack) {
    // An 80 x 24 world seen through a 40 x 12 view with slack 0.5: the view
    // moves once the object is more than 10 columns or 3 rows from its centre.
    world().setView(Box(Vector(0, 0), 40, 12));
    world().setViewSlack(Vector(0.5f, 0.5f));
    RecordingObject* p_ship = make(Vector(20, 6), SPECTRAL);
    RecordingObject* p_stranger = new RecordingObject;
    p_stranger->setActive(false);
    ASSERT_EQ(world().setViewFollowing(p_ship), 0);
    EXPECT_EQ(world().getView().getCorner(), Vector(0, 0));

    world().moveObject(p_ship, Vector(30, 9));
    EXPECT_EQ(world().getView().getCorner(), Vector(0, 0));
    world().moveObject(p_ship, Vector(34, 11));
    EXPECT_EQ(world().getView().getCorner(), Vector(4, 2));
    world().moveObject(p_ship, Vector(79, 23));
    EXPECT_EQ(world().getView().getCorner(), Vector(40, 12));

    world().markForDelete(p_ship);
    world().update();
    EXPECT_EQ(world().getViewFollowing(), nullptr);
    EXPECT_EQ(world().setViewFollowing(p_stranger), 0) << "inactive objects are in the world too";

    ASSERT_EQ(world().getSceneGraph().removeObject(p_stranger), 0);
    EXPECT_EQ(world().setViewFollowing(p_stranger), -1);
    EXPECT_EQ(world().getSceneGraph().insertObject(p_stranger), 0);
}

TEST_F(WorldManagerTest, AvoidingObjectSlidesAlongAHardFace) {
    LogManager::getInstance().setLogLevel(5);
    RecordingObject* p_wall = make(Vector(12, 10), HARD);
    p_wall->setBox(Box(Vector(-0.5f, -5), 1, 10));
    RecordingObject* p_mover = make(Vector(10.5f, 10), HARD, Vector(1, 0));
    p_mover->setAvoidCollisions(true);

    // Straight into the face: nothing to slide along, it stays in place.
    world().update();
    EXPECT_EQ(p_mover->getPosition(), Vector(10.5f, 10));
    EXPECT_EQ(p_mover->count("collision"), 0);

    // Diagonally into it: the horizontal part is dropped.
    p_mover->setVelocity(Vector(1, 1));
    const float speed = p_mover->getSpeed();
    const Vector direction = p_mover->getDirection();
    world().update();
    EXPECT_FLOAT_EQ(p_mover->getPosition().getX(), 10.5f);
    EXPECT_FLOAT_EQ(p_mover->getPosition().getY(), 10 + speed);
    EXPECT_EQ(p_mover->getDirection(), direction) << "sliding leaves the object's own motion alone";
    EXPECT_EQ(countLines(logText(), "Double collision"), 0);

    // With a second hard object where the slide would go, it cannot move.
    RecordingObject* p_block = make(Vector(10.5f, 13), HARD);
    world().update();
    EXPECT_FLOAT_EQ(p_mover->getPosition().getY(), 10 + speed);
    EXPECT_EQ(
        countLines(logText(),
                   "WorldManager::moveObject(): Double collision. Object (avoid obstacles) cannot move."),
        1);
    EXPECT_EQ(p_block->count("collision"), 0);
}

TEST_F(WorldManagerTest, AvoidingObjectTurnsBackAtACorner) {
    RecordingObject* p_block = make(Vector(10, 10), HARD);
    RecordingObject* p_mover = make(Vector(8.5f, 8.5f), HARD, Vector(1, 1));
    p_mover->setAvoidCollisions(true);
    ASSERT_EQ(getNormal(p_mover, p_block), Vector(-1, -1));

    world().update();

    EXPECT_FLOAT_EQ(p_mover->getPosition().getX(), 7.5f);
    EXPECT_FLOAT_EQ(p_mover->getPosition().getY(), 9.5f);
    EXPECT_EQ(p_block->count("collision"), 0);
}

TEST_F(WorldManagerTest, UpdateMovesThenWalksPathsThenAccelerates) {
    RecordingObject* p_o = make(Vector(10, 10), SPECTRAL, Vector(1, 0));
    p_o->setAcceleration(Vector(0.5f, 0));
    world().update();
    EXPECT_EQ(p_o->getPosition(), Vector(11, 10)) << "moved with the velocity before accelerating";
    EXPECT_FLOAT_EQ(p_o->getSpeed(), 1.5f);
    world().update();
    EXPECT_EQ(p_o->getPosition(), Vector(12.5f, 10));

    RecordingObject* p_walker = make(Vector(10, 5), SPECTRAL, Vector(0, 0));
    p_walker->setSpeed(1);
    Path path;
    path.addWaypoint(Vector(13, 5));
    path.addWaypoint(Vector(13, 7));
    p_walker->setPath(path);
    p_walker->setFollowPath(true);
    const Vector expected[] = {Vector(11, 5), Vector(12, 5), Vector(13, 5), Vector(13, 6), Vector(13, 7)};
    for (const Vector& where : expected) {
        world().update();
        EXPECT_EQ(p_walker->getPosition(), where);
    }
    EXPECT_FALSE(p_walker->getFollowPath());
    world().update();
    EXPECT_EQ(p_walker->getPosition(), Vector(13, 7));
}

class DrawnObject : public Object {
  public:
    DrawnObject(std::vector<int>* p_drawn, int altitude) : m_p_drawn(p_drawn) { setAltitude(altitude); }
    int draw() override {
        m_p_drawn->push_back(getId());
        return 0;
    }

  private:
    std::vector<int>* m_p_drawn;
};

TEST_F(WorldManagerTest, DrawWalksVisibleObjectsInTheViewByAltitude) {
    std::vector<int> drawn;
    auto* p_high = new DrawnObject(&drawn, 4);
    auto* p_low = new DrawnObject(&drawn, 0);
    auto* p_middle = new DrawnObject(&drawn, 2);
    auto* p_hidden = new DrawnObject(&drawn, 1);
    p_hidden->setVisible(false);
    auto* p_away = new DrawnObject(&drawn, 1);
    p_away->setPosition(Vector(200, 5));
    auto* p_off = new DrawnObject(&drawn, 3);
    p_off->setActive(false);

    world().draw();

    EXPECT_EQ(drawn, (std::vector<int>{p_low->getId(), p_middle->getId(), p_high->getId()}));
}

TEST_F(WorldManagerTest, GridCellSizeMustBePositive) {
    for (const char* setting : {"grid_width:0,", "grid_height:-8,"}) {
        SCOPED_TRACE(setting);
        stopEngine();
        EXPECT_EQ(startEngine(headlessConfig() + setting), -1);
        const std::string log = logText();
        EXPECT_EQ(countLines(log, "must be positive"), 1);
        EXPECT_EQ(countLines(log, "WorldManager::startUp(): Error! Unable to startup Scenegraph"), 1);
        EXPECT_EQ(countLines(log, "GameManager::startUp(): Error starting world manager."), 1);
    }
}

TEST_F(WorldManagerTest, NewBoundaryKeepsExistingObjectsIndexed) {
    RecordingObject* p_a = make(Vector(100, 50));
    RecordingObject* p_b = make(Vector(5, 5), SOFT);
    world().setBoundary(Box(Vector(0, 0), 200, 100));
    EXPECT_EQ(WorldManager::getInstance().getSceneGraph().getGrid().getNumCols(), 10);
    EXPECT_EQ(indexMismatch(p_a), "");
    EXPECT_EQ(indexMismatch(p_b), "");
    EXPECT_EQ(world().getCollisions(p_b, Vector(100, 50)).getCount(), 1);

    world().setBoundary(Box(Vector(0, 0), 1e12f, 1e12f));
    EXPECT_EQ(world().getBoundary().getHorizontal(), 200);
    EXPECT_EQ(countLines(logText(), "WorldManager::setBoundary(): Error!"), 1);
    EXPECT_EQ(indexMismatch(p_a), "");
}

TEST_F(WorldManagerTest, ObjectsCollideOnlyWhenEachMaskTakesTheOthersLayer) {
    constexpr std::uint32_t ALL = ALL_COLLISION_LAYERS;
    struct Case {
        const char* name;
        std::uint32_t mover_layer, mover_mask, other_layer, other_mask;
        bool collides;
    };
    const Case cases[] = {
        {"defaults", ALL, ALL, ALL, ALL, true},
        {"each takes the other", 0x4, 0x2, 0x2, 0x5, true},
        {"the mover takes the other, not the reverse", 0x4, 0x2, 0x2, 0x1, false},
        {"the other takes the mover, not the reverse", 0x4, 0x1, 0x2, 0x4, false},
        {"one shared layer of several is enough", 0x5, 0x2, 0x2, 0x4, true},
    };
    float y = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingObject* p_mover = make(Vector(10, y));
        p_mover->setCollisionLayer(c.mover_layer);
        p_mover->setCollisionMask(c.mover_mask);
        RecordingObject* p_other = make(Vector(11.5f, y));
        p_other->setCollisionLayer(c.other_layer);
        p_other->setCollisionMask(c.other_mask);
        // Two HARD objects: a collision stops the mover, none lets it pass.
        EXPECT_EQ(world().moveObject(p_mover, Vector(11, y)), c.collides ? -1 : 0);
        EXPECT_EQ(p_mover->count("collision"), c.collides ? 1 : 0);
        EXPECT_EQ(p_other->count("collision"), c.collides ? 1 : 0);
        y += 3;
    }
    // A query for some layers narrows what the object collides with, never widens it.
    RecordingObject* p_probe = make(Vector(40, 2));
    make(Vector(40.5f, 2))->setCollisionLayer(0x2);
    make(Vector(39.5f, 2), SOFT)->setCollisionLayer(0x4);
    EXPECT_EQ(world().getCollisions(p_probe, Vector(40, 2), 0x2).getCount(), 1);
    p_probe->setCollisionMask(0x4);
    EXPECT_EQ(world().getCollisions(p_probe, Vector(40, 2), 0x2).getCount(), 0);
}

} // namespace
} // namespace vt::test
