#include "vintrel/world/Scene.h"

#include "world/TimerQueue.h"

namespace vt {

Scene::Scene(const std::string& name)
    : m_name(name), m_shows_scene_below(false), m_is_covered(false), m_is_hidden(false), m_objects(),
      m_p_timers(std::make_unique<TimerQueue>()) {}

Scene::~Scene() = default;

void Scene::onEnter() {}

void Scene::onLeave() {}

void Scene::onCovered() {}

void Scene::onUncovered() {}

} // namespace vt
