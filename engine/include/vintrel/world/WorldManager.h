#pragma once

#include <string>

#include "vintrel/core/Manager.h"
#include "vintrel/world/Box.h"
#include "vintrel/world/ObjectList.h"
#include "vintrel/world/SceneGraph.h"
#include "vintrel/world/Vector.h"

namespace vt {

/// Owns the game world: every object, the boundary and the view. Each step
/// it moves objects, resolves collisions and deletes the marked ones.
class WorldManager : public Manager {
public:
    static WorldManager& getInstance();

    bool isValid(const std::string& event_type) const override;
    ~WorldManager() override;
    int startUp() override;
    /// Deletes every object.
    void shutDown() override;

    int insertObject(Object* p_o);
    int removeObject(Object* p_o);
    /// Active objects, followed by the inactive ones when asked.
    ObjectList getAllObjects(bool inactive = false) const;
    ObjectList objectsOfType(const std::string& type);
    ObjectList getCollisions(const Object* p_o, const Vector& where) const;
    SceneGraph& getSceneGraph();

    /// Deletes the object at the end of the current step; 0 or -1.
    int markForDelete(Object* p_o);
    /// Moves the object, resolving collisions; 0, or -1 when the move was refused.
    int moveObject(Object* p_o, const Vector& where);
    void update();
    void draw();

    Box getBoundary() const { return m_boundary; }
    void setBoundary(const Box& boundary);
    Box getView() const { return m_view; }
    void setView(const Box& view);
    Vector getViewSlack() const { return m_view_slack; }
    void setViewSlack(const Vector& view_slack);
    void setViewPosition(const Vector& where);
    /// The object the view follows, or null.
    int setViewFollowing(Object* p_o);
    Object* getViewFollowing() const { return m_p_view_following; }

private:
    WorldManager();

    SceneGraph m_scene_graph;
    ObjectList m_deletions;
    Object* m_p_view_following;
    Box m_boundary;
    Box m_view;
    Vector m_view_slack;
};

} // namespace vt
