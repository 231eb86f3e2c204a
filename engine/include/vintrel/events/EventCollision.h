#pragma once

#include "vintrel/core/Vector.h"
#include "vintrel/events/Event.h"

namespace vt {

class Object;

/// Sent to both objects of a collision. The objects are alive during delivery.
class EventCollision : public Event {
  public:
    EventCollision();
    EventCollision(Object* p_o1, Object* p_o2, const Vector& position);

    /// The object that was moving.
    Object* getObject1() const { return m_p_obj1; }
    void setObject1(Object* p_o) { m_p_obj1 = p_o; }
    /// The object it ran into.
    Object* getObject2() const { return m_p_obj2; }
    void setObject2(Object* p_o) { m_p_obj2 = p_o; }
    /// Where object 1 would stand after the move.
    Vector getPosition() const { return m_position; }
    void setPosition(const Vector& position) { m_position = position; }

  private:
    Vector m_position;
    Object* m_p_obj1;
    Object* m_p_obj2;
};

} // namespace vt
