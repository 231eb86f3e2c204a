#include "vintrel/world/SceneGraph.h"

#include "vintrel/world/Object.h"

namespace vt {

SceneGraph::SceneGraph() = default;

int SceneGraph::startUp() { return 0; }

void SceneGraph::shutDown() {}

int SceneGraph::insertObject(Object* p_o) {
    return p_o->isActive() ? m_objects.insert(p_o) : m_inactive_objects.insert(p_o);
}

int SceneGraph::removeObject(Object* p_o) {
    return p_o->isActive() ? m_objects.remove(p_o) : m_inactive_objects.remove(p_o);
}

ObjectList SceneGraph::activeObjects() const { return m_objects; }

ObjectList SceneGraph::inactiveObjects() const { return m_inactive_objects; }

ObjectList SceneGraph::objectsOfType(const std::string&) { return ObjectList(); }

ObjectList SceneGraph::visibleObjects(int) const { return ObjectList(); }

ObjectList SceneGraph::getCollisions(const Object*, const Vector&) const { return ObjectList(); }

int SceneGraph::updateActive(Object* p_o, bool active) {
    if (p_o->isActive() == active)
        return 0;
    if (active) {
        m_inactive_objects.remove(p_o);
        return m_objects.insert(p_o);
    }
    m_objects.remove(p_o);
    return m_inactive_objects.insert(p_o);
}

int SceneGraph::updateVisible(Object*, bool) { return 0; }

int SceneGraph::updateAltitude(Object*, int) { return 0; }

int SceneGraph::updateSolidness(Object*, Solidness) { return 0; }

int SceneGraph::updateType(Object*, const std::string&) { return 0; }

int SceneGraph::updatePosition(Object*, const Vector&) { return 0; }

} // namespace vt
