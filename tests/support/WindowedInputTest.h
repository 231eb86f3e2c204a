#pragma once

#include <SFML/Graphics/RenderWindow.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "media/SfmlCompat.h"
#include "support/EngineTest.h"
#include "support/WindowTest.h"
#include "support/XInput.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/Object.h"

namespace vt::test {

/// One keyboard or mouse event as an object received it.
struct Received {
    std::string type;
    int key = -2;
    int action = -2;
    int button = -2;
    Vector position;
};

/// An object that keeps every keyboard and mouse event delivered to it.
class InputRecorder : public Object {
  public:
    InputRecorder() {
        setSolidness(SPECTRAL);
        registerInterest(EVENT_KEYBOARD);
        registerInterest(EVENT_MOUSE);
    }

    int eventHandler(const Event* p_event) override {
        Received received;
        received.type = p_event->getType();
        if (const auto* p_keyboard = dynamic_cast<const EventKeyboard*>(p_event)) {
            received.key = p_keyboard->getKey();
            received.action = p_keyboard->getKeyboardAction();
        } else if (const auto* p_mouse = dynamic_cast<const EventMouse*>(p_event)) {
            received.action = p_mouse->getMouseAction();
            received.button = p_mouse->getMouseButton();
            received.position = p_mouse->getMousePosition();
        }
        m_received.push_back(received);
        return 1;
    }

    /// Everything received since the last call.
    std::vector<Received> take() { return std::exchange(m_received, {}); }

  private:
    std::vector<Received> m_received;
};

inline int countKey(const std::vector<Received>& events, int key, int action) {
    int n = 0;
    for (const Received& r : events)
        if (r.type == EVENT_KEYBOARD && r.key == key && r.action == action)
            n++;
    return n;
}

inline int countMouse(const std::vector<Received>& events, int action, int button) {
    int n = 0;
    for (const Received& r : events)
        if (r.type == EVENT_MOUSE && r.action == action && r.button == button)
            n++;
    return n;
}

/// A windowed engine under the X display with a recorder object and a real
/// keyboard and mouse (XTest) aimed at the engine's window.
class WindowedInputTest : public WindowTest {
  protected:
    /// Settings added to the windowed engine's.
    virtual std::string extraConfig() const { return ""; }

    void SetUp() override {
        LogManager::getInstance().setLogLevel(10);
        ASSERT_EQ(0, startWindowedEngine(extraConfig()));
        sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
        ASSERT_NE(nullptr, p_window);
        m_window_id = sfml::nativeHandle(*p_window);
        m_input = std::make_unique<XInput>(m_window_id);
        ASSERT_TRUE(m_input->isOpen()) << "no X display with XTest";
        ASSERT_TRUE(m_input->focus()) << "the window never became focusable";
        m_recorder = new InputRecorder;
        // Let the window's start-up events (focus, pointer entering) pass.
        for (int i = 0; i < 5; i++) {
            step();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_recorder->take();
    }

    /// One pass of input handling, as the game loop makes once per step.
    std::vector<Received> step() {
        InputManager::getInstance().getInput();
        return m_recorder->take();
    }

    /// Steps until one step's events satisfy the test (at most about 3 s);
    /// returns that step's events, or empty ones when it never happened.
    std::vector<Received> stepUntil(const std::function<bool(const std::vector<Received>&)>& test,
                                    std::vector<Received>* p_before = nullptr) {
        for (int i = 0; i < 300; i++) {
            std::vector<Received> events = step();
            if (test(events))
                return events;
            if (p_before != nullptr)
                p_before->insert(p_before->end(), events.begin(), events.end());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

    XInput& input() { return *m_input; }
    unsigned long windowId() const { return m_window_id; }
    InputRecorder* recorder() { return m_recorder; }

  private:
    std::unique_ptr<XInput> m_input;
    unsigned long m_window_id = 0;
    InputRecorder* m_recorder = nullptr; // owned by the world
};

} // namespace vt::test
