#include "vintrel/world/SceneGraph.h"

#include "vintrel/core/LogManager.h"

namespace vt {

namespace {

bool altitudeInRange(int altitude) { return altitude >= ALTITUDE_MIN && altitude <= ALTITUDE_MAX; }

bool solid(Solidness solidness) { return solidness == HARD || solidness == SOFT; }

} // namespace

SceneGraph::SceneGraph()
    : m_objects(IndexedObjectList::ACTIVE_LIST), m_solid_objects(IndexedObjectList::SOLID_LIST),
      m_visible_objects{IndexedObjectList(IndexedObjectList::VISIBLE_LIST),
                        IndexedObjectList(IndexedObjectList::VISIBLE_LIST),
                        IndexedObjectList(IndexedObjectList::VISIBLE_LIST),
                        IndexedObjectList(IndexedObjectList::VISIBLE_LIST),
                        IndexedObjectList(IndexedObjectList::VISIBLE_LIST)},
      m_inactive_objects(IndexedObjectList::INACTIVE_LIST), m_type_map(), m_grid() {}

void SceneGraph::clearTypeLists() {
    for (auto& entry : m_type_map)
        entry.second.clear();
    m_type_map.clear();
}

IndexedObjectList& SceneGraph::typeList(const std::string& type) {
    return m_type_map.try_emplace(type, IndexedObjectList::TYPE_LIST).first->second;
}

void SceneGraph::forget(Object* p_o) {
    m_objects.remove(p_o);
    m_inactive_objects.remove(p_o);
    m_solid_objects.remove(p_o);
    if (IndexedObjectList::isListed(p_o, IndexedObjectList::VISIBLE_LIST))
        for (IndexedObjectList& list : m_visible_objects)
            list.remove(p_o);
    if (IndexedObjectList::isListed(p_o, IndexedObjectList::TYPE_LIST))
        for (auto& entry : m_type_map)
            entry.second.remove(p_o);
}

int SceneGraph::startUp() {
    clearTypeLists();
    LogManager::getInstance().writeLog(1, "Scenegraph configuration: GRID");
    return m_grid.startUp();
}

int SceneGraph::rebuildGrid() {
    m_grid.shutDown();
    if (m_grid.startUp() == -1)
        return -1;
    const ObjectList solid = m_solid_objects.toList();
    for (int i = 0; i < solid.getCount(); i++)
        m_grid.insertObject(solid[i]);
    return 0;
}

void SceneGraph::shutDown() {
    // The world manager has deleted every object it held, each leaving every
    // list; whatever is left is let go.
    m_objects.clear();
    m_solid_objects.clear();
    for (IndexedObjectList& list : m_visible_objects)
        list.clear();
    m_inactive_objects.clear();
    clearTypeLists();
    m_grid.shutDown();
}

int SceneGraph::insertObject(Object* p_o) {
    LogManager& log_manager = LogManager::getInstance();
    if (!p_o) {
        log_manager.writeLog("SceneGraph::insertObject(): Error! Object is NULL");
        return -1;
    }
    if (!p_o->isActive())
        return m_inactive_objects.insert(p_o);

    if (m_objects.insert(p_o) == -1) {
        log_manager.writeLog("SceneGraph::insertObject(): Error! unable to insert active Object (id %d)",
                             p_o->getId());
        return -1;
    }
    if (typeList(p_o->getType()).insert(p_o) == -1) {
        log_manager.writeLog(
            "SceneGraph::insertObject(): Error! unable to insert Object (id %d) into type map", p_o->getId());
        return -1;
    }
    if (p_o->isSolid()) {
        if (m_solid_objects.insert(p_o) == -1) {
            log_manager.writeLog("SceneGraph::insertObject(): Error! unable to insert solid Object (id %d)",
                                 p_o->getId());
            return -1;
        }
        if (m_grid.insertObject(p_o) == -1) {
            log_manager.writeLog("SceneGraph::insertObject(): Error! unable to add to Grid (id %d)",
                                 p_o->getId());
            return -1;
        }
    }
    if (p_o->isVisible()) {
        const int altitude = p_o->getAltitude();
        if (!altitudeInRange(altitude)) {
            log_manager.writeLog("SceneGraph::insertObject(): Warning! Altitude %d not in range [%d,%d]",
                                 altitude, ALTITUDE_MIN, ALTITUDE_MAX);
            return -1;
        }
        if (m_visible_objects[static_cast<std::size_t>(altitude)].insert(p_o) == -1) {
            log_manager.writeLog("SceneGraph::insertObject(): Error! unable to insert visible object (id %d)",
                                 p_o->getId());
            return -1;
        }
    }
    return 0;
}

int SceneGraph::removeObject(Object* p_o) {
    if (!p_o) {
        LogManager::getInstance().writeLog("SceneGraph::removeObject(): Error! Object is NULL");
        return -1;
    }
    // Every removal is attempted, even after one has failed.
    int sum = 0;
    if (!p_o->isActive()) {
        sum += m_inactive_objects.remove(p_o);
    } else {
        sum += m_objects.remove(p_o);
        sum += typeList(p_o->getType()).remove(p_o);
        if (p_o->isVisible()) {
            const int altitude = p_o->getAltitude();
            if (altitudeInRange(altitude))
                sum += m_visible_objects[static_cast<std::size_t>(altitude)].remove(p_o);
            else
                sum += -1;
        }
        if (p_o->isSolid()) {
            sum += m_solid_objects.remove(p_o);
            sum += m_grid.removeObject(p_o);
        }
    }
    // Lists its state does not account for (a re-index that failed) let go too.
    forget(p_o);
    if (sum < 0) {
        LogManager::getInstance().writeLog(
            "SceneGraph::removeObject(): Error removing Object (id %d)! Pointer is %p.", p_o->getId(),
            static_cast<void*>(p_o));
        return -1;
    }
    return 0;
}

ObjectList SceneGraph::activeObjects() const { return m_objects.toList(); }

ObjectList SceneGraph::inactiveObjects() const { return m_inactive_objects.toList(); }

ObjectList SceneGraph::solidObjects() const { return m_solid_objects.toList(); }

ObjectList SceneGraph::objectsOfType(const std::string& type) { return typeList(type).toList(); }

ObjectList SceneGraph::visibleObjects(int altitude) const {
    if (!altitudeInRange(altitude)) {
        LogManager::getInstance().writeLog(
            "SceneGraph::visibleObjects(): Warning! altitude %d not in [%d,%d].", altitude, ALTITUDE_MIN,
            ALTITUDE_MAX);
        return ObjectList();
    }
    return m_visible_objects[static_cast<std::size_t>(altitude)].toList();
}

ObjectList SceneGraph::getCollisions(const Object* p_o, const Vector& where) const {
    return m_grid.getCollisions(p_o, where);
}

ObjectList SceneGraph::getCollisions(const Object* p_o, const Vector& where, std::uint32_t layers) const {
    return m_grid.getCollisions(p_o, where, layers);
}

int SceneGraph::updateActive(Object* p_o, bool active) {
    if (p_o->isActive() == active)
        return 0;
    return active ? moveToActive(p_o) : moveToInactive(p_o);
}

int SceneGraph::moveToInactive(Object* p_o) {
    const std::string type = p_o->getType();
    const int altitude = p_o->getAltitude();
    const bool listed_visible = p_o->isVisible() && altitudeInRange(altitude);
    int result = 0;
    if (m_objects.remove(p_o) == -1)
        result = activeListFailed("remove object", type, "objects");
    result += typeList(type).remove(p_o);
    if (p_o->isVisible() &&
        (!listed_visible || m_visible_objects[static_cast<std::size_t>(altitude)].remove(p_o) == -1))
        result = activeListFailed("remove visible object", type, "visible_objects");
    if (p_o->isSolid()) {
        if (m_solid_objects.remove(p_o) == -1)
            result = activeListFailed("remove object", type, "solid_objects");
        if (m_grid.removeObject(p_o) == -1)
            return -1;
    }
    if (m_inactive_objects.insert(p_o) == -1)
        result = activeListFailed("insert object", type, "inactive_objects");
    return result;
}

int SceneGraph::moveToActive(Object* p_o) {
    const std::string type = p_o->getType();
    const int altitude = p_o->getAltitude();
    const bool listed_visible = p_o->isVisible() && altitudeInRange(altitude);
    int result = 0;
    if (m_objects.insert(p_o) == -1)
        result = activeListFailed("insert Object", type, "objects");
    if (typeList(type).insert(p_o) == -1) {
        LogManager::getInstance().writeLog(
            "SceneGraph::updateActive(): Error! insert Object (%s) failed for type map!", type.c_str());
        return -1;
    }
    if (p_o->isVisible() &&
        (!listed_visible || m_visible_objects[static_cast<std::size_t>(altitude)].insert(p_o) == -1))
        result = activeListFailed("insert Object", type, "visible_objects");
    if (p_o->isSolid()) {
        if (m_solid_objects.insert(p_o) == -1)
            result = activeListFailed("insert object", type, "solid_objects");
        // The grid skips inactive objects on removal, not on insertion.
        if (m_grid.insertObject(p_o) == -1)
            return -1;
    }
    if (m_inactive_objects.remove(p_o) == -1)
        result = activeListFailed("remove object", type, "inactive_objects");
    return result;
}

int SceneGraph::activeListFailed(const char* action, const std::string& type, const char* list) const {
    if (!m_game_over)
        LogManager::getInstance().writeLog("SceneGraph::updateActive(): %s (%s) failed for %s!", action,
                                           type.c_str(), list);
    return -1;
}

int SceneGraph::updateVisible(Object* p_o, bool visible) {
    if (!p_o->isActive() || p_o->isVisible() == visible)
        return 0;
    const int altitude = p_o->getAltitude();
    const std::string type = p_o->getType();
    if (p_o->isVisible()) {
        if ((altitudeInRange(altitude) &&
             m_visible_objects[static_cast<std::size_t>(altitude)].remove(p_o) == 0) ||
            m_game_over)
            return 0;
        LogManager::getInstance().writeLog(
            "SceneGraph::updateVisible(): unable to remove visible object (%s)", type.c_str());
        return -1;
    }
    if ((altitudeInRange(altitude) &&
         m_visible_objects[static_cast<std::size_t>(altitude)].insert(p_o) == 0) ||
        m_game_over)
        return 0;
    LogManager::getInstance().writeLog("SceneGraph::updateVisible(): unable to add visible object (%s)",
                                       type.c_str());
    return -1;
}

int SceneGraph::updateAltitude(Object* p_o, int new_altitude) {
    if (!p_o->isActive())
        return 0;
    LogManager& log_manager = LogManager::getInstance();
    if (!altitudeInRange(new_altitude)) {
        log_manager.writeLog("SceneGraph::updateAltitude(): New altitude %d not in [%d,%d]!  No update.",
                             new_altitude, ALTITUDE_MIN, ALTITUDE_MAX);
        return -1;
    }
    const int old_altitude = p_o->getAltitude();
    if (!altitudeInRange(old_altitude)) {
        log_manager.writeLog(
            "SceneGraph::updateAltitude(): Old altitude %d not in [%d,%d]! This is unxepected. No update.",
            old_altitude, ALTITUDE_MIN, ALTITUDE_MAX);
        return -1;
    }
    if (!p_o->isVisible())
        return 0;
    if (m_visible_objects[static_cast<std::size_t>(old_altitude)].remove(p_o) == -1 && !m_game_over) {
        log_manager.writeLog("SceneGraph::updateAltitude(): remove from old altitude (%d) failed!",
                             old_altitude);
        log_manager.writeLog("\tObject: type %s, id %d, p %p", p_o->getType().c_str(), p_o->getId(),
                             static_cast<void*>(p_o));
        return -1;
    }
    if (m_visible_objects[static_cast<std::size_t>(new_altitude)].insert(p_o) == -1) {
        log_manager.writeLog("SceneGraph::updateAltitude()): insert visible object at altitude %d failed!",
                             new_altitude);
        return -1;
    }
    return 0;
}

int SceneGraph::updateSolidness(Object* p_o, Solidness new_solidness) {
    if (!p_o->isActive())
        return 0;
    LogManager& log_manager = LogManager::getInstance();
    if (p_o->isSolid() && !solid(new_solidness)) {
        if (m_solid_objects.remove(p_o) == -1 && !m_game_over)
            log_manager.writeLog("SceneGraph::updateSolidness(): unable to remove solid object (%s)",
                                 p_o->getType().c_str());
        if (m_grid.removeObject(p_o) == -1)
            return -1;
        return 0;
    }
    if (p_o->isSolid() || !solid(new_solidness))
        return 0;
    if (m_solid_objects.insert(p_o) == -1 && !m_game_over) {
        log_manager.writeLog("SceneGraph::updateSolidness(): Error! unable to insert solid object");
        return -1;
    }
    log_manager.writeLog(20, "SceneGraph::updateSolidness(): Adding to grid.");
    if (m_grid.insertObject(p_o) == -1) {
        log_manager.writeLog(
            "SceneGraph::updateSolidness(): Error! unable to insert solid object (%d) into grid",
            p_o->getId());
        return -1;
    }
    return 0;
}

int SceneGraph::updateType(Object* p_o, const std::string& new_type) {
    LogManager& log_manager = LogManager::getInstance();
    if (typeList(p_o->getType()).remove(p_o) == -1 && !m_game_over) {
        log_manager.writeLog("SceneGraph::updateType(): Error! Unable to remove Object (%d) type %s",
                             p_o->getId(), p_o->getType().c_str());
        return -1;
    }
    // Type lists hold active objects only; an inactive one is listed again
    // under its current type when it is activated.
    if (!p_o->isActive())
        return 0;
    if (typeList(new_type).insert(p_o) == -1 && !m_game_over) {
        log_manager.writeLog("SceneGraph::updateType(): Error! Unable to insert Object (%d) type %s",
                             p_o->getId(), p_o->getType().c_str());
        return -1;
    }
    return 0;
}

int SceneGraph::updatePosition(Object* p_o, const Vector& new_position) {
    if (!p_o->isActive() || !p_o->isSolid())
        return 0;
    if (m_grid.updatePosition(p_o, new_position) == -1) {
        LogManager::getInstance().writeLog(
            "SceneGraph::updatePosition(): Error! Calling grid updatePosition (Object %d).", p_o->getId());
        return -1;
    }
    return 0;
}

} // namespace vt
