#include <gtest/gtest.h>

#include <string>

#include "support/LoopbackTest.h"
#include "support/StepRunner.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/network/WorldHost.h"
#include "vintrel/network/WorldMirror.h"
#include "vintrel/world/Object.h"

namespace vt::test {
namespace {

class WorldMirrorTest : public LoopbackTest {};

// Host and watcher in one process, over a real connection: the watcher also
// mirrors its own mirrors, which is harmless for the few steps this takes.
TEST_F(WorldMirrorTest, MirrorsCarryTheCollisionLayersOfTheirSources) {
    auto* p_host = new WorldHost;
    ASSERT_EQ(p_host->serve("0"), 0);
    auto* p_rock = new Object;
    p_rock->setType("Rock");
    p_rock->setCollisionLayer(0x4);
    p_rock->setCollisionMask(0x2);
    auto* p_gem = new Object;
    p_gem->setType("Gem");
    auto* p_mirror = new WorldMirror;
    ASSERT_EQ(p_mirror->watch("127.0.0.1", std::to_string(NetworkManager::getInstance().getPort())), 0);

    runSteps(500, [&](int) { return p_mirror->findMirror(p_gem->getId()) == nullptr; });
    const Object* p_rock_mirror = p_mirror->findMirror(p_rock->getId());
    const Object* p_gem_mirror = p_mirror->findMirror(p_gem->getId());
    ASSERT_NE(p_rock_mirror, nullptr);
    ASSERT_NE(p_gem_mirror, nullptr);
    EXPECT_EQ(p_rock_mirror->getCollisionLayer(), 0x4u);
    EXPECT_EQ(p_rock_mirror->getCollisionMask(), 0x2u);
    EXPECT_EQ(p_gem_mirror->getCollisionLayer(), ALL_COLLISION_LAYERS);
    EXPECT_EQ(p_gem_mirror->getCollisionMask(), ALL_COLLISION_LAYERS);

    // A change travels in the next step's message.
    p_rock->setCollisionMask(0x8);
    runSteps(500, [&](int) { return p_rock_mirror->getCollisionMask() != 0x8u; });
    EXPECT_EQ(p_rock_mirror->getCollisionMask(), 0x8u);
    EXPECT_EQ(p_rock_mirror->getCollisionLayer(), 0x4u);
}

} // namespace
} // namespace vt::test
