#include <gtest/gtest.h>

#include <functional>
#include <unordered_set>
#include <vector>

#include "support/EngineTest.h"
#include "support/WorldScenes.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// Counts its own deletions in a shared table and runs `on_destroy` from its
// destructor, where game objects mark and create others.
class Counted : public Object {
  public:
    Counted(std::vector<int>* p_deletions, std::function<void(Counted*)> on_destroy = {})
        : index(static_cast<int>(p_deletions->size())), m_p_deletions(p_deletions),
          m_on_destroy(std::move(on_destroy)) {
        p_deletions->push_back(0);
    }
    ~Counted() override {
        (*m_p_deletions)[static_cast<std::size_t>(index)]++;
        if (m_on_destroy)
            m_on_destroy(this);
    }
    const int index;

  private:
    std::vector<int>* m_p_deletions;
    std::function<void(Counted*)> m_on_destroy;
};

class WorldStressTest : public EngineTest {
  protected:
    void SetUp() override { ASSERT_EQ(startEngine(), 0); }
    WorldManager& world() { return WorldManager::getInstance(); }

    // A ring of objects whose destructors mark their neighbours on both sides
    // (the one before is gone by then when deletion goes in order), themselves
    // and a null pointer.
    void makeRing(int count) {
        for (int i = 0; i < count; i++)
            ring.push_back(new Counted(&deletions, [this, count](Counted* p_o) {
                const std::size_t at = static_cast<std::size_t>(p_o->index);
                world().markForDelete(ring[(at + static_cast<std::size_t>(count) - 1) % ring.size()]);
                world().markForDelete(ring[(at + 1) % ring.size()]);
                world().markForDelete(p_o);
                world().markForDelete(nullptr);
            }));
    }

    std::vector<int> deletions;
    std::vector<Counted*> ring;
};

TEST_F(WorldStressTest, DestructorsMarkingDeletedObjectsDeleteEachObjectOnce) {
    auto expectEachDeletedOnce = [this](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(std::vector<int>(ring.size(), 1), deletions);
        EXPECT_TRUE(world().getAllObjects(true).isEmpty());
    };
    makeRing(2000);
    for (Counted* p_o : ring)
        EXPECT_EQ(world().markForDelete(p_o), 0);
    world().update();
    world().update();
    expectEachDeletedOnce("in a step");

    stopEngine();
    deletions.clear();
    ring.clear();
    ASSERT_EQ(startEngine(), 0);
    makeRing(2000);
    stopEngine();
    expectEachDeletedOnce("at shut-down");
}

TEST_F(WorldStressTest, ManyObjectsMarkedTwiceAreDeletedOnceInOneStep) {
    const int count = 20000;
    world().setBoundary(crowdBoundary(count, 20));
    populateDrifters(count, world().getBoundary(), 3);
    const ObjectList all = world().getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++) {
        ASSERT_EQ(all[i]->registerInterest(EVENT_STEP), 0);
        world().markForDelete(all[i]);
        world().markForDelete(all[(i * 7) % all.getCount()]);
    }
    // Half are made again, to be deleted at shut-down.
    populateDrifters(count / 2, world().getBoundary(), 4);
    world().update();
    EXPECT_EQ(world().getAllObjects(true).getCount(), count / 2);
    EXPECT_EQ(world().getSceneGraph().solidObjects().getCount(), count / 2);
    stopEngine();
    EXPECT_TRUE(world().getAllObjects(true).isEmpty());
}

// Destructors that replace themselves forever, as an unguarded spawner would:
// one by one in a step, then two by two at shut-down.
TEST_F(WorldStressTest, EndlessDestructorChainsNeitherStallAStepNorShutDown) {
    std::unordered_set<Object*> alive;
    int children = 1;
    std::function<void(Counted*)> respawn = [&](Counted* p_o) {
        alive.erase(p_o);
        for (int i = 0; i < children; i++) {
            auto* p_new = new Counted(&deletions, respawn);
            alive.insert(p_new);
            world().markForDelete(p_new);
        }
    };
    world().markForDelete(new Counted(&deletions, respawn));

    world().update();
    const std::size_t made_in_step = deletions.size();
    EXPECT_GT(made_in_step, 1000u) << "a chain goes on within the step for a while";
    EXPECT_LT(made_in_step, 100000u) << "but not without bound";
    world().update();
    EXPECT_GT(deletions.size(), made_in_step) << "and carries on in the next step";

    children = 2;
    stopEngine();
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "left for the next step."), 1) << "said once per chain";
    EXPECT_EQ(countLines(log, "WorldManager::shutDown(): Warning! Destructors kept creating objects"), 1);
    for (const int deleted : deletions)
        EXPECT_LE(deleted, 1);

    // What the stopped world refused is left to its creator, who is told
    // about each deletion of an object the world never held.
    children = 0;
    ASSERT_FALSE(alive.empty());
    testing::internal::CaptureStderr();
    for (Object* p_o : std::vector<Object*>(alive.begin(), alive.end()))
        delete p_o;
    testing::internal::GetCapturedStderr();
}

} // namespace
} // namespace vt::test
