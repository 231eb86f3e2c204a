#include "vintrel/world/EventTileCollision.h"

namespace vt {

EventTileCollision::EventTileCollision(Object* p_object, int column, int row, const Tile& tile,
                                       const Vector& position)
    : m_p_object(p_object), m_column(column), m_row(row), m_tile(tile), m_position(position) {
    setType(EVENT_TILE_COLLISION);
}

} // namespace vt
