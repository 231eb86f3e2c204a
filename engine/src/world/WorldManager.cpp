#include "vintrel/world/WorldManager.h"

#include <cmath>
#include <vector>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/events/EventCollision.h"
#include "vintrel/events/EventOut.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"

namespace vt {

namespace {

// Destructors may create objects while the world is being emptied; after this
// many rounds of deletion the world stops taking new objects.
constexpr int MAX_SHUTDOWN_ROUNDS = 100;

// How many objects ahead update() starts loading objects and grid cells.
constexpr int PREFETCH_AHEAD = 4;

bool holdsHard(const ObjectList& list) {
    for (int i = 0; i < list.getCount(); i++)
        if (list[i]->getSolidness() == HARD)
            return true;
    return false;
}

bool contains(const ObjectList& list, const Object* p_o) {
    for (int i = 0; i < list.getCount(); i++)
        if (list[i] == p_o)
            return true;
    return false;
}

} // namespace

WorldManager::WorldManager() : m_p_view_following(nullptr) { setType("WorldManager"); }

WorldManager::~WorldManager() = default;

WorldManager& WorldManager::getInstance() {
    static WorldManager world_manager;
    return world_manager;
}

bool WorldManager::isValid(const std::string& event_type) const {
    if (event_type == EVENT_KEYBOARD || event_type == EVENT_MOUSE || event_type == EVENT_STEP) {
        LogManager::getInstance().writeLog("WorldManager::isValid(): WorldManager does not handle %s",
                                           event_type.c_str());
        return false;
    }
    if (event_type == EVENT_OUT || event_type == EVENT_COLLISION) {
        LogManager::getInstance().writeLog("WorldManager::isValid(): Event %s handled automatically.",
                                           event_type.c_str());
        return false;
    }
    return true;
}

int WorldManager::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (isStarted()) {
        log_manager.writeLog("%s::startup(): Warning! %s already started.", getType().c_str(),
                             getType().c_str());
        return -1;
    }
    m_deletions.clear();
    m_boundary = Box(Vector(0, 0), 0, 0);
    m_view = Box(Vector(0, 0), 0, 0);
    m_view_slack = Vector(0, 0);
    m_p_view_following = nullptr;
    if (m_scene_graph.startUp() == -1) {
        log_manager.writeLog("WorldManager::startUp(): Error! Unable to startup Scenegraph");
        return -1;
    }
    Manager::startUp();
    log_manager.writeLog(5, "WorldManager::startUp(): successfully started.");
    return 0;
}

void WorldManager::shutDown() {
    // The world keeps taking objects while it is emptied, so that objects
    // created by destructors are owned and deleted too rather than leaked.
    for (int round = 0; !m_owned.empty() || !m_deletions.isEmpty(); round++) {
        if (round == MAX_SHUTDOWN_ROUNDS && isStarted()) {
            LogManager::getInstance().writeLog(
                "WorldManager::shutDown(): Warning! Destructors still creating objects after %d rounds.",
                round);
            Manager::shutDown();
        }
        deleteMarked();
        const ObjectList all = getAllObjects(true);
        bool deleted_any = false;
        for (int i = 0; i < all.getCount(); i++) {
            if (m_owned.count(all[i]) != 0) {
                delete all[i];
                deleted_any = true;
            }
        }
        // Owned objects missing from both lists (a re-index that failed).
        if (!deleted_any) {
            const std::vector<Object*> strays(m_owned.begin(), m_owned.end());
            for (Object* p_o : strays)
                if (m_owned.count(p_o) != 0)
                    delete p_o;
        }
    }
    if (isStarted())
        Manager::shutDown();
    m_p_view_following = nullptr;
    m_scene_graph.shutDown();
    LogManager::getInstance().writeLog(5, "WorldManager::shutDown(): Successfully stopped.");
}

int WorldManager::insertObject(Object* p_o) {
    if (!isStarted()) {
        LogManager& log_manager = LogManager::getInstance();
        log_manager.writeLog(2, "WorldManager::insertObject(): Warning! Not adding Object %d",
                             p_o ? p_o->getId() : -1);
        log_manager.writeLog(2, "                              because WorldManager not started.");
        return -1;
    }
    if (p_o)
        m_owned.insert(p_o);
    return m_scene_graph.insertObject(p_o);
}

int WorldManager::removeObject(Object* p_o) {
    // A deleted object must not stay owned, marked or followed.
    m_owned.erase(p_o);
    m_deletions.remove(p_o);
    if (p_o && p_o == m_p_view_following)
        m_p_view_following = nullptr;
    return m_scene_graph.removeObject(p_o);
}

ObjectList WorldManager::getAllObjects(bool inactive) const {
    if (inactive)
        return m_scene_graph.activeObjects() + m_scene_graph.inactiveObjects();
    return m_scene_graph.activeObjects();
}

ObjectList WorldManager::objectsOfType(const std::string& type) { return m_scene_graph.objectsOfType(type); }

ObjectList WorldManager::getCollisions(const Object* p_o, const Vector& where) const {
    return m_scene_graph.getCollisions(p_o, where);
}

SceneGraph& WorldManager::getSceneGraph() { return m_scene_graph; }

int WorldManager::markForDelete(Object* p_o) {
    if (contains(m_deletions, p_o))
        return 0;
    if (m_deletions.insert(p_o) == -1) {
        LogManager::getInstance().writeLog(
            "WorldManager::markForDelete(): Error! unable to add Object %p to deletions list",
            static_cast<void*>(p_o));
        return -1;
    }
    return 0;
}

void WorldManager::deleteMarked() {
    // Objects marked by the destructors of a batch form the next batch, in
    // marking order. A deleted object leaves m_deletions (removeObject), so
    // an object of the running batch marked again is not deleted twice.
    while (!m_deletions.isEmpty()) {
        const ObjectList batch = m_deletions;
        m_deletions.clear();
        for (int i = 0; i < batch.getCount(); i++)
            delete batch[i];
    }
}

int WorldManager::moveObject(Object* p_o, const Vector& where) {
    if (!p_o)
        return -1;
    Vector target = where;

    if (p_o->getSolidness() != SPECTRAL) {
        ObjectList collisions = getCollisions(p_o, target);

        if (!collisions.isEmpty() && p_o->getSolidness() == HARD && p_o->getAvoidCollisions()) {
            Object* p_obstacle = nullptr;
            for (int i = 0; i < collisions.getCount() && !p_obstacle; i++)
                if (collisions[i]->getSolidness() == HARD)
                    p_obstacle = collisions[i];
            if (p_obstacle) {
                const Vector normal = getNormal(p_o, p_obstacle);
                const Vector direction = p_o->getDirection();
                const float nx = std::fabs(normal.getX());
                const float ny = std::fabs(normal.getY());
                // Against a vertical face only the vertical motion is kept and
                // the reverse; at a corner the object turns back horizontally.
                Vector slide(direction.getX() * ny, direction.getY() * nx);
                if (nx == 1.0f && ny == 1.0f)
                    slide.setX(-direction.getX());
                slide.normalize();
                slide.scale(p_o->getSpeed());
                const Vector slide_target = p_o->getPosition() + slide;
                ObjectList slide_collisions = getCollisions(p_o, slide_target);
                if (holdsHard(slide_collisions)) {
                    LogManager::getInstance().writeLog(5, "WorldManager::moveObject(): Double collision. "
                                                          "Object (avoid obstacles) cannot move.");
                    return -1;
                }
                collisions = slide_collisions;
                target = slide_target;
            }
        }

        if (!collisions.isEmpty()) {
            bool move = true;
            for (int i = 0; i < collisions.getCount(); i++) {
                Object* p_other = collisions[i];
                const EventCollision collision(p_o, p_other, target);
                p_o->eventHandler(&collision);
                p_other->eventHandler(&collision);
                if (p_o->getSolidness() == HARD && p_other->getSolidness() == HARD)
                    move = false;
                if (p_o->getNoSoft() && p_other->getSolidness() == SOFT)
                    move = false;
            }
            if (!move)
                return -1;
        }
    }

    const Box old_box = getWorldBox(p_o);
    p_o->setPosition(target);
    const Box new_box = getWorldBox(p_o);

    if (boxIntersectsBox(old_box, m_boundary) && !boxIntersectsBox(new_box, m_boundary)) {
        const EventOut out;
        p_o->eventHandler(&out);
    }

    if (p_o == m_p_view_following)
        followWithView(p_o->getPosition());
    return 0;
}

void WorldManager::followWithView(const Vector& position) {
    const float width = m_view.getHorizontal();
    const float height = m_view.getVertical();
    float centre_x = m_view.getCorner().getX() + width * 0.5f;
    float centre_y = m_view.getCorner().getY() + height * 0.5f;

    const float left = centre_x - width * m_view_slack.getX() * 0.5f;
    const float right = centre_x + width * m_view_slack.getX() * 0.5f;
    if (left > position.getX())
        centre_x -= left - position.getX();
    else if (position.getX() > right)
        centre_x += position.getX() - right;

    const float top = centre_y - height * m_view_slack.getY() * 0.5f;
    const float bottom = centre_y + height * m_view_slack.getY() * 0.5f;
    if (top > position.getY())
        centre_y -= top - position.getY();
    else if (position.getY() > bottom)
        centre_y += position.getY() - bottom;

    setViewPosition(Vector(centre_x, centre_y));
}

void WorldManager::update() {
    // Handlers may create, mark and re-index objects while the step goes on;
    // the step walks the objects that were active when it began.
    const ObjectList active = m_scene_graph.activeObjects();
    const Grid& grid = m_scene_graph.getGrid();
    for (int i = 0; i < active.getCount(); i++) {
        // In a large world the objects and their grid cells are far apart in
        // memory: start loading them a few objects ahead.
        if (i + 3 * PREFETCH_AHEAD < active.getCount()) {
            // Its place, box and motion lie in its first two cache lines.
            const char* p_ahead = reinterpret_cast<const char*>(active[i + 3 * PREFETCH_AHEAD]);
            __builtin_prefetch(p_ahead);
            __builtin_prefetch(p_ahead + 64);
        }
        if (i + 2 * PREFETCH_AHEAD < active.getCount()) {
            const Object* p_next = active[i + 2 * PREFETCH_AHEAD];
            grid.prefetch(p_next, p_next->predictPosition(), false);
        }
        if (i + PREFETCH_AHEAD < active.getCount()) {
            const Object* p_next = active[i + PREFETCH_AHEAD];
            grid.prefetch(p_next, p_next->predictPosition(), true);
        }
        Object* p_o = active[i];
        const Vector where = p_o->predictPosition();
        if (where != p_o->getPosition())
            moveObject(p_o, where);
        p_o->stepAlongPath();
        p_o->applyAcceleration();
    }
    deleteMarked();
}

void WorldManager::draw() {
    for (int altitude = ALTITUDE_MIN; altitude <= ALTITUDE_MAX; altitude++) {
        const ObjectList visible = m_scene_graph.visibleObjects(altitude);
        for (int i = 0; i < visible.getCount(); i++) {
            Object* p_o = visible[i];
            // View objects sit on the screen, not in the world, so they are always drawn.
            if (boxIntersectsBox(getWorldBox(p_o), m_view) || dynamic_cast<const ViewObject*>(p_o))
                p_o->draw();
        }
    }
}

void WorldManager::setBoundary(const Box& boundary) {
    if (boundary == m_boundary)
        return;
    const Box previous = m_boundary;
    m_boundary = boundary;
    // Before start-up the grid is built when the manager starts.
    if (!isStarted() || m_scene_graph.rebuildGrid() == 0)
        return;
    LogManager::getInstance().writeLog("WorldManager::setBoundary(): Error! Boundary %s refused; keeping %s.",
                                       boundary.toString().c_str(), previous.toString().c_str());
    m_boundary = previous;
    if (m_scene_graph.rebuildGrid() == -1)
        LogManager::getInstance().writeLog("WorldManager::setBoundary(): Error! Unable to rebuild the grid.");
}

void WorldManager::setView(const Box& view) { m_view = view; }

void WorldManager::setViewSlack(const Vector& view_slack) {
    if (view_slack.getX() < 0 || view_slack.getX() > 1 || view_slack.getY() < 0 || view_slack.getY() > 1)
        LogManager::getInstance().writeLog(
            "WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]");
    m_view_slack = view_slack;
}

void WorldManager::setViewPosition(const Vector& where) {
    const float width = m_view.getHorizontal();
    const float height = m_view.getVertical();
    float x = where.getX() - width * 0.5f;
    if (width + x > m_boundary.getHorizontal())
        x = m_boundary.getHorizontal() - width;
    float y = where.getY() - height * 0.5f;
    if (height + y > m_boundary.getVertical())
        y = m_boundary.getVertical() - height;
    // Written so that a position that is not a number gives the corner 0.
    if (!(x > 0))
        x = 0;
    if (!(y > 0))
        y = 0;
    m_view.setCorner(Vector(x, y));
}

int WorldManager::setViewFollowing(Object* p_o) {
    if (!p_o) {
        m_p_view_following = nullptr;
        return 0;
    }
    if (!contains(getAllObjects(true), p_o)) {
        LogManager::getInstance().writeLog(
            "WorldManager::setViewFollowing(): Error! Object %d not in the world.", p_o->getId());
        return -1;
    }
    m_p_view_following = p_o;
    setViewPosition(p_o->getPosition());
    return 0;
}

} // namespace vt
