#pragma once

#include "vintrel/core/Vector.h"
#include "vintrel/events/Event.h"

namespace vt {

class Object;

/// Sent to both objects of a collision. The objects are alive during delivery.
class EventCollision : public Event {
  public:
    EventCollision();
    /// A collision of the moving object p_o1 with p_o2 (neither owned), at the position p_o1 would reach.
    EventCollision(Object* p_o1, Object* p_o2, const Vector& position);

    /// The object that was moving.
    Object* getObject1() const { return m_p_obj1; }
    /// Sets the object that was moving (not owned).
    void setObject1(Object* p_o) { m_p_obj1 = p_o; }
    /// The object it ran into.
    Object* getObject2() const { return m_p_obj2; }
    /// Sets the object it ran into (not owned).
    void setObject2(Object* p_o) { m_p_obj2 = p_o; }
    /// Where object 1 would stand after the move.
    Vector getPosition() const { return m_position; }
    /// Sets where object 1 would stand after the move.
    void setPosition(const Vector& position) { m_position = position; }

  private:
    Vector m_position;
    Object* m_p_obj1;
    Object* m_p_obj2;
};

} // namespace vt
