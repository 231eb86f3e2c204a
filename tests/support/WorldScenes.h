#pragma once

#include <cmath>
#include <random>

#include "vintrel/events/Event.h"
#include "vintrel/world/Box.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ObjectList.h"
#include "vintrel/world/Vector.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {

/// A SOFT object drifting in a straight line that comes back in at the
/// opposite edge when it leaves the world, and counts the collisions it hears of.
class Drifter : public Object {
  public:
    Drifter() {
        setType("Drifter");
        setSolidness(SOFT);
    }

    int eventHandler(const Event* p_event) override {
        if (p_event->getType() == EVENT_COLLISION) {
            collisions()++;
            return 1;
        }
        if (p_event->getType() != EVENT_OUT)
            return Object::eventHandler(p_event);
        const Box world = WorldManager::getInstance().getBoundary();
        const float width = world.getHorizontal();
        const float height = world.getVertical();
        float x = getPosition().getX();
        float y = getPosition().getY();
        if (x < 0 || x > width)
            x -= std::floor(x / width) * width;
        if (y < 0 || y > height)
            y -= std::floor(y / height) * height;
        setPosition(Vector(x, y));
        return 1;
    }

    /// Collision events received by all drifters so far.
    static long& collisions() {
        static long count = 0;
        return count;
    }
};

/// A world of the window's 10:3 shape whose area gives each of `count`
/// objects `spaces_per_object` square spaces.
inline Box crowdBoundary(int count, float spaces_per_object) {
    const float area = static_cast<float>(count) * spaces_per_object;
    const float width = std::ceil(std::sqrt(area * 10.0f / 3.0f));
    const float height = std::ceil(area / width);
    return Box(Vector(0, 0), width, height);
}

/// Creates `count` drifters at random places of the boundary, each heading
/// in a random direction at 0.1 to 0.5 spaces per step. Same seed, same scene.
inline void populateDrifters(int count, const Box& boundary, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> along_x(0, boundary.getHorizontal());
    std::uniform_real_distribution<float> along_y(0, boundary.getVertical());
    std::uniform_real_distribution<float> angle(0, 6.2831853f);
    std::uniform_real_distribution<float> speed(0.1f, 0.5f);
    for (int i = 0; i < count; i++) {
        auto* p_o = new Drifter;
        p_o->setPosition(Vector(along_x(random), along_y(random)));
        const float a = angle(random);
        const float s = speed(random);
        p_o->setVelocity(Vector(std::cos(a) * s, std::sin(a) * s));
    }
}

/// Marks every object of the world and lets one update delete them.
inline void clearWorld() {
    WorldManager& world_manager = WorldManager::getInstance();
    const ObjectList all = world_manager.getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++)
        world_manager.markForDelete(all[i]);
    world_manager.update();
}

} // namespace vt::test
