#include <gtest/gtest.h>

#include "support/WindowedInputTest.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/input/Key.h"
#include "vintrel/media/DisplayManager.h"

namespace vt::test {
namespace {

bool hasKey(const std::vector<Received>& events, int key, int action) {
    return countKey(events, key, action) > 0;
}

TEST_F(WindowedInputTest, HeldKeyGivesOnePressAHeldEventEveryStepAndOneRelease) {
    ASSERT_TRUE(input().keyDown("a"));
    std::vector<Received> before;
    std::vector<Received> first =
        stepUntil([](const auto& e) { return hasKey(e, KEY_A, KEY_ACTION_PRESSED); }, &before);
    EXPECT_EQ(0, countKey(before, KEY_A, KEY_ACTION_PRESSED));
    ASSERT_EQ(1, countKey(first, KEY_A, KEY_ACTION_PRESSED));
    ASSERT_EQ(1, countKey(first, KEY_A, KEY_ACTION_HELD))
        << "the step of the press also reports the key held";
    // The press comes from the window's queue, which is read before held keys are polled.
    EXPECT_EQ(KEY_ACTION_PRESSED, first.front().action);
    EXPECT_EQ(KEY_ACTION_HELD, first.back().action);

    for (int i = 0; i < 4; i++) {
        std::vector<Received> events = step();
        EXPECT_EQ(1u, events.size()) << "step " << i;
        EXPECT_EQ(1, countKey(events, KEY_A, KEY_ACTION_HELD)) << "step " << i;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    ASSERT_TRUE(input().keyUp("a"));
    before.clear();
    std::vector<Received> released =
        stepUntil([](const auto& e) { return hasKey(e, KEY_A, KEY_ACTION_RELEASED); }, &before);
    ASSERT_EQ(1, countKey(released, KEY_A, KEY_ACTION_RELEASED));
    EXPECT_EQ(0, countKey(released, KEY_A, KEY_ACTION_HELD));
    EXPECT_EQ(0, countKey(before, KEY_A, KEY_ACTION_PRESSED));
    EXPECT_TRUE(step().empty());
}

TEST_F(WindowedInputTest, MouseMoveAndClickArriveInSpaces) {
    ASSERT_TRUE(input().moveTo(128, 64));
    std::vector<Received> moved = stepUntil([](const auto& e) {
        return !e.empty() && e.back().action == MOUSE_ACTION_MOVED && e.back().position.getX() == 10.0f;
    });
    ASSERT_FALSE(moved.empty());
    const Received& move = moved.back();
    EXPECT_EQ(MOUSE_BUTTON_UNDEFINED, move.button);
    EXPECT_FLOAT_EQ(10.0f, move.position.getX());
    EXPECT_FLOAT_EQ(2.0f, move.position.getY());

    ASSERT_TRUE(input().buttonDown(1));
    std::vector<Received> clicked =
        stepUntil([](const auto& e) { return countMouse(e, MOUSE_ACTION_CLICKED, MOUSE_BUTTON_LEFT) > 0; });
    ASSERT_EQ(1, countMouse(clicked, MOUSE_ACTION_CLICKED, MOUSE_BUTTON_LEFT));
    ASSERT_EQ(1, countMouse(clicked, MOUSE_ACTION_PRESSED, MOUSE_BUTTON_LEFT));
    for (const Received& r : clicked) {
        EXPECT_FLOAT_EQ(10.0f, r.position.getX());
        EXPECT_FLOAT_EQ(2.0f, r.position.getY());
    }
    std::vector<Received> held = step();
    EXPECT_EQ(1u, held.size());
    EXPECT_EQ(1, countMouse(held, MOUSE_ACTION_PRESSED, MOUSE_BUTTON_LEFT));
    ASSERT_TRUE(input().buttonUp(1));
    // A released button is neither an event nor held any longer.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    step();
    EXPECT_TRUE(step().empty());

    ASSERT_TRUE(input().moveTo(640, 320));
    ASSERT_TRUE(input().buttonDown(3));
    std::vector<Received> right =
        stepUntil([](const auto& e) { return countMouse(e, MOUSE_ACTION_CLICKED, MOUSE_BUTTON_RIGHT) > 0; });
    ASSERT_TRUE(input().buttonUp(3));
    ASSERT_FALSE(right.empty());
    for (const Received& r : right) {
        if (r.action == MOUSE_ACTION_MOVED)
            continue;
        EXPECT_FLOAT_EQ(50.0f, r.position.getX());
        EXPECT_FLOAT_EQ(10.0f, r.position.getY());
    }
}

TEST_F(WindowedInputTest, ClosingTheWindowEndsTheGameAndTheStepsInput) {
    ASSERT_TRUE(input().requestClose());
    ASSERT_TRUE(input().keyDown("b"));
    for (int i = 0; i < 300 && !GameManager::getInstance().getGameOver(); i++) {
        EXPECT_TRUE(step().empty());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    input().keyUp("b");
    EXPECT_TRUE(GameManager::getInstance().getGameOver());
    EXPECT_EQ(1, countLines(logText(), "InputManager::getInput(): Window closed. Setting game over."));
}

TEST_F(WindowedInputTest, UnknownKeyWarnsAndIsNeverHeld) {
    LogManager::getInstance().setLogLevel(15);
    ASSERT_TRUE(input().keyDown("Alt_R"));
    std::vector<Received> pressed =
        stepUntil([](const auto& e) { return hasKey(e, KEY_UNDEFINED, KEY_ACTION_PRESSED); });
    ASSERT_EQ(1u, pressed.size());
    EXPECT_TRUE(step().empty());
    ASSERT_TRUE(input().keyUp("Alt_R"));
    stepUntil([](const auto& e) { return hasKey(e, KEY_UNDEFINED, KEY_ACTION_RELEASED); });
    const std::string log = logText();
    EXPECT_EQ(2, countLines(log, "InputManager::toEventKeyboard(): Warning key 'Right Alt' not handled."));
    EXPECT_EQ(2, countLines(log, "InputManager::toEventKeyboard(): Keyboard event '' (Right Alt)"));
}

TEST_F(WindowedInputTest, KeysNamedByTheirCharacterInTheLog) {
    LogManager::getInstance().setLogLevel(15);
    ASSERT_TRUE(input().keyDown("apostrophe"));
    std::vector<Received> pressed =
        stepUntil([](const auto& e) { return hasKey(e, KEY_QUOTE, KEY_ACTION_PRESSED); });
    ASSERT_TRUE(input().keyUp("apostrophe"));
    EXPECT_EQ(1, countKey(pressed, KEY_QUOTE, KEY_ACTION_HELD));
    EXPECT_EQ(1, countLines(logText(), "InputManager::toEventKeyboard(): Keyboard event ''' (')"));
}

TEST_F(WindowedInputTest, SecondStartUpIsRefusedAndOnlyInputEventsAreValid) {
    InputManager& input_manager = InputManager::getInstance();
    EXPECT_EQ(-1, input_manager.startUp());
    EXPECT_EQ(1, countLines(logText(), "InputManager::startup(): Warning! InputManager already started."));
    EXPECT_FALSE(input_manager.isValid(EVENT_STEP));
    EXPECT_TRUE(input_manager.isValid(EVENT_KEYBOARD));
    EXPECT_TRUE(input_manager.isValid(EVENT_MOUSE));
}

class InputManagerTest : public EngineTest {};

TEST_F(InputManagerTest, HeadlessStartTouchesNoWindowAndDeliversNothing) {
    LogManager::getInstance().setLogLevel(5);
    ASSERT_EQ(0, startEngine());
    InputManager& input_manager = InputManager::getInstance();
    EXPECT_TRUE(input_manager.isStarted());
    input_manager.getInput();
    const std::string log = logText();
    EXPECT_EQ(1, countLines(log, "InputManager::startUp(): no input in headless mode."));
    EXPECT_EQ(1, countLines(log, "InputManager::startUp(): successfully started."));
    EXPECT_EQ(0, countLines(log, "null window"));
    stopEngine();
    EXPECT_EQ(1, countLines(logText(), "InputManager::shutDown(): successfully stopped."));
}

TEST_F(InputManagerTest, WindowedStartNeedsTheDisplayManagerFirst) {
    writeConfig("headless:false,\nnetworking:false,\n");
    Config::getInstance().loadConfig("");
    ASSERT_EQ(0, LogManager::getInstance().startUp());
    ASSERT_FALSE(DisplayManager::getInstance().isStarted());
    EXPECT_EQ(-1, InputManager::getInstance().startUp());
    EXPECT_FALSE(InputManager::getInstance().isStarted());
    EXPECT_EQ(1,
              countLines(logText(), "InputManager::startUp(): Error! DisplayManager must be started first."));
    LogManager::getInstance().shutDown();
}

TEST(Key, CodesAndTextsFollowTheEnginesTable) {
    EXPECT_EQ(-1, KEY_UNDEFINED);
    EXPECT_EQ(33, KEY_F10);
    EXPECT_EQ(36, KEY_A);
    EXPECT_EQ(58, KEY_W);
    EXPECT_EQ(71, KEY_0);
    EXPECT_EQ(72, KEY_BACKSPACE);
    EXPECT_EQ(74, KEY_LEFT_BRACKET);
    EXPECT_EQ(76, KEY_BACKTICK);

    EXPECT_EQ("A", keyToText(KEY_A));
    EXPECT_EQ("Z", keyToText(KEY_Z));
    EXPECT_EQ("1", keyToText(KEY_1));
    EXPECT_EQ("9", keyToText(KEY_9));
    EXPECT_EQ("0", keyToText(KEY_0));
    EXPECT_EQ(" ", keyToText(KEY_SPACE));
    EXPECT_EQ("\\", keyToText(KEY_BACKSLASH));
    EXPECT_EQ("'", keyToText(KEY_QUOTE));
    EXPECT_EQ("`", keyToText(KEY_BACKTICK));
    EXPECT_EQ("~", keyToText(KEY_TILDE));
    for (int key : std::initializer_list<int>{KEY_UNDEFINED, KEY_ENTER, KEY_F1, KEY_F12, KEY_LEFT_SHIFT,
                                              KEY_BACKSPACE, 73, 77, -5, 1000})
        EXPECT_EQ("", keyToText(key)) << key;
}

} // namespace
} // namespace vt::test
