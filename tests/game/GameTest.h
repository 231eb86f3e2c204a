#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/events/EventMouse.h>
#include <vintrel/events/EventStep.h>
#include <vintrel/input/InputManager.h>
#include <vintrel/world/Object.h>
#include <vintrel/world/ObjectList.h>
#include <vintrel/world/ViewObject.h>
#include <vintrel/world/WorldManager.h>

#include "LoadResources.h"
#include "support/EngineTest.h"

namespace game_test {

/// A headless engine with the shooter's sprites and sounds loaded, and a hand
/// on the game loop: each step() is one pass of step event, world update and
/// draw, so that rules can be checked step by step.
class GameTest : public vt::test::EngineTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(startEngine(config()), 0);
        namespace fs = std::filesystem;
        const std::vector<std::string> missing = missingData();
        for (const char* folder : {"sprites", "sounds"}) {
            const fs::path from = fs::path(VINTREL_GAME_DATA_DIR) / folder;
            std::error_code error;
            fs::create_directory(dir().file(folder), error);
            for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
                const std::string name = std::string(folder) + "/" + entry.path().filename().string();
                if (std::find(missing.begin(), missing.end(), name) == missing.end())
                    fs::create_symlink(entry.path(), dir().file(name), error);
            }
            ASSERT_FALSE(error) << error.message();
        }
        // The loads are logged in detail, for the tests that check them.
        vt::LogManager::getInstance().setLogLevel(5);
        loadResources();
        vt::LogManager::getInstance().setLogLevel(0);
    }

    /// The engine settings of the test.
    virtual std::string config() const { return vt::test::headlessConfig(); }
    /// Data files (such as "sounds/fire.wav") the test runs without.
    virtual std::vector<std::string> missingData() const { return {}; }

    /// Runs whole steps; the first step is number 1, so that step 0's
    /// multiples of everything do not get in the way.
    void step(int count = 1) {
        vt::WorldManager& world_manager = vt::WorldManager::getInstance();
        for (int i = 0; i < count; ++i) {
            const vt::EventStep step_event(m_step_count);
            vt::GameManager::getInstance().onEvent(&step_event);
            world_manager.update();
            world_manager.draw();
            ++m_step_count;
        }
    }
    /// Jumps the step counter, as if the game had run that long.
    void setStepCount(int step_count) { m_step_count = step_count; }
    int stepCount() const { return m_step_count; }

    /// A key event as the input manager delivers it.
    static void key(int key, int action) {
        vt::EventKeyboard event;
        event.setKey(key);
        event.setKeyboardAction(action);
        vt::InputManager::getInstance().onEvent(&event);
    }
    /// Holds a key for whole steps: one held report per step.
    void hold(int key_code, int steps) {
        for (int i = 0; i < steps; ++i) {
            key(key_code, vt::KEY_ACTION_HELD);
            step();
        }
    }
    /// A mouse event as the input manager delivers it; the position in cells.
    static void mouse(int action, int button, const vt::Vector& where) {
        vt::EventMouse event;
        event.setMouseAction(action);
        event.setMouseButton(button);
        event.setMousePosition(where);
        vt::InputManager::getInstance().onEvent(&event);
    }

    /// Every object of the type, active or not, in the world's order.
    static std::vector<vt::Object*> all(const std::string& type) {
        const vt::ObjectList objects = vt::WorldManager::getInstance().getAllObjects(true);
        std::vector<vt::Object*> found;
        for (int i = 0; i < objects.getCount(); ++i)
            if (objects[i]->getType() == type)
                found.push_back(objects[i]);
        return found;
    }
    static int count(const std::string& type) { return static_cast<int>(all(type).size()); }
    /// The view objects showing the label.
    static std::vector<vt::ViewObject*> displays(const std::string& label) {
        std::vector<vt::ViewObject*> found;
        for (vt::Object* p_o : all("ViewObject")) {
            auto* p_view = dynamic_cast<vt::ViewObject*>(p_o);
            if (p_view != nullptr && p_view->getViewString() == label)
                found.push_back(p_view);
        }
        return found;
    }
    /// Stops an object where it is.
    static void park(vt::Object* p_o, const vt::Vector& where) {
        p_o->setVelocity(vt::Vector(0, 0));
        p_o->setPosition(where);
    }

  private:
    int m_step_count = 1;
};

} // namespace game_test
