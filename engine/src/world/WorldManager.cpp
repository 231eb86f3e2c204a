#include "vintrel/world/WorldManager.h"

#include <cmath>
#include <vector>

#include "vintrel/core/Geometry.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/events/EventCollision.h"
#include "vintrel/events/EventOut.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/EventTileCollision.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/Scene.h"
#include "vintrel/world/SceneManager.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldUtility.h"
#include "world/TimerQueue.h"

namespace vt {

namespace {

// Destructors may create objects while the world is being emptied. It takes
// them for this many rounds of deletion and up to this many in all, then
// refuses them, so that destructors that always create more cannot keep
// shut-down from ending.
constexpr int MAX_SHUTDOWN_ROUNDS = 100;
constexpr int MAX_SHUTDOWN_OBJECTS = 10000;

// Objects that destructors mark while a step's marked objects are deleted go
// in the same step, up to this many; a longer chain goes on in the next step.
constexpr int MAX_CHAINED_DELETIONS = 10000;

// How many objects ahead update() starts loading objects and grid cells.
constexpr int PREFETCH_AHEAD = 4;

// Starts loading every cache line of the object's own fields.
void prefetchObject(const Object* p_o) {
    const char* p_bytes = reinterpret_cast<const char*>(p_o);
    for (std::size_t offset = 0; offset < sizeof(Object); offset += 64)
        __builtin_prefetch(p_bytes + offset);
}

bool holdsHard(const ObjectList& list) {
    for (int i = 0; i < list.getCount(); i++)
        if (list[i]->getSolidness() == HARD)
            return true;
    return false;
}

bool listed(const ObjectList& list, const Object* p_o) {
    for (int i = 0; i < list.getCount(); i++)
        if (list[i] == p_o)
            return true;
    return false;
}

// The objects of a covered scene stand outside play: nothing meets them.
ObjectList withoutFrozen(const ObjectList& list) {
    bool any_frozen = false;
    for (int i = 0; i < list.getCount() && !any_frozen; i++)
        any_frozen = list[i]->isFrozen();
    if (!any_frozen)
        return list;
    ObjectList in_play;
    for (int i = 0; i < list.getCount(); i++)
        if (!list[i]->isFrozen())
            in_play.insert(list[i]);
    return in_play;
}

} // namespace

WorldManager::WorldManager()
    : m_deletions(IndexedObjectList::DELETION_LIST), m_shutting_down(false), m_shutdown_taken(0),
      m_shutdown_refused(0), m_deferred_deletions(false), m_p_view_following(nullptr),
      m_p_timers(std::make_unique<TimerQueue>()) {
    setType("WorldManager");
}

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
    if (event_type == EVENT_OUT || event_type == EVENT_COLLISION || event_type == EVENT_TILE_COLLISION) {
        LogManager::getInstance().writeLog("WorldManager::isValid(): Event %s handled automatically.",
                                           event_type.c_str());
        return false;
    }
    return true;
}

int WorldManager::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (refuseSecondStart())
        return -1;
    m_deletions.clear();
    m_deferred_deletions = false;
    m_boundary = Box(Vector(0, 0), 0, 0);
    m_view = Box(Vector(0, 0), 0, 0);
    DisplayManager::getInstance().setViewCorner(m_view.getCorner());
    m_view_slack = Vector(0, 0);
    m_p_view_following = nullptr;
    m_p_timers->clear();
    m_p_tile_map.reset();
    if (m_scene_graph.startUp() == -1) {
        log_manager.writeLog("WorldManager::startUp(): Error! Unable to startup Scenegraph");
        return -1;
    }
    if (!SceneManager::getInstance().isStarted())
        SceneManager::getInstance().startUp();
    Manager::startUp();
    log_manager.writeLog(5, "WorldManager::startUp(): successfully started.");
    return 0;
}

void WorldManager::shutDown() {
    LogManager& log_manager = LogManager::getInstance();
    // Scenes go first; their objects stay for the rounds below.
    if (SceneManager::getInstance().isStarted())
        SceneManager::getInstance().shutDown();
    // The world keeps taking objects that destructors create while it is
    // emptied, so that they are deleted too rather than leaked; once it stops
    // (insertObject), no object is added and the next round is the last.
    m_shutting_down = true;
    m_shutdown_taken = 0;
    m_shutdown_refused = 0;
    for (int round = 0; !m_owned.isEmpty(); round++) {
        if (round == MAX_SHUTDOWN_ROUNDS && isStarted())
            Manager::shutDown();
        deleteRound();
    }
    m_deletions.clear();
    if (isStarted())
        Manager::shutDown();
    if (m_shutdown_refused > 0)
        log_manager.writeLog("WorldManager::shutDown(): Warning! Destructors kept creating objects: %d "
                             "deleted, %d more refused and never deleted.",
                             m_shutdown_taken, m_shutdown_refused);
    m_shutting_down = false;
    m_p_view_following = nullptr;
    m_p_timers->clear();
    m_p_tile_map.reset();
    m_scene_graph.shutDown();
    log_manager.writeLog(5, "WorldManager::shutDown(): Successfully stopped.");
}

void WorldManager::deleteRound() {
    // Marked objects first, in marking order, then the active and the
    // inactive ones. Marks made meanwhile lead the next round.
    const ObjectList listed = m_deletions.toList() + getAllObjects(true);
    m_deletions.clear();
    bool deleted_any = false;
    for (int i = 0; i < listed.getCount(); i++) {
        if (m_owned.contains(listed[i])) {
            delete listed[i];
            deleted_any = true;
        }
    }
    if (deleted_any)
        return;
    // Objects held but missing from every list (a re-index that failed).
    const ObjectList strays = m_owned.toList();
    for (int i = 0; i < strays.getCount(); i++)
        if (m_owned.contains(strays[i]))
            delete strays[i];
}

int WorldManager::insertObject(Object* p_o) {
    if (m_shutting_down && isStarted() && m_shutdown_taken == MAX_SHUTDOWN_OBJECTS)
        Manager::shutDown();
    if (!isStarted()) {
        if (m_shutting_down)
            m_shutdown_refused++;
        LogManager& log_manager = LogManager::getInstance();
        log_manager.writeLog(2, "WorldManager::insertObject(): Warning! Not adding Object %d",
                             p_o ? p_o->getId() : -1);
        log_manager.writeLog(2, "                              because WorldManager not started.");
        return -1;
    }
    if (m_shutting_down)
        m_shutdown_taken++;
    if (p_o) {
        m_owned.insert(p_o);
        SceneManager::getInstance().adopt(p_o);
    }
    return m_scene_graph.insertObject(p_o);
}

int WorldManager::removeObject(Object* p_o) {
    // A deleted object must not stay owned, marked, followed or timed.
    if (p_o) {
        timersOf(p_o).cancelAll(p_o);
        SceneManager::getInstance().forget(p_o);
    }
    m_owned.remove(p_o);
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
    return withoutFrozen(m_scene_graph.getCollisions(p_o, where));
}

ObjectList WorldManager::getCollisions(const Object* p_o, const Vector& where, std::uint32_t layers) const {
    return withoutFrozen(m_scene_graph.getCollisions(p_o, where, layers));
}

SceneGraph& WorldManager::getSceneGraph() { return m_scene_graph; }

TileMap* WorldManager::setTileMap(std::unique_ptr<TileMap> p_map) {
    m_p_tile_map = std::move(p_map);
    return m_p_tile_map.get();
}

void WorldManager::removeTileMap() { m_p_tile_map.reset(); }

bool WorldManager::meetsSolidTile(const Object* p_o, const Vector& where) const {
    return m_p_tile_map && m_p_tile_map->anySolidIn(getWorldBox(p_o, where));
}

std::vector<WorldManager::TileHit> WorldManager::tileHits(const Object* p_o, const Vector& where) const {
    // Copies, so that handlers may change or remove the map while the events go out.
    std::vector<TileHit> hits;
    m_p_tile_map->forEachSolidIn(getWorldBox(p_o, where), [&](int column, int row) {
        hits.push_back(TileHit{column, row, m_p_tile_map->getTile(column, row)});
    });
    return hits;
}

int WorldManager::markForDelete(Object* p_o) {
    LogManager& log_manager = LogManager::getInstance();
    if (!p_o || !m_owned.contains(p_o)) {
        // Shut-down deletes objects in its own order, so a destructor may
        // well name one that is already gone; that is no fault of the game.
        static constexpr char message[] =
            "WorldManager::markForDelete(): Warning! Object %p is not in the world; not marked.";
        if (m_shutting_down)
            log_manager.writeLog(1, message, static_cast<void*>(p_o));
        else
            log_manager.writeLog(message, static_cast<void*>(p_o));
        return -1;
    }
    if (m_deletions.contains(p_o))
        return 0;
    if (m_deletions.insert(p_o) == -1) {
        log_manager.writeLog(
            "WorldManager::markForDelete(): Error! unable to add Object %p to deletions list",
            static_cast<void*>(p_o));
        return -1;
    }
    return 0;
}

void WorldManager::deleteMarked() {
    // Marked objects are deleted in marking order, and so are those that
    // their destructors mark meanwhile, queued behind them, up to a limit on
    // the latter. Each leaves the list as it is deleted (removeObject), and
    // marking refuses objects already deleted, so none is deleted twice.
    int marked_before = m_deletions.getCount();
    int chained = 0;
    const Grid& grid = m_scene_graph.getGrid();
    while (Object* p_o = m_deletions.first()) {
        // As in update(), the objects about to go and their grid cells are
        // loaded ahead.
        if (const Object* p_ahead = m_deletions.peek(3 * PREFETCH_AHEAD))
            prefetchObject(p_ahead);
        if (const Object* p_ahead = m_deletions.peek(2 * PREFETCH_AHEAD))
            grid.prefetch(p_ahead, p_ahead->getPosition(), false);
        if (const Object* p_ahead = m_deletions.peek(PREFETCH_AHEAD)) {
            grid.prefetch(p_ahead, p_ahead->getPosition(), true);
            m_owned.prefetch(p_ahead);
        }
        if (marked_before > 0) {
            marked_before--;
        } else if (chained++ == MAX_CHAINED_DELETIONS) {
            // Once per chain, not once per step.
            if (!m_deferred_deletions)
                LogManager::getInstance().writeLog(
                    "WorldManager::update(): Warning! Destructors marked more than %d objects in one step; "
                    "%d left for the next step.",
                    MAX_CHAINED_DELETIONS, m_deletions.getCount());
            m_deferred_deletions = true;
            return;
        }
        delete p_o;
    }
    m_deferred_deletions = false;
}

int WorldManager::moveObject(Object* p_o, const Vector& where) {
    if (!p_o)
        return -1;
    Vector target = where;

    if (p_o->getSolidness() != SPECTRAL) {
        ObjectList collisions = getCollisions(p_o, target);
        bool on_solid_tile = meetsSolidTile(p_o, target);

        if ((!collisions.isEmpty() || on_solid_tile) && p_o->getSolidness() == HARD &&
            p_o->getAvoidCollisions()) {
            const Object* p_obstacle = nullptr;
            for (int i = 0; i < collisions.getCount() && !p_obstacle; i++)
                if (collisions[i]->getSolidness() == HARD)
                    p_obstacle = collisions[i];
            Box obstacle;
            if (p_obstacle) {
                obstacle = getWorldBox(p_obstacle);
            } else if (on_solid_tile) {
                const TileHit first = tileHits(p_o, target).front();
                obstacle = TileMap::cellBox(first.column, first.row);
            }
            if (p_obstacle || on_solid_tile) {
                const Vector normal = getNormal(p_o, obstacle);
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
                if (holdsHard(slide_collisions) || meetsSolidTile(p_o, slide_target)) {
                    LogManager::getInstance().writeLog(5, "WorldManager::moveObject(): Double collision. "
                                                          "Object (avoid obstacles) cannot move.");
                    return -1;
                }
                collisions = slide_collisions;
                target = slide_target;
                on_solid_tile = false;
            }
        }

        if ((!collisions.isEmpty() || on_solid_tile) &&
            !reportCollisions(p_o, collisions, on_solid_tile, target))
            return -1;
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

bool WorldManager::reportCollisions(Object* p_o, const ObjectList& collisions, bool on_solid_tile,
                                    const Vector& target) {
    const std::vector<TileHit> hits = on_solid_tile ? tileHits(p_o, target) : std::vector<TileHit>();
    bool move = true;
    for (int i = 0; i < collisions.getCount(); i++) {
        Object* p_other = collisions[i];
        const EventCollision collision(p_o, p_other, target);
        m_collision_count++;
        p_o->eventHandler(&collision);
        p_other->eventHandler(&collision);
        if (p_o->getSolidness() == HARD && p_other->getSolidness() == HARD)
            move = false;
        if (p_o->getNoSoft() && p_other->getSolidness() == SOFT)
            move = false;
    }
    // Solid cells stand as HARD objects would: they stop HARD movers.
    for (const TileHit& hit : hits) {
        const EventTileCollision collision(p_o, hit.column, hit.row, hit.tile, target);
        p_o->eventHandler(&collision);
        if (p_o->getSolidness() == HARD)
            move = false;
    }
    return move;
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
    m_collision_count = 0;
    for (int i = 0; i < active.getCount(); i++) {
        // In a large world the objects and their grid cells are far apart in
        // memory: start loading them a few objects ahead.
        if (i + 3 * PREFETCH_AHEAD < active.getCount()) {
            // Its place, box and motion lie in its first two cache lines.
            const char* p_ahead = reinterpret_cast<const char*>(active[i + 3 * PREFETCH_AHEAD]);
            __builtin_prefetch(p_ahead);
            __builtin_prefetch(p_ahead + 64);
        }
        // Only objects that will move look at the grid.
        if (i + 2 * PREFETCH_AHEAD < active.getCount()) {
            const Object* p_next = active[i + 2 * PREFETCH_AHEAD];
            const Vector where = p_next->predictPosition();
            if (where != p_next->getPosition())
                grid.prefetch(p_next, where, false);
        }
        if (i + PREFETCH_AHEAD < active.getCount()) {
            const Object* p_next = active[i + PREFETCH_AHEAD];
            const Vector where = p_next->predictPosition();
            if (where != p_next->getPosition())
                grid.prefetch(p_next, where, true);
        }
        Object* p_o = active[i];
        if (p_o->isFrozen())
            continue;
        const Vector where = p_o->predictPosition();
        if (where != p_o->getPosition())
            moveObject(p_o, where);
        p_o->stepAlongPath();
        p_o->applyAcceleration();
    }
    // The step's safe point for scene changes: a scene that leaves has its
    // objects marked, and so deleted just below.
    SceneManager::getInstance().applyChanges();
    deleteMarked();
}

void WorldManager::draw() {
    for (int altitude = ALTITUDE_MIN; altitude <= ALTITUDE_MAX; altitude++) {
        if (m_p_tile_map && m_p_tile_map->getAltitude() == altitude)
            m_p_tile_map->draw(m_view);
        const ObjectList visible = m_scene_graph.visibleObjects(altitude);
        for (int i = 0; i < visible.getCount(); i++) {
            Object* p_o = visible[i];
            if (const Scene* p_scene = p_o->getScene(); p_scene && p_scene->isHidden())
                continue;
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

void WorldManager::setView(const Box& view) {
    m_view = view;
    DisplayManager::getInstance().setViewCorner(m_view.getCorner());
}

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
    DisplayManager::getInstance().setViewCorner(m_view.getCorner());
}

int WorldManager::setViewFollowing(Object* p_o) {
    if (!p_o) {
        m_p_view_following = nullptr;
        return 0;
    }
    if (!listed(getAllObjects(true), p_o)) {
        LogManager::getInstance().writeLog(
            "WorldManager::setViewFollowing(): Error! Object %d not in the world.", p_o->getId());
        return -1;
    }
    m_p_view_following = p_o;
    setViewPosition(p_o->getPosition());
    return 0;
}

TimerQueue& WorldManager::timersOf(const Object* p_o) const {
    Scene* p_scene = p_o->getScene();
    return p_scene ? p_scene->timers() : *m_p_timers;
}

int WorldManager::startTimer(Object* p_o, const std::string& name, int steps, TimerRepeat repeat) {
    LogManager& log_manager = LogManager::getInstance();
    if (!p_o || !m_owned.contains(p_o)) {
        log_manager.writeLog("WorldManager::startTimer(): Error! Object %p is not in the world; timer '%s' "
                             "not started.",
                             static_cast<void*>(p_o), clipForLog(name).c_str());
        return -1;
    }
    if (steps < 1 || name.empty() || (repeat != TIMER_ONCE && repeat != TIMER_REPEATING)) {
        log_manager.writeLog("WorldManager::startTimer(): Error! Timer '%s' of %d steps (repeat %d) refused "
                             "for Object %d: it needs a name, 1 step or more, TIMER_ONCE or TIMER_REPEATING.",
                             clipForLog(name).c_str(), steps, static_cast<int>(repeat), p_o->getId());
        return -1;
    }
    TimerQueue& timers = timersOf(p_o);
    if (timers.countOf(p_o) >= MAX_OBJECT_TIMERS && !timers.has(p_o, name)) {
        log_manager.writeLog("WorldManager::startTimer(): Error! Object %d (%s) has %d timers already; '%s' "
                             "not started.",
                             p_o->getId(), clipForLog(p_o->getType()).c_str(), MAX_OBJECT_TIMERS,
                             clipForLog(name).c_str());
        return -1;
    }
    timers.start(p_o, name, steps, repeat);
    return 0;
}

int WorldManager::cancelTimer(Object* p_o, const std::string& name) {
    if (p_o && m_owned.contains(p_o) && timersOf(p_o).cancel(p_o, name))
        return 0;
    // Cancelling a timer that has fired already is common and harmless.
    LogManager::getInstance().writeLog(1, "WorldManager::cancelTimer(): No timer '%s' for Object %p.",
                                       clipForLog(name).c_str(), static_cast<void*>(p_o));
    return -1;
}

int WorldManager::getTimerCount(const Object* p_o) const {
    return p_o && m_owned.contains(p_o) ? timersOf(p_o).countOf(p_o) : 0;
}

int WorldManager::getTimerCount() const {
    int count = m_p_timers->size();
    for (const std::unique_ptr<Scene>& p_scene : SceneManager::getInstance().m_stack)
        count += p_scene->timers().size();
    return count;
}

void WorldManager::fireTimers() {
    m_p_timers->advance();
    if (Scene* p_top = SceneManager::getInstance().getTopScene())
        p_top->timers().advance();
}

} // namespace vt
