#include "vintrel/world/WorldManager.h"

#include "vintrel/core/LogManager.h"
#include "vintrel/events/Event.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ObjectListIterator.h"

namespace vt {

WorldManager::WorldManager() : m_p_view_following(nullptr) { setType("WorldManager"); }

WorldManager::~WorldManager() = default;

WorldManager& WorldManager::getInstance() {
    static WorldManager world_manager;
    return world_manager;
}

bool WorldManager::isValid(const std::string& event_type) const {
    return event_type != EVENT_STEP && event_type != EVENT_KEYBOARD && event_type != EVENT_MOUSE &&
           event_type != EVENT_OUT && event_type != EVENT_COLLISION;
}

int WorldManager::startUp() {
    if (isStarted()) {
        LogManager::getInstance().writeLog("%s::startup(): Warning! %s already started.", getType().c_str(),
                                           getType().c_str());
        return -1;
    }
    m_deletions.clear();
    m_scene_graph.startUp();
    return Manager::startUp();
}

void WorldManager::shutDown() {
    Manager::shutDown();
    const ObjectList all = getAllObjects(true);
    ObjectListIterator li(&all);
    for (li.first(); !li.isDone(); li.next())
        delete li.currentObject();
    m_scene_graph.shutDown();
}

int WorldManager::insertObject(Object* p_o) {
    if (!isStarted())
        return -1;
    return m_scene_graph.insertObject(p_o);
}

int WorldManager::removeObject(Object* p_o) { return m_scene_graph.removeObject(p_o); }

ObjectList WorldManager::getAllObjects(bool inactive) const {
    if (inactive)
        return m_scene_graph.activeObjects() + m_scene_graph.inactiveObjects();
    return m_scene_graph.activeObjects();
}

ObjectList WorldManager::objectsOfType(const std::string& type) { return m_scene_graph.objectsOfType(type); }

ObjectList WorldManager::getCollisions(const Object* p_o, const Vector& where) const {
    return m_scene_graph.getCollisions(p_o, where);
}

SceneGraph& WorldManager::getSceneGraph() { return m_scene_graph; }

int WorldManager::markForDelete(Object* p_o) {
    ObjectListIterator li(&m_deletions);
    for (li.first(); !li.isDone(); li.next())
        if (li.currentObject() == p_o)
            return 0;
    return m_deletions.insert(p_o);
}

int WorldManager::moveObject(Object* p_o, const Vector& where) { return p_o->setPosition(where); }

void WorldManager::update() {
    for (int i = 0; i < m_deletions.getCount(); i++)
        delete m_deletions[i];
    m_deletions.clear();
}

void WorldManager::draw() {}

void WorldManager::setBoundary(const Box& boundary) { m_boundary = boundary; }

void WorldManager::setView(const Box& view) { m_view = view; }

void WorldManager::setViewSlack(const Vector& view_slack) { m_view_slack = view_slack; }

void WorldManager::setViewPosition(const Vector&) {}

int WorldManager::setViewFollowing(Object* p_o) {
    m_p_view_following = p_o;
    return 0;
}

} // namespace vt
