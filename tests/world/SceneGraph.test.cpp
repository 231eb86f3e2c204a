#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/EngineTest.h"
#include "support/WorldChecks.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/SceneGraph.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

class SceneGraphTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }

    SceneGraph& sceneGraph() { return WorldManager::getInstance().getSceneGraph(); }
};

TEST_F(SceneGraphTest, EverySetterKeepsTheObjectIndexedByItsState) {
    auto* p_o = new Object;
    auto* p_bystander = new Object;
    p_bystander->setPosition(Vector(30, 12));

    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"new", [] {}},
        {"type", [&] { p_o->setType("Ship"); }},
        {"altitude", [&] { EXPECT_EQ(p_o->setAltitude(3), 0); }},
        {"invisible", [&] { EXPECT_EQ(p_o->setVisible(false), 0); }},
        {"altitude while invisible", [&] { EXPECT_EQ(p_o->setAltitude(1), 0); }},
        {"visible again", [&] { EXPECT_EQ(p_o->setVisible(true), 0); }},
        {"spectral", [&] { EXPECT_EQ(p_o->setSolidness(SPECTRAL), 0); }},
        {"move while spectral", [&] { p_o->setPosition(Vector(50, 20)); }},
        {"soft", [&] { EXPECT_EQ(p_o->setSolidness(SOFT), 0); }},
        {"hard", [&] { EXPECT_EQ(p_o->setSolidness(HARD), 0); }},
        {"move across cells", [&] { p_o->setPosition(Vector(19.8f, 7.8f)); }},
        {"bigger box", [&] { p_o->setBox(Box(Vector(-3, -3), 6, 6)); }},
        {"move out of the world", [&] { p_o->setPosition(Vector(79, 30)); }},
        {"inactive", [&] { EXPECT_EQ(p_o->setActive(false), 0); }},
        {"type while inactive", [&] { p_o->setType("Wreck"); }},
        {"altitude while inactive", [&] { EXPECT_EQ(p_o->setAltitude(4), 0); }},
        {"soft while inactive", [&] { EXPECT_EQ(p_o->setSolidness(SOFT), 0); }},
        {"move while inactive", [&] { p_o->setPosition(Vector(10, 10)); }},
        {"box while inactive", [&] { p_o->setBox(Box(Vector(-0.5f, -0.5f), 1, 1)); }},
        {"invisible while inactive", [&] { EXPECT_EQ(p_o->setVisible(false), 0); }},
        {"active again", [&] { EXPECT_EQ(p_o->setActive(true), 0); }},
        {"visible", [&] { EXPECT_EQ(p_o->setVisible(true), 0); }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        EXPECT_EQ(indexMismatch(p_o), "");
        EXPECT_EQ(indexMismatch(p_bystander), "");
    }
    EXPECT_EQ(sceneGraph().objectsOfType("Wreck").getCount(), 1);
    EXPECT_TRUE(sceneGraph().objectsOfType("Ship").isEmpty());
    EXPECT_EQ(sceneGraph().visibleObjects(4).getCount(), 1);

    delete p_o;
    EXPECT_EQ(occurrences(sceneGraph().activeObjects() + sceneGraph().inactiveObjects(), p_o), 0);
    EXPECT_TRUE(sceneGraph().objectsOfType("Wreck").isEmpty());
    EXPECT_EQ(sceneGraph().visibleObjects(4).getCount(), 0);
    EXPECT_EQ(indexMismatch(p_bystander), "");
}

TEST_F(SceneGraphTest, QueriesAreCopiesAndOddRequestsAreReported) {
    auto* p_o = new Object;
    ObjectList active = sceneGraph().activeObjects();
    active.clear();
    EXPECT_EQ(sceneGraph().activeObjects().getCount(), 1);

    EXPECT_TRUE(sceneGraph().visibleObjects(7).isEmpty());
    EXPECT_TRUE(sceneGraph().objectsOfType("Nothing").isEmpty());

    ASSERT_EQ(sceneGraph().removeObject(p_o), 0);
    EXPECT_EQ(sceneGraph().removeObject(p_o), -1);
    char address[32];
    std::snprintf(address, sizeof(address), "%p", static_cast<void*>(p_o));
    const std::string removal = "SceneGraph::removeObject(): Error removing Object (id " +
                                std::to_string(p_o->getId()) + ")! Pointer is " + address + ".";
    EXPECT_EQ(sceneGraph().insertObject(p_o), 0);

    const std::string log = logText();
    EXPECT_EQ(countLines(log, "SceneGraph::visibleObjects(): Warning! altitude 7 not in [0,4]."), 1);
    EXPECT_EQ(countLines(log, removal), 1);
}

TEST_F(SceneGraphTest, TypeChangeOfAnInactiveObjectIsReportedButApplied) {
    auto* p_o = new Object;
    ASSERT_EQ(p_o->setActive(false), 0);
    p_o->setType("Ghost");
    EXPECT_EQ(p_o->getType(), "Ghost");
    EXPECT_EQ(countLines(logText(), "SceneGraph::updateType(): Error! Unable to remove Object (" +
                                        std::to_string(p_o->getId()) + ") type (Undefined)"),
              1);
    EXPECT_EQ(indexMismatch(p_o), "");
}

TEST_F(SceneGraphTest, DeactivatingAnObjectNoListHoldsIsRefused) {
    // Gone from the active list and from its type's list: both refuse, and
    // no other list (visible, solid) is asked.
    auto* p_o = new Object;
    p_o->setSolidness(SPECTRAL);
    ASSERT_EQ(p_o->setVisible(false), 0);
    ASSERT_EQ(sceneGraph().removeObject(p_o), 0);
    EXPECT_EQ(p_o->setActive(false), -1);
    EXPECT_TRUE(p_o->isActive()) << "a refused change leaves the object alone";
}

TEST_F(SceneGraphTest, FailuresAreSilentOnceTheGameIsOver) {
    // An object taken out of the index behind its back makes its setters fail.
    auto make_stray = [this] {
        auto* p_o = new Object;
        EXPECT_EQ(sceneGraph().removeObject(p_o), 0);
        return p_o;
    };
    Object* p_loud = make_stray();
    EXPECT_EQ(p_loud->setVisible(false), -1);
    EXPECT_TRUE(p_loud->isVisible()) << "a refused change leaves the object alone";
    EXPECT_EQ(p_loud->setAltitude(3), -1);
    p_loud->setType("Loud");
    EXPECT_EQ(p_loud->setActive(false), -1);

    GameManager::getInstance().setGameOver(true);
    Object* p_quiet = make_stray();
    EXPECT_EQ(p_quiet->setVisible(false), 0);
    EXPECT_EQ(p_quiet->setVisible(true), 0);
    p_quiet->setType("Quiet");
    EXPECT_LT(p_quiet->setActive(false), 0) << "only the messages are dropped";
    GameManager::getInstance().setGameOver(false);

    const std::string log = logText();
    EXPECT_EQ(countLines(log, "SceneGraph::updateVisible(): unable to remove visible object ((Undefined))"),
              1);
    EXPECT_EQ(countLines(log, "SceneGraph::updateVisible()"), 1);
    EXPECT_EQ(countLines(log, "SceneGraph::updateAltitude(): remove from old altitude (2) failed!"), 1);
    EXPECT_EQ(countLines(log, "\tObject: type (Undefined), id " + std::to_string(p_loud->getId())), 1);
    EXPECT_EQ(countLines(log, "SceneGraph::updateType(): Error! Unable to remove Object"), 1);
    EXPECT_EQ(countLines(log, "SceneGraph::updateActive(): remove object (Loud) failed for objects!"), 1);
    EXPECT_EQ(
        countLines(log,
                   "SceneGraph::updateActive(): remove visible object (Loud) failed for visible_objects!"),
        1);
    EXPECT_EQ(countLines(log, "SceneGraph::updateActive(): remove object (Loud) failed for solid_objects!"),
              1);
    EXPECT_EQ(countLines(log, "(Quiet)"), 0);

    sceneGraph().insertObject(p_loud);
    p_quiet->setType("(Undefined)");
    sceneGraph().insertObject(p_quiet);
}

} // namespace
} // namespace vt::test
