#include <vector>

#include "paths/PathScene.h"
#include "support/EngineTest.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/paths/EventPath.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/world/WorldManager.h"

namespace vt {
namespace {

using test::pathOf;

class PathFollowingTest : public test::EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(test::headlessConfig() + "frame_time:10,\n"), 0); }
};

/// Asks for a path to its goal in the first step, then ends the game once
/// it has walked it (or after too many steps).
class Traveller : public Object {
  public:
    explicit Traveller(const Vector& goal) : m_goal(goal) {
        setSolidness(SOFT);
        setSpeed(1);
        registerInterest(EVENT_STEP);
    }

    int eventHandler(const Event* p_event) override {
        if (p_event->getType() == EVENT_PATH)
            received_at = steps;
        if (p_event->getType() != EVENT_STEP)
            return Object::eventHandler(p_event);
        if (steps == 0)
            asked = PathManager::getInstance().findPath(this, m_goal);
        else if ((received_at >= 0 && !getFollowPath()) || steps > 100)
            GameManager::getInstance().setGameOver(true);
        steps++;
        return 1;
    }

    int steps = 0;
    int asked = -1;
    int received_at = -1;

  private:
    Vector m_goal;
};

TEST_F(PathFollowingTest, FoundPathIsTakenAndFollowedNoPathIsNot) {
    auto* p_walker = new Object;
    p_walker->setPosition(Vector(2, 2));
    p_walker->setModified(0);
    EventPath none(EventPath::NO_PATH, pathOf({Vector(9, 9)}));
    EXPECT_EQ(p_walker->eventHandler(&none), 1);
    EXPECT_EQ(p_walker->getPath().getCount(), 0);
    EXPECT_FALSE(p_walker->getFollowPath());

    EventPath found(EventPath::FOUND, pathOf({Vector(2, 5), Vector(6, 5)}));
    EXPECT_EQ(p_walker->eventHandler(&found), 1);
    EXPECT_EQ(p_walker->getPath().toString(), "(2,5)|(6,5)|");
    EXPECT_TRUE(p_walker->getFollowPath());
    EXPECT_EQ(p_walker->getDirection(), Vector(0, 1));
    EXPECT_EQ(p_walker->getModified(), static_cast<std::uint32_t>(PATH | FOLLOW_PATH));
}

TEST_F(PathFollowingTest, ArrivalSnapsAndAimsAtTheNextNodeInTheSameStep) {
    auto* p_walker = new Object;
    p_walker->setPosition(Vector(2, 2));
    p_walker->setSpeed(1);
    p_walker->setPath(pathOf({Vector(2.7f, 2), Vector(2.7f, 6)}));
    p_walker->setFollowPath(true);
    p_walker->stepAlongPath();
    EXPECT_EQ(p_walker->getPosition(), Vector(2.7f, 2));
    EXPECT_EQ(p_walker->getDirection(), Vector(0, 1));
    EXPECT_EQ(p_walker->getPath().getIndex(), 1);

    // Just beyond three quarters of a step the node is not reached yet.
    p_walker->setPosition(Vector(2.7f, 5.24f));
    p_walker->stepAlongPath();
    EXPECT_EQ(p_walker->getPosition(), Vector(2.7f, 5.24f));
    p_walker->setPosition(Vector(2.7f, 5.3f));
    p_walker->stepAlongPath();
    EXPECT_EQ(p_walker->getPosition(), Vector(2.7f, 6));
    EXPECT_EQ(p_walker->getDirection(), Vector(0, 0));
    EXPECT_FALSE(p_walker->getFollowPath());
}

TEST_F(PathFollowingTest, WalkerAsksForAPathAndWalksItAroundAWall) {
    test::placeShortWall();
    auto* p_walker = new Object;
    p_walker->setSolidness(SOFT);
    p_walker->setPosition(Vector(3, 2));
    p_walker->setSpeed(1);
    ASSERT_EQ(PathManager::getInstance().findPath(p_walker, Vector(8, 2)), 0);

    PathManager::getInstance().cycle(30);
    EXPECT_EQ(PathManager::getInstance().getSearchCount(), 0);
    EXPECT_EQ(p_walker->getPathSearch(), nullptr);
    ASSERT_TRUE(p_walker->getFollowPath());
    const Path path = p_walker->getPath();
    ASSERT_GT(path.getCount(), 2);

    // The first step snaps onto the start; each later one reaches the next
    // waypoint (a diagonal step of length 1 falls short and snaps on).
    std::vector<Vector> visited;
    for (int step = 0; step < 20 && p_walker->getFollowPath(); step++) {
        WorldManager::getInstance().update();
        visited.push_back(p_walker->getPosition());
    }
    EXPECT_FALSE(p_walker->getFollowPath());
    EXPECT_EQ(p_walker->getPosition(), Vector(8, 2));
    EXPECT_EQ(p_walker->getDirection(), Vector(0, 0));
    EXPECT_EQ(visited.size(), static_cast<std::size_t>(path.getCount()));
    Path expected = path;
    for (std::size_t i = 0; i < visited.size(); i++, expected.advance())
        EXPECT_EQ(visited[i], expected.getCurrent()) << "step " << i << " of " << path.toString();
}

TEST_F(PathFollowingTest, GameLoopFindsThePathInTheStepsSpareTime) {
    test::placeShortWall();
    auto* p_traveller = new Traveller(Vector(8, 2));
    p_traveller->setPosition(Vector(3, 2));
    GameManager::getInstance().run();
    EXPECT_EQ(p_traveller->asked, 0);
    // Delivered in the first step's spare time, before the second step.
    EXPECT_EQ(p_traveller->received_at, 1);
    EXPECT_EQ(p_traveller->getPosition(), Vector(8, 2));
    EXPECT_LT(p_traveller->steps, 20);
}

} // namespace
} // namespace vt
