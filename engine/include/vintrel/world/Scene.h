#pragma once

#include <memory>
#include <string>

#include "vintrel/core/ObjectList.h"
#include "vintrel/core/OrderedObjectSet.h"

namespace vt {

class TimerQueue;

/// One screen of a game (title, play, pause menu, game over), kept on the
/// scene manager's stack. Objects made while it is on top belong to it and
/// are deleted when it leaves the stack; while another scene covers it, its
/// objects are frozen: no events, no movement, no timers, no collisions.
/// Games derive from it and override the hooks; the scene manager owns it.
class Scene {
  public:
    /// A scene named `name` in log lines.
    explicit Scene(const std::string& name = "Scene");
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    /// Runs when the scene manager discards the scene, after onLeave(); at
    /// shut-down without it.
    virtual ~Scene();

    /// The scene came on top of the stack; objects made here belong to it.
    virtual void onEnter();
    /// The scene left the stack; its objects are deleted at the end of this
    /// step, and objects made here belong to the scene now on top.
    virtual void onLeave();
    /// Another scene was pushed over this one, whose objects are now frozen;
    /// objects made here belong to the scene pushed.
    virtual void onCovered();
    /// The scene above was popped; this one's objects are in play again.
    virtual void onUncovered();

    /// The name given at construction.
    std::string getName() const { return m_name; }
    /// With true, this scene lets the one below stay drawn (frozen) while it
    /// covers it, as a menu over a game does; takes effect at the end of the
    /// step's update. False (the scene below is not drawn) by default.
    void setShowsSceneBelow(bool shows_scene_below = true) { m_shows_scene_below = shows_scene_below; }
    /// True when the scene below stays drawn while this one covers it.
    bool getShowsSceneBelow() const { return m_shows_scene_below; }
    /// True while another scene covers this one (its objects are frozen).
    bool isCovered() const { return m_is_covered; }
    /// True while a scene above keeps this one from being drawn.
    bool isHidden() const { return m_is_hidden; }
    /// A copy of the objects that belong to the scene, oldest first.
    [[nodiscard]] ObjectList getObjects() const { return m_objects.toList(); }

  private:
    friend class SceneManager;
    friend class WorldManager;

    // The timers of the scene's objects, on the scene's own clock.
    TimerQueue& timers() { return *m_p_timers; }

    std::string m_name;
    bool m_shows_scene_below;
    bool m_is_covered;
    bool m_is_hidden;
    OrderedObjectSet m_objects;
    std::unique_ptr<TimerQueue> m_p_timers;
};

} // namespace vt
