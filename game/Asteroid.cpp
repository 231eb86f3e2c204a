#include "Asteroid.h"

#include <cstdlib>

#include <vintrel/events/Event.h>
#include <vintrel/events/EventCollision.h>
#include <vintrel/events/EventView.h>
#include <vintrel/world/ObjectList.h>
#include <vintrel/world/WorldManager.h>

#include "Explosion.h"
#include "GameNames.h"

namespace {

constexpr float START_SPEED = 0.3f;
constexpr double RECYCLE_SPEED_UP = 0.2;

// rand() % n for a positive n. A world only a few cells across makes the
// ranges of the entry positions empty or negative; they then collapse to 0
// instead of dividing by zero.
int randomBelow(int n) {
    const int r = std::rand();
    return n > 0 ? r % n : 0;
}

bool isType(const vt::Object* p_o, const char* type) { return p_o->getType() == type; }

} // namespace

Asteroid::Asteroid() {
    setSprite(names::ASTEROID_SPRITE);
    setType(names::ASTEROID);
    setDirection(vt::Vector(-1, -1));
    setSpeed(START_SPEED);
    setSolidness(vt::SOFT);
    registerInterest(vt::EVENT_OUT);
    moveToStart(0);
}

Asteroid::~Asteroid() {
    const vt::EventView points(names::POINTS_VIEW, 5, true);
    vt::WorldManager::getInstance().onEvent(&points);
}

void Asteroid::moveToStart(int side) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const vt::Box boundary = world_manager.getBoundary();
    const int w = static_cast<int>(boundary.getHorizontal());
    const int h = static_cast<int>(boundary.getVertical());
    const vt::ObjectList ships = world_manager.objectsOfType(names::PLAYER);
    if (ships.isEmpty()) {
        return;
    }
    const vt::Object* p_ship = ships[0];

    vt::Vector p;
    vt::Vector outward;
    float speed_factor = 1.0f;
    // Each row draws x before y, so the sequence of random numbers is fixed.
    switch (side) {
    case 0: {
        const int x = randomBelow(w);
        const int y = randomBelow(h - 4);
        p.setXY(static_cast<float>(x) + static_cast<float>(w) + 3.0f, static_cast<float>(y) + 4.0f);
        outward.setXY(1, 0);
        break;
    }
    case 1: {
        const int x = randomBelow(w - 3);
        const int y = randomBelow(h);
        p.setXY(static_cast<float>(x) + 1.5f, static_cast<float>(y) + static_cast<float>(h) + 3.0f);
        outward.setXY(0, 1);
        speed_factor = 0.5f;
        break;
    }
    case 2: {
        const int x = randomBelow(w);
        const int y = randomBelow(h - 4);
        p.setXY(static_cast<float>(-x) - 3.0f, static_cast<float>(y) + 4.0f);
        outward.setXY(-1, 0);
        break;
    }
    case 3: {
        const int x = randomBelow(w - 3);
        const int y = randomBelow(h);
        p.setXY(static_cast<float>(x) + 1.5f, static_cast<float>(-y) - 3.0f);
        outward.setXY(0, -1);
        speed_factor = 0.5f;
        break;
    }
    default:
        return;
    }

    while (!world_manager.getCollisions(this, p).isEmpty()) {
        p += outward;
    }

    vt::Vector velocity = p_ship->getPosition() - p;
    velocity.normalize();
    velocity.scale(getSpeed() * speed_factor);
    setVelocity(velocity);
    // Placed, not flown there: moved from inside the world (a new asteroid
    // starts in its corner), it would count as leaving it and be sent to a
    // random edge at once. The spot is already free of collisions.
    setPosition(p);
}

int Asteroid::eventHandler(const vt::Event* p_event) {
    if (p_event->getType() == vt::EVENT_OUT) {
        const vt::Box boundary = vt::WorldManager::getInstance().getBoundary();
        const vt::Vector p = getPosition();
        const bool inside = p.getX() >= 0 && p.getX() <= boundary.getHorizontal() && p.getY() >= 0 &&
                            p.getY() <= boundary.getVertical();
        if (!inside) {
            moveToStart(std::rand() % 4);
            setSpeed(static_cast<float>(static_cast<double>(getSpeed()) + RECYCLE_SPEED_UP));
        }
        return 1;
    }
    if (const auto* p_collision = vt::eventAs<vt::EventCollision>(p_event)) {
        hit(p_collision);
        return 1;
    }
    return 0;
}

void Asteroid::hit(const vt::EventCollision* p_collision) {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    vt::Object* p_o1 = p_collision->getObject1();
    vt::Object* p_o2 = p_collision->getObject2();

    if (isType(p_o1, names::ASTEROID) && isType(p_o2, names::ASTEROID)) {
        return;
    }
    if (isType(p_o1, names::BULLET) || isType(p_o2, names::BULLET)) {
        world_manager.markForDelete(p_o1);
        world_manager.markForDelete(p_o2);
        new Asteroid;
        auto* p_explosion = new Explosion;
        p_explosion->setPosition(getPosition());
        world_manager.markForDelete(p_o1);
        world_manager.markForDelete(p_o2);
        new Asteroid;
    }
    if (isType(p_o1, names::PLAYER) || isType(p_o2, names::PLAYER)) {
        world_manager.markForDelete(p_o1);
        world_manager.markForDelete(p_o2);
    }
    if ((isType(p_o1, names::MISSILE) && isType(p_o2, names::ASTEROID)) ||
        (isType(p_o1, names::ASTEROID) && isType(p_o2, names::MISSILE))) {
        auto* p_explosion = new Explosion;
        p_explosion->setPosition(getPosition());
        world_manager.markForDelete(p_o1);
    }
    if (isType(p_o1, names::MISSILE) || isType(p_o2, names::MISSILE)) {
        auto* p_explosion = new Explosion;
        p_explosion->setPosition(getPosition());
        world_manager.markForDelete(p_o1);
        world_manager.markForDelete(p_o2);
        new Asteroid;
    }
}
