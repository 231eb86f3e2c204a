#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "vintrel/core/ObjectList.h"
#include "vintrel/core/Vector.h"
#include "vintrel/world/Grid.h"
#include "vintrel/world/IndexedObjectList.h"
#include "vintrel/world/Object.h"

namespace vt {

/// The world manager's index of all objects: active and inactive ones, the
/// solid ones (also by grid cell), the visible ones by altitude and all by
/// type. Setters of Object call the update operations here before they change
/// their own field, so the object still shows its old value during the call.
/// Every query returns a copy, so callers may change the world while iterating.
class SceneGraph {
  public:
    SceneGraph();

    /// Empties the type lists and builds the grid for the current boundary; 0 or -1.
    [[nodiscard]] int startUp();
    /// Forgets every object (the world manager has deleted them) and frees the grid.
    void shutDown();
    /// Builds the grid again for a new boundary, with the solid objects
    /// already in the world; 0 or -1 (then there is no grid).
    [[nodiscard]] int rebuildGrid();
    /// The game manager says whether the game is over: the world is then torn
    /// down, and index updates that find an object already gone stay quiet.
    void setGameOver(bool game_over) { m_game_over = game_over; }

    /// Indexes the object by its current state; 0 or -1.
    int insertObject(Object* p_o);
    /// Takes the object out of every index; 0 or -1.
    int removeObject(Object* p_o);

    /// Every active object.
    [[nodiscard]] ObjectList activeObjects() const;
    /// Every inactive object.
    [[nodiscard]] ObjectList inactiveObjects() const;
    /// Active, HARD or SOFT objects.
    [[nodiscard]] ObjectList solidObjects() const;
    /// Active objects of the type; an unknown type gets an empty entry.
    [[nodiscard]] ObjectList objectsOfType(const std::string& type);
    /// Active, visible objects of the altitude (ALTITUDE_MIN .. ALTITUDE_MAX).
    [[nodiscard]] ObjectList visibleObjects(int altitude) const;
    /// The solid objects the object would meet at `where`, from the grid.
    [[nodiscard]] ObjectList getCollisions(const Object* p_o, const Vector& where) const;
    /// As above, keeping only the objects on a layer in `layers`.
    [[nodiscard]] ObjectList getCollisions(const Object* p_o, const Vector& where,
                                           std::uint32_t layers) const;
    /// The grid of solid objects.
    [[nodiscard]] const Grid& getGrid() const { return m_grid; }

    /// Re-indexes for a change of activity; 0, or negative on failure.
    int updateActive(Object* p_o, bool active);
    /// Re-indexes for a change of visibility; 0 or -1.
    int updateVisible(Object* p_o, bool visible);
    /// Re-indexes for a change of altitude; 0 or -1.
    int updateAltitude(Object* p_o, int new_altitude);
    /// Re-indexes for a change of solidness; 0 or -1.
    int updateSolidness(Object* p_o, Solidness new_solidness);
    /// Re-indexes for a change of type; 0 or -1.
    int updateType(Object* p_o, const std::string& new_type);
    /// Re-indexes for a move, before the position changes; 0 or -1.
    int updatePosition(Object* p_o, const Vector& new_position);

  private:
    // The list of the type, made empty on first use.
    IndexedObjectList& typeList(const std::string& type);
    // Empties and forgets every type list.
    void clearTypeLists();
    // Takes the object out of every list that still holds it, whatever its
    // state says, so that no list outlives an object it held.
    void forget(Object* p_o);
    // An object being deactivated leaves the active lists and the grid and
    // joins the inactive list; 0, or negative when a list refused.
    int moveToInactive(Object* p_o);
    // The reverse of moveToInactive.
    int moveToActive(Object* p_o);
    // Logs that a list refused the change (unless the game is over, when the
    // teardown expects objects gone); returns -1.
    int activeListFailed(const char* action, const std::string& type, const char* list) const;

    IndexedObjectList m_objects;
    IndexedObjectList m_solid_objects;
    std::array<IndexedObjectList, ALTITUDE_MAX + 1> m_visible_objects;
    IndexedObjectList m_inactive_objects;
    std::map<std::string, IndexedObjectList> m_type_map;
    Grid m_grid;
    bool m_game_over = false;
};

} // namespace vt
