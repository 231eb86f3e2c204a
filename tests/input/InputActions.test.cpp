#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/WindowedInputTest.h"
#include "vintrel/events/EventAction.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/input/Key.h"

namespace vt::test {
namespace {

// Keeps the phases of the action events it hears, as "P", "H" and "R".
class ActionListener : public Object {
  public:
    ActionListener() {
        setSolidness(SPECTRAL);
        registerInterest(EVENT_ACTION);
    }
    int eventHandler(const Event* p_event) override {
        const auto* p_action = dynamic_cast<const EventAction*>(p_event);
        if (p_action == nullptr || p_event->getType() != EVENT_ACTION)
            return 0;
        m_heard += p_action->getAction() + ":" + "PRH"[p_action->getPhase()] + " ";
        return 1;
    }
    std::string take() { return std::exchange(m_heard, {}); }

  private:
    std::string m_heard;
};

// What the input manager says of the action after the step: "pressed held released".
std::string state(const std::string& action) {
    const InputManager& input = InputManager::getInstance();
    return std::string(input.isActionPressed(action) ? "P" : "-") + (input.isActionHeld(action) ? "H" : "-") +
           (input.isActionReleased(action) ? "R" : "-");
}

TEST_F(WindowedInputTest, RealKeyAndButtonPressHoldAndReleaseTheirAction) {
    auto* p_listener = new ActionListener;
    ASSERT_EQ(InputManager::getInstance().bindAction("fire", {KEY_SPACE}, {MOUSE_BUTTON_LEFT}), 0);

    ASSERT_TRUE(input().keyDown("space"));
    stepUntil([](const auto& e) { return countKey(e, KEY_SPACE, KEY_ACTION_PRESSED) > 0; });
    EXPECT_EQ(state("fire"), "PH-");
    EXPECT_EQ(p_listener->take(), "fire:P fire:H ");
    for (int i = 0; i < 3; i++) {
        step();
        EXPECT_EQ(state("fire"), "-H-") << i;
        EXPECT_EQ(p_listener->take(), "fire:H ") << i;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(input().keyUp("space"));
    stepUntil([](const auto& e) { return countKey(e, KEY_SPACE, KEY_ACTION_RELEASED) > 0; });
    EXPECT_EQ(state("fire"), "--R");
    EXPECT_EQ(p_listener->take(), "fire:R ");
    step();
    EXPECT_EQ(state("fire"), "---");

    ASSERT_TRUE(input().moveTo(300, 300));
    ASSERT_TRUE(input().buttonDown(1));
    stepUntil([](const auto& e) { return countMouse(e, MOUSE_ACTION_CLICKED, MOUSE_BUTTON_LEFT) > 0; });
    EXPECT_EQ(state("fire"), "PH-");
    ASSERT_TRUE(input().buttonUp(1));
    stepUntil([](const auto& e) { return countMouse(e, MOUSE_ACTION_PRESSED, MOUSE_BUTTON_LEFT) == 0; });
    EXPECT_EQ(state("fire"), "--R");
}

class InputActionsTest : public EngineTest {};

TEST_F(InputActionsTest, ConfigurationOverridesDefaultsAndAnUnknownKeyKeepsThemWithOneLine) {
    ASSERT_EQ(startEngine(headlessConfig() + "bind_fire:f+Mouse_Right,\nbind_jump:SPAEC,\nbind_quit:none,\n"
                                             "bind_many:A+B+C+D+E+F+G+H+I,\n"),
              0);
    InputManager& input = InputManager::getInstance();
    struct Binding {
        const char* action;
        std::vector<Key> keys;
        std::vector<MouseButton> buttons;
        const char* bound;
    };
    const Binding bindings[] = {
        {"fire", {KEY_SPACE}, {MOUSE_BUTTON_LEFT}, "F+MOUSE_RIGHT"},
        {"jump", {KEY_UP, KEY_W}, {}, "UP+W"},
        {"quit", {KEY_Q}, {}, "none"},
        {"many", {KEY_X}, {}, "X"},
        {"left", {KEY_LEFT, KEY_A}, {MOUSE_BUTTON_MIDDLE}, "LEFT+A+MOUSE_MIDDLE"},
    };
    for (const Binding& binding : bindings) {
        SCOPED_TRACE(binding.action);
        EXPECT_EQ(input.bindAction(binding.action, binding.keys, binding.buttons), 0);
        EXPECT_EQ(input.getActionBinding(binding.action), binding.bound);
    }
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "InputManager::bindAction(): "), 2);
    EXPECT_EQ(countLines(log, "More than 8 keys and buttons in bind_many:"), 1);
    EXPECT_EQ(countLines(log, "Unknown key 'SPAEC' in bind_jump:SPAEC; the default UP+W applies."), 1);

    EXPECT_EQ(input.bindAction("two words", {KEY_A}), -1);
    EXPECT_EQ(input.bindAction("colon:key", {KEY_A}), -1);
    EXPECT_EQ(input.bindAction("undefined", {KEY_UNDEFINED}), -1);
    EXPECT_EQ(input.bindAction("button", {}, {MOUSE_BUTTON_UNDEFINED}), -1);
    EXPECT_EQ(input.bindAction("nine", {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I}), -1);
    for (std::size_t i = 5; i < InputManager::MAX_ACTIONS; i++)
        ASSERT_EQ(input.bindAction("a" + std::to_string(i), {KEY_A}), 0);
    EXPECT_EQ(input.bindAction("one-too-many", {KEY_A}), -1);
    EXPECT_EQ(input.bindAction("fire", {KEY_ENTER}), 0) << "an action bound already is bound anew";
    EXPECT_EQ(input.getActionBinding("never"), "");
    stopEngine();
    EXPECT_EQ(input.getActionBinding("fire"), "") << "bindings end with the input manager";
}

TEST_F(InputActionsTest, ActionsFollowTheStepsKeysAndButtons) {
    ASSERT_EQ(startEngine(), 0);
    InputManager& input = InputManager::getInstance();
    ASSERT_EQ(input.bindAction("fire", {KEY_SPACE}, {MOUSE_BUTTON_LEFT}), 0);
    auto* p_listener = new ActionListener;
    const auto key = [](Key code, KeyAction action) {
        EventKeyboard event;
        event.setKey(code);
        event.setKeyboardAction(action);
        return event;
    };
    const auto mouse = [](MouseAction action, MouseButton button) {
        EventMouse event;
        event.setMouseAction(action);
        event.setMouseButton(button);
        return event;
    };
    using Input = std::variant<EventKeyboard, EventMouse>;
    struct Step {
        const char* name;
        std::vector<Input> queued;
        const char* state;
        const char* heard;
    };
    const Step steps[] = {
        {"nothing", {}, "---", ""},
        {"space goes down",
         {key(KEY_SPACE, KEY_ACTION_PRESSED), key(KEY_SPACE, KEY_ACTION_HELD)},
         "PH-",
         "fire:P fire:H "},
        {"space stays down", {key(KEY_SPACE, KEY_ACTION_HELD)}, "-H-", "fire:H "},
        {"a click while it is down",
         {mouse(MOUSE_ACTION_CLICKED, MOUSE_BUTTON_LEFT), key(KEY_SPACE, KEY_ACTION_HELD)},
         "-H-",
         "fire:H "},
        {"space up, the button still down",
         {key(KEY_SPACE, KEY_ACTION_RELEASED), mouse(MOUSE_ACTION_PRESSED, MOUSE_BUTTON_LEFT)},
         "-H-",
         "fire:H "},
        {"the button up", {}, "--R", "fire:R "},
        {"a move and another key",
         {mouse(MOUSE_ACTION_MOVED, MOUSE_BUTTON_UNDEFINED), key(KEY_A, KEY_ACTION_PRESSED)},
         "---",
         ""},
        {"a right click", {mouse(MOUSE_ACTION_CLICKED, MOUSE_BUTTON_RIGHT)}, "---", ""},
        {"a tap within one step",
         {key(KEY_SPACE, KEY_ACTION_PRESSED), key(KEY_SPACE, KEY_ACTION_RELEASED)},
         "PH-",
         "fire:P fire:H "},
        {"after the tap", {}, "--R", "fire:R "},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        for (const Input& queued : step.queued)
            std::visit([&input](const auto& event) { input.queueInput(event); }, queued);
        input.getInput();
        EXPECT_EQ(state("fire"), step.state);
        EXPECT_EQ(p_listener->take(), step.heard);
    }
}

} // namespace
} // namespace vt::test
