#pragma once

#include <memory>
#include <vector>

#include "vintrel/core/Manager.h"
#include "vintrel/world/Scene.h"

namespace vt {

class Object;

/// Most scenes the stack holds, and most changes that may wait for one step's
/// end; a request past either is refused with a log line.
constexpr int MAX_SCENES = 16;

/// The stack of scenes: push, pop and replace. Changes requested during a
/// step take effect together at its safe point, the end of the world's
/// update (after movement and collisions, before the marked objects are
/// deleted), so that no handler sees the stack change under it. The world
/// manager starts and stops it.
class SceneManager : public Manager {
  public:
    /// The one scene manager, made on first use.
    static SceneManager& getInstance();
    ~SceneManager() override;
    /// Starts with an empty stack; 0 or -1.
    int startUp() override;
    /// Discards pending changes and every scene, top first, without onLeave();
    /// the objects stay for the world to delete.
    void shutDown() override;

    /// Puts the scene on top at the end of the step (the one below is frozen
    /// and covered); takes ownership. 0, or -1 with a log line when refused.
    int pushScene(std::unique_ptr<Scene> p_scene);
    /// Takes the top scene off at the end of the step, deleting its objects;
    /// 0, or -1 when no scene would be left to pop.
    int popScene();
    /// Takes the top scene off and puts this one in its place at the end of
    /// the step; on an empty stack the same as pushScene(). 0 or -1.
    int replaceScene(std::unique_ptr<Scene> p_scene);

    /// The scene on top of the stack, or null; changes still waiting for the
    /// end of the step are not counted. Valid until that scene leaves.
    [[nodiscard]] Scene* getTopScene() const;
    /// Number of scenes on the stack (changes still waiting not counted).
    [[nodiscard]] int getSceneCount() const { return static_cast<int>(m_stack.size()); }

  private:
    friend class WorldManager;

    enum class ChangeKind { PUSH, POP, REPLACE };
    struct Change {
        ChangeKind kind;
        std::unique_ptr<Scene> p_scene;
    };

    SceneManager();
    // Queues a change once it passes the checks; 0 or -1.
    int request(ChangeKind kind, std::unique_ptr<Scene> p_scene, const char* operation);
    // Applies the changes requested so far, in order; those that the hooks
    // request meanwhile wait for the next step. The world calls it at the end
    // of its update.
    void applyChanges();
    void apply(Change& change);
    // Sets each scene's covered and hidden state from its place in the stack.
    void restate();
    // Freezes or thaws every object of the scene.
    static void freeze(const Scene& scene, bool frozen);
    // Marks the objects of a scene that left for deletion and lets them go.
    void dismiss(Scene& scene);
    // The world took the object: it belongs to the scene on top, if any.
    void adopt(Object* p_o);
    // The world let the object go.
    void forget(Object* p_o);

    // Bottom first.
    std::vector<std::unique_ptr<Scene>> m_stack;
    std::vector<Change> m_pending;
    // The stack's size once every pending change is applied.
    int m_projected_count;
};

} // namespace vt
