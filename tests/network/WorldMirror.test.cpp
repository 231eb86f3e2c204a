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
    p_rock->setCollisionLayer(0x4);
    p_rock->setCollisionMask(0x2);
    auto* p_mirror = new WorldMirror;
    ASSERT_EQ(p_mirror->watch("127.0.0.1", std::to_string(NetworkManager::getInstance().getPort())), 0);
    runSteps(500, [&](int) { return p_mirror->findMirror(p_rock->getId()) == nullptr; });
    const Object* p_rock_mirror = p_mirror->findMirror(p_rock->getId());
    ASSERT_NE(p_rock_mirror, nullptr);
    EXPECT_EQ(p_rock_mirror->getCollisionLayer(), 0x4u);
    EXPECT_EQ(p_rock_mirror->getCollisionMask(), 0x2u);
}

} // namespace
} // namespace vt::test
