#pragma once

#include "vintrel/core/Vector.h"
#include "vintrel/events/Event.h"
#include "vintrel/world/Tile.h"

namespace vt {

class Object;

/// Sent to a moving object whose box would meet a solid cell of the world's
/// tile map, one event per cell. A HARD object stays where it was; a SOFT
/// one moves on. Object-to-object collisions keep their EventCollision.
class EventTileCollision : public Event {
  public:
    /// A collision of the moving object (not owned) with the map cell
    /// (column, row) holding `tile`, at the position the object would reach.
    EventTileCollision(Object* p_object, int column, int row, const Tile& tile, const Vector& position);

    /// The object that was moving.
    [[nodiscard]] Object* getObject() const { return m_p_object; }
    /// The map column of the solid cell, which is also its world x.
    [[nodiscard]] int getColumn() const { return m_column; }
    /// The map row of the solid cell, which is also its world y.
    [[nodiscard]] int getRow() const { return m_row; }
    /// What the cell holds.
    [[nodiscard]] const Tile& getTile() const { return m_tile; }
    /// Where the object would stand after the move.
    [[nodiscard]] Vector getPosition() const { return m_position; }

  private:
    Object* m_p_object;
    int m_column;
    int m_row;
    Tile m_tile;
    Vector m_position;
};

} // namespace vt
