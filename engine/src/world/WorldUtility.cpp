#include "vintrel/world/WorldUtility.h"

#include "vintrel/core/Geometry.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

// Seven halvings find the last free place within 1/128 of the move: within a cell below 128 cells per step.
constexpr int NORMAL_BISECTION_PASSES = 7;

} // namespace

std::string solidnessToString(Solidness solidness) {
    switch (static_cast<int>(solidness)) {
    case HARD:
        return "hard";
    case SOFT:
        return "soft";
    case SPECTRAL:
        return "spectral";
    default:
        return "undefined";
    }
}

Box getWorldBox(const Object* p_o) { return getWorldBox(p_o, p_o->getPosition()); }

Box getWorldBox(const Object* p_o, const Vector& where) {
    Box box = p_o->getBox();
    Vector corner = box.getCorner();
    corner.setXY(corner.getX() + where.getX(), corner.getY() + where.getY());
    box.setCorner(corner);
    return box;
}

Vector worldToView(const Vector& world_pos) {
    const Vector view_corner = WorldManager::getInstance().getView().getCorner();
    return Vector(world_pos.getX() - view_corner.getX(), world_pos.getY() - view_corner.getY());
}

Vector viewToWorld(const Vector& view_pos) {
    const Vector view_corner = WorldManager::getInstance().getView().getCorner();
    return Vector(view_pos.getX() + view_corner.getX(), view_pos.getY() + view_corner.getY());
}

Vector getNormal(const Object* p_moving, const Object* p_obstacle) {
    return getNormal(p_moving, getWorldBox(p_obstacle));
}

Vector getNormal(const Object* p_moving, const Box& obstacle) {
    const Vector velocity = p_moving->getVelocity();
    const Vector start = p_moving->getPosition();
    Vector last = start;

    // Bisect the move from start to start + velocity for the last place where
    // the mover does not yet touch the obstacle.
    float fraction = 0.5f;
    double step = 1.0;
    for (int pass = 1; pass <= NORMAL_BISECTION_PASSES; pass++) {
        step *= 0.5;
        const Vector probe(start.getX() + velocity.getX() * fraction,
                           start.getY() + velocity.getY() * fraction);
        if (boxIntersectsBox(getWorldBox(p_moving, probe), obstacle)) {
            fraction = fraction - static_cast<float>(step);
        } else {
            last = probe;
            fraction = fraction + static_cast<float>(step);
        }
    }

    const Box mover = getWorldBox(p_moving, last);
    const float width = obstacle.getHorizontal();
    const float height = obstacle.getVertical();
    const float x = obstacle.getCorner().getX();
    const float y = obstacle.getCorner().getY();
    struct Side {
        float x, y, normal_x, normal_y;
    };
    // The four sides are tried before the four corners.
    const Side sides[] = {
        {x, y - height, 0, -1},
        {x, y + height, 0, 1},
        {x - width, y, -1, 0},
        {x + width, y, 1, 0},
        // Corners: up-left, up-right, down-left, down-right.
        {x - width, y - height, -1, -1},
        {x + width, y - height, 1, -1},
        {x - width, y + height, -1, 1},
        {x + width, y + height, 1, 1},
    };
    for (const Side& side : sides) {
        if (boxIntersectsBox(mover, Box(Vector(side.x, side.y), width, height)))
            return Vector(side.normal_x, side.normal_y);
    }
    LogManager::getInstance().writeLog(1, "getNormal(): No collision detected. Returning (0,0).");
    return Vector(0, 0);
}

} // namespace vt
