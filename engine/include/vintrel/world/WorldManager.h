#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vintrel/core/Box.h"
#include "vintrel/core/Manager.h"
#include "vintrel/core/ObjectList.h"
#include "vintrel/core/OrderedObjectSet.h"
#include "vintrel/core/Vector.h"
#include "vintrel/events/EventTimer.h"
#include "vintrel/world/IndexedObjectList.h"
#include "vintrel/world/SceneGraph.h"
#include "vintrel/world/Tile.h"

namespace vt {

class TileMap;
class TimerQueue;

/// Owns the game world: every object, the boundary and the view. Each step
/// it moves objects, resolves collisions and deletes the marked ones.
class WorldManager : public Manager {
  public:
    /// The one world manager, made on first use.
    static WorldManager& getInstance();

    /// False for the input and step events (other managers deliver them) and
    /// for collision and out events (sent without registration).
    bool isValid(const std::string& event_type) const override;
    ~WorldManager() override;
    /// Empties the world and builds the scene graph; 0 or -1.
    int startUp() override;
    /// Deletes every object, including objects that destructors create or
    /// mark, in bounded time: past a limit the world stops taking objects and
    /// logs how many it could not delete.
    void shutDown() override;

    /// Takes ownership of the object; -1 while the manager is not started.
    int insertObject(Object* p_o);
    /// Forgets the object (its destructor calls this); 0 or -1.
    int removeObject(Object* p_o);
    /// Active objects, followed by the inactive ones when asked.
    [[nodiscard]] ObjectList getAllObjects(bool inactive = false) const;
    /// Active objects whose type is exactly `type`.
    [[nodiscard]] ObjectList objectsOfType(const std::string& type);
    /// Solid objects the object's box would meet at `where` and that it
    /// collides with (see Object::setCollisionMask).
    [[nodiscard]] ObjectList getCollisions(const Object* p_o, const Vector& where) const;
    /// As above, keeping only the objects on a layer in `layers`: which
    /// enemies would this object meet there, say.
    [[nodiscard]] ObjectList getCollisions(const Object* p_o, const Vector& where,
                                           std::uint32_t layers) const;
    /// Lays the map over the world in place of any map before (deleted), and
    /// returns it; the world owns it until removeTileMap() or shut-down. Its
    /// solid cells stop HARD objects (EventTileCollision) from the next move
    /// on, whatever their collision layer and mask: a map has no layer. A map
    /// belongs to the world, not to a scene: it stays when scenes
    /// change, so a scene that brings one removes it when it leaves. Null
    /// removes the map.
    TileMap* setTileMap(std::unique_ptr<TileMap> p_map);
    /// The world's tile map (owned by the world), or null.
    [[nodiscard]] TileMap* getTileMap() const { return m_p_tile_map.get(); }
    /// Deletes the world's tile map, if any. Safe in any event handler.
    void removeTileMap();
    /// The index of every object, for queries by state, type or cell.
    SceneGraph& getSceneGraph();

    /// Deletes the object at the end of the current step; 0, or -1 for an
    /// object the world does not hold (null, unknown, already deleted, or
    /// created while the world was not taking objects).
    int markForDelete(Object* p_o);
    /// Moves the object, resolving collisions; 0, or -1 when the move was refused.
    int moveObject(Object* p_o, const Vector& where);
    /// One step: moves every active object, then deletes the marked ones.
    /// Objects that destructors mark are deleted in the same step, up to a
    /// limit; the rest are deleted at the end of the next step.
    void update();
    /// Draws the visible objects in the view, lowest altitude first; a
    /// visible tile map comes before the objects of its altitude.
    void draw();

    /// The world's extent, corner at (0, 0), in spaces.
    [[nodiscard]] Box getBoundary() const { return m_boundary; }
    /// Sets the extent and rebuilds the grid for it.
    void setBoundary(const Box& boundary);
    /// The part of the world shown in the window, in world spaces.
    [[nodiscard]] Box getView() const { return m_view; }
    /// Sets the part of the world shown, in world spaces.
    void setView(const Box& view);
    /// Fractions (0 to 1) of the view's width and height around its centre
    /// within which a followed object moves without moving the view.
    [[nodiscard]] Vector getViewSlack() const { return m_view_slack; }
    /// Sets the slack fractions, each 0 to 1.
    void setViewSlack(const Vector& view_slack);
    /// Centres the view on `where`, kept within the boundary.
    void setViewPosition(const Vector& where);
    /// Makes the view follow the object and centres it there; null stops
    /// following. -1 when the object is not in the world.
    int setViewFollowing(Object* p_o);
    /// The object the view follows, or null.
    [[nodiscard]] Object* getViewFollowing() const { return m_p_view_following; }

    /// Sends the object an EventTimer named `name` at the start of the step
    /// `steps` steps (1 or more) after this one, and every `steps` steps after
    /// that when repeating, until cancelled or the object is deleted. Starting
    /// a name the object already uses starts that timer again. 0, or -1 with a
    /// log line: object not in the world, steps below 1, empty name, or the
    /// object already has MAX_OBJECT_TIMERS timers.
    int startTimer(Object* p_o, const std::string& name, int steps, TimerRepeat repeat = TIMER_ONCE);
    /// Cancels the object's timer of that name; 0, or -1 when it has none.
    int cancelTimer(Object* p_o, const std::string& name);
    /// Number of timers the object has pending.
    [[nodiscard]] int getTimerCount(const Object* p_o) const;
    /// Number of timers pending in the world, in every scene included.
    [[nodiscard]] int getTimerCount() const;
    /// Collisions (pairs of objects told of meeting) in the last update().
    [[nodiscard]] int getCollisionCount() const { return m_collision_count; }
    /// Sends the timer events due in this step: to objects outside scenes
    /// first, then to those of the top scene (a covered scene's timers wait).
    /// The game loop calls it at the start of every step, before the step event.
    void fireTimers();

  private:
    WorldManager();
    // Deletes the marked objects, then those their destructors mark, up to a
    // limit on the latter.
    void deleteMarked();
    // Deletes every object the world holds; objects that destructors create
    // meanwhile are left for the next round.
    void deleteRound();
    // Moves the view so that the followed object stays within the slack.
    void followWithView(const Vector& position);
    // The timers of the object's group: its scene's, or those outside scenes.
    TimerQueue& timersOf(const Object* p_o) const;

    SceneGraph m_scene_graph;
    // Every object handed to the world and not yet deleted: shut-down deletes
    // each exactly once, even when a failed re-index left it listed twice.
    OrderedObjectSet m_owned;
    // In marking order.
    IndexedObjectList m_deletions;
    // Set while shutDown() empties the world.
    bool m_shutting_down;
    // Objects that destructors created during shutDown(), taken or refused.
    int m_shutdown_taken;
    int m_shutdown_refused;
    // Whether the last step left objects marked by destructors for the next.
    bool m_deferred_deletions;
    Object* m_p_view_following;
    int m_collision_count = 0;
    Box m_boundary;
    Box m_view;
    Vector m_view_slack;
    // Solid cells the object's box would meet at `where`, with their tiles.
    struct TileHit {
        int column;
        int row;
        Tile tile;
    };
    [[nodiscard]] std::vector<TileHit> tileHits(const Object* p_o, const Vector& where) const;
    [[nodiscard]] bool meetsSolidTile(const Object* p_o, const Vector& where) const;
    // Sends the collision event to the mover and each object it meets at the
    // target, and one to the mover for each solid cell it meets there; false
    // when one of them stops the move.
    bool reportCollisions(Object* p_o, const ObjectList& collisions, bool on_solid_tile,
                          const Vector& target);

    std::unique_ptr<TileMap> m_p_tile_map;
    // The timers of objects outside every scene.
    std::unique_ptr<TimerQueue> m_p_timers;
};

} // namespace vt
