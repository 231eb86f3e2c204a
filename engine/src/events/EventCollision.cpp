#include "vintrel/events/EventCollision.h"

namespace vt {

EventCollision::EventCollision() : m_position(), m_p_obj1(nullptr), m_p_obj2(nullptr) {
    setType(EVENT_COLLISION);
}

EventCollision::EventCollision(Object* p_o1, Object* p_o2, const Vector& position)
    : m_position(position), m_p_obj1(p_o1), m_p_obj2(p_o2) {
    setType(EVENT_COLLISION);
}

} // namespace vt
