#include "vintrel/world/SceneManager.h"

#include <utility>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"
#include "world/TimerQueue.h"

namespace vt {

SceneManager::SceneManager() : m_projected_count(0) { setType("SceneManager"); }

SceneManager::~SceneManager() = default;

SceneManager& SceneManager::getInstance() {
    static SceneManager scene_manager;
    return scene_manager;
}

int SceneManager::startUp() {
    if (refuseSecondStart())
        return -1;
    m_stack.clear();
    m_pending.clear();
    m_projected_count = 0;
    return Manager::startUp();
}

void SceneManager::shutDown() {
    // Stopped first, so that destructors asking for changes are refused.
    Manager::shutDown();
    std::vector<Change> pending;
    pending.swap(m_pending);
    pending.clear();
    while (!m_stack.empty()) {
        std::unique_ptr<Scene> p_scene = std::move(m_stack.back());
        m_stack.pop_back();
        freeze(*p_scene, false);
        const ObjectList objects = p_scene->getObjects();
        for (int i = 0; i < objects.getCount(); i++)
            objects[i]->m_p_scene = nullptr;
    }
    m_projected_count = 0;
}

int SceneManager::pushScene(std::unique_ptr<Scene> p_scene) {
    return request(ChangeKind::PUSH, std::move(p_scene), "pushScene");
}

int SceneManager::popScene() { return request(ChangeKind::POP, nullptr, "popScene"); }

int SceneManager::replaceScene(std::unique_ptr<Scene> p_scene) {
    return request(ChangeKind::REPLACE, std::move(p_scene), "replaceScene");
}

Scene* SceneManager::getTopScene() const { return m_stack.empty() ? nullptr : m_stack.back().get(); }

int SceneManager::request(ChangeKind kind, std::unique_ptr<Scene> p_scene, const char* operation) {
    LogManager& log_manager = LogManager::getInstance();
    const std::string name = p_scene ? "'" + clipForLog(p_scene->getName()) + "'" : std::string("the pop");
    if (!isStarted()) {
        log_manager.writeLog("SceneManager::%s(): Error! SceneManager not started; %s refused.", operation,
                             name.c_str());
        return -1;
    }
    if (kind != ChangeKind::POP && !p_scene) {
        log_manager.writeLog("SceneManager::%s(): Error! No scene given.", operation);
        return -1;
    }
    if (kind == ChangeKind::POP && m_projected_count == 0) {
        log_manager.writeLog("SceneManager::popScene(): Error! No scene to pop.");
        return -1;
    }
    if (kind == ChangeKind::PUSH && m_projected_count == MAX_SCENES) {
        log_manager.writeLog("SceneManager::%s(): Error! %d scenes on the stack already; %s refused.",
                             operation, MAX_SCENES, name.c_str());
        return -1;
    }
    if (static_cast<int>(m_pending.size()) == MAX_SCENES) {
        log_manager.writeLog("SceneManager::%s(): Error! %d scene changes wait for the end of the step "
                             "already; %s refused.",
                             operation, MAX_SCENES, name.c_str());
        return -1;
    }
    if (kind == ChangeKind::PUSH)
        m_projected_count++;
    else if (kind == ChangeKind::POP)
        m_projected_count--;
    else if (m_projected_count == 0)
        m_projected_count = 1;
    m_pending.push_back({kind, std::move(p_scene)});
    return 0;
}

void SceneManager::applyChanges() {
    std::vector<Change> batch;
    batch.swap(m_pending);
    for (Change& change : batch)
        apply(change);
    // Also for a scene that changed whether it shows the one below.
    restate();
}

void SceneManager::apply(Change& change) {
    LogManager& log_manager = LogManager::getInstance();
    // The stack takes its new shape first, then the hooks run: objects made
    // in any of them belong to the scene now on top.
    std::unique_ptr<Scene> p_leaving;
    if (change.kind != ChangeKind::PUSH && !m_stack.empty()) {
        p_leaving = std::move(m_stack.back());
        m_stack.pop_back();
    }
    Scene* p_covered = change.kind == ChangeKind::PUSH ? getTopScene() : nullptr;
    Scene* p_entering = change.p_scene.get();
    if (p_entering)
        m_stack.push_back(std::move(change.p_scene));
    if (p_leaving)
        freeze(*p_leaving, true);
    restate();

    if (p_leaving) {
        log_manager.writeLog(5, "SceneManager::applyChanges(): Scene '%s' left.",
                             clipForLog(p_leaving->getName()).c_str());
        p_leaving->onLeave();
        dismiss(*p_leaving);
        p_leaving.reset();
    }
    if (p_covered)
        p_covered->onCovered();
    if (change.kind == ChangeKind::POP && !m_stack.empty())
        m_stack.back()->onUncovered();
    if (p_entering) {
        log_manager.writeLog(5, "SceneManager::applyChanges(): Scene '%s' entered; %d on the stack.",
                             clipForLog(p_entering->getName()).c_str(), getSceneCount());
        p_entering->onEnter();
    }
}

void SceneManager::restate() {
    bool drawn = true;
    for (auto scene = m_stack.rbegin(); scene != m_stack.rend(); ++scene) {
        Scene& current = **scene;
        const bool covered = scene != m_stack.rbegin();
        if (current.m_is_covered != covered) {
            current.m_is_covered = covered;
            freeze(current, covered);
        }
        current.m_is_hidden = !drawn;
        drawn = drawn && current.getShowsSceneBelow();
    }
}

void SceneManager::freeze(const Scene& scene, bool frozen) {
    const ObjectList objects = scene.getObjects();
    for (int i = 0; i < objects.getCount(); i++)
        objects[i]->m_is_frozen = frozen;
}

void SceneManager::dismiss(Scene& scene) {
    // Deleted through the world like any marked object, at the end of this
    // step's update; until then they stay frozen, outside every scene.
    WorldManager& world_manager = WorldManager::getInstance();
    const ObjectList objects = scene.getObjects();
    scene.m_objects.clear();
    scene.timers().clear();
    for (int i = 0; i < objects.getCount(); i++) {
        objects[i]->m_p_scene = nullptr;
        world_manager.markForDelete(objects[i]);
    }
}

void SceneManager::adopt(Object* p_o) {
    if (m_stack.empty() || p_o->isOnlooker())
        return;
    Scene& top = *m_stack.back();
    top.m_objects.insert(p_o);
    p_o->m_p_scene = &top;
    p_o->m_is_frozen = top.m_is_covered;
}

void SceneManager::forget(Object* p_o) {
    if (Scene* p_scene = p_o->m_p_scene) {
        p_scene->m_objects.remove(p_o);
        p_o->m_p_scene = nullptr;
    }
}

} // namespace vt
