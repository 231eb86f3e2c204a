#pragma once

#include <string>

#include "vintrel/world/ObjectList.h"
#include "vintrel/world/Vector.h"

namespace vt {

class Object;
enum Solidness : int;

/// The world manager's index of all objects. Setters of Object call the
/// update operations here before they change their own field.
class SceneGraph {
public:
    SceneGraph();

    int startUp();
    void shutDown();

    int insertObject(Object* p_o);
    int removeObject(Object* p_o);

    ObjectList activeObjects() const;
    ObjectList inactiveObjects() const;
    ObjectList objectsOfType(const std::string& type);
    ObjectList visibleObjects(int altitude) const;
    ObjectList getCollisions(const Object* p_o, const Vector& where) const;

    int updateActive(Object* p_o, bool active);
    int updateVisible(Object* p_o, bool visible);
    int updateAltitude(Object* p_o, int new_altitude);
    int updateSolidness(Object* p_o, Solidness new_solidness);
    int updateType(Object* p_o, const std::string& new_type);
    int updatePosition(Object* p_o, const Vector& new_position);

private:
    ObjectList m_objects;
    ObjectList m_inactive_objects;
};

} // namespace vt
