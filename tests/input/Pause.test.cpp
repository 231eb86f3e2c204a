#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <thread>

#include "support/DisplayScenes.h"
#include "support/WindowedInputTest.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/input/Key.h"
#include "vintrel/input/Pause.h"
#include "vintrel/media/Shape.h"

namespace vt::test {
namespace {

using Clock = std::chrono::steady_clock;

bool sameImage(const sf::Image& a, const sf::Image& b) {
    const auto size = a.getSize();
    return size == b.getSize() &&
           std::equal(a.getPixelsPtr(), a.getPixelsPtr() + std::size_t{size.x} * size.y * 4,
                      b.getPixelsPtr());
}

/// Acts on the window from another thread while the game thread is blocked
/// in the pause: after a delay, and once the window shows something else than
/// when it began (a slow renderer takes a while with its first pictures), it
/// looks at what the window shows, then runs the action; if the game thread
/// has not come back a few seconds later, it closes the window so that a
/// pause which never ends fails the test instead of hanging it.
class LaterUser {
  public:
    LaterUser(unsigned long window, std::chrono::milliseconds delay, bool close_instead)
        : m_thread([this, window, delay, close_instead] {
              XInput user(window);
              const sf::Image initial = captureWindow(window);
              std::this_thread::sleep_for(delay);
              m_seen = captureWindow(window);
              for (int i = 0; i < 30 && sameImage(m_seen, initial); i++) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  m_seen = captureWindow(window);
              }
              m_acted_at = Clock::now();
              m_acted = true;
              if (close_instead) {
                  user.requestClose();
              } else {
                  user.keyDown("space");
                  user.keyUp("space");
              }
              for (int i = 0; i < 500 && !m_back; i++)
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              if (!m_back)
                  user.requestClose();
          }) {}

    ~LaterUser() {
        m_back = true;
        m_thread.join();
    }

    /// Called by the game thread once it runs again.
    void back() { m_back = true; }
    bool acted() const { return m_acted; }
    /// What the window showed while paused; read once the game thread is back.
    const sf::Image& seen() const { return m_seen; }
    Clock::time_point actedAt() const { return m_acted_at; }

  private:
    std::atomic<bool> m_acted{false};
    std::atomic<bool> m_back{false};
    Clock::time_point m_acted_at;
    sf::Image m_seen;
    std::thread m_thread;
};

bool pausePressed(const std::vector<Received>& events) {
    return countKey(events, KEY_F10, KEY_ACTION_PRESSED) > 0;
}

/// The smallest rectangle holding every pixel of the image that differs from
/// the same pixel of `other` (black where `other` is null), as left, top,
/// right, bottom (inclusive); left > right when there is none.
std::array<int, 4> changedBounds(const sf::Image& image, const sf::Image* p_other = nullptr) {
    std::array<int, 4> bounds{INT_MAX, INT_MAX, -1, -1};
    for (unsigned y = 0; y < image.getSize().y; y++)
        for (unsigned x = 0; x < image.getSize().x; x++)
            if (sfml::pixelAt(image, x, y) != (p_other ? sfml::pixelAt(*p_other, x, y) : BLACK_PIXEL))
                bounds = {std::min(bounds[0], static_cast<int>(x)), std::min(bounds[1], static_cast<int>(y)),
                          std::max(bounds[2], static_cast<int>(x)), std::max(bounds[3], static_cast<int>(y))};
    return bounds;
}

std::array<int, 4> inkBounds(const sf::Image& image) { return changedBounds(image); }

TEST_F(WindowedInputTest, PauseKeyShowsTheMessageAndBlocksUntilAnotherKeyWhichTheGameNeverSees) {
    new Pause(KEY_F10);
    ASSERT_TRUE(input().keyDown("F10"));
    ASSERT_TRUE(input().keyUp("F10"));
    std::vector<Received> paused_step;
    sf::Image seen;
    {
        LaterUser user(windowId(), std::chrono::milliseconds(300), false);
        paused_step = stepUntil(pausePressed);
        const Clock::time_point resumed_at = Clock::now();
        user.back();
        ASSERT_TRUE(user.acted()) << "the step returned before any key was pressed";
        EXPECT_GE(resumed_at, user.actedAt());
        seen = user.seen();
    }
    // One line of text, centred in the 1024 x 768 window, while paused.
    const std::array<int, 4> ink = inkBounds(seen);
    EXPECT_GT(static_cast<float>(ink[2] - ink[0]), 15 * cellWidth()) << "no message while paused";
    EXPECT_NEAR(ink[0] + ink[2], 1024, 4);
    EXPECT_NEAR(ink[1] + ink[3], 768, 4);
    EXPECT_LT(static_cast<float>(ink[3] - ink[1]), cellHeight());
    // The next frame no longer holds it.
    ASSERT_EQ(0, DisplayManager::getInstance().presentFrame());
    const std::array<int, 4> after = inkBounds(captureShown());
    EXPECT_GT(after[0], after[2]) << "the message stayed after resuming";
    EXPECT_FALSE(GameManager::getInstance().getGameOver()) << "the pause ended by closing the window";
    ASSERT_EQ(1, countKey(paused_step, KEY_F10, KEY_ACTION_PRESSED));
    // The release of F10 and the press of space were used up by the pause.
    std::vector<Received> later = paused_step;
    for (int i = 0; i < 10; i++) {
        std::vector<Received> events = step();
        later.insert(later.end(), events.begin(), events.end());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(0, countKey(later, KEY_F10, KEY_ACTION_RELEASED));
    EXPECT_EQ(0, countKey(later, KEY_SPACE, KEY_ACTION_PRESSED));

    const std::string log = logText();
    EXPECT_EQ(1, countLines(log, "Pause::Pause(): Pause enabled.  Press any other key to resume."));
    EXPECT_EQ(1, countLines(log, "Pause::eventHandler(): Game paused."));
    EXPECT_EQ(1, countLines(log, "Pause::eventHandler(): Keypressed."));
    EXPECT_EQ(1, countLines(log, "Pause::eventHandler(): Game resumed."));
}

TEST_F(WindowedInputTest, APausedGameShowsItsFrameUnderTheMessageAndExactlyThatFrameOnResuming) {
    new Pause(KEY_F10);
    // Characters in every colour over the whole window, and a figure on them.
    scenes::drawFullScreen();
    Shape circle;
    circle.setType(SHAPE_CIRCLE);
    circle.setSize(40);
    circle.setColor(BLUE);
    circle.draw(Vector(20, 6));
    ASSERT_EQ(0, DisplayManager::getInstance().presentFrame());
    const sf::Image before = captureShown();
    ASSERT_TRUE(input().keyDown("F10"));
    ASSERT_TRUE(input().keyUp("F10"));
    sf::Image paused;
    {
        LaterUser user(windowId(), std::chrono::milliseconds(300), false);
        stepUntil(pausePressed);
        user.back();
        ASSERT_TRUE(user.acted());
        paused = user.seen();
    }
    const sf::Image resumed = captureShown();

    // While paused only a plate around the message, at the centre, differs.
    const std::array<int, 4> message = changedBounds(paused, &before);
    ASSERT_LE(message[0], message[2]) << "no message while paused";
    EXPECT_NEAR(message[0] + message[2], 1024, 4);
    EXPECT_NEAR(message[1] + message[3], 768, 4);
    EXPECT_LT(static_cast<float>(message[3] - message[1]), 2 * cellHeight());
    EXPECT_LT(message[2] - message[0], 1024 / 2);
    const std::array<int, 4> restored = changedBounds(resumed, &before);
    EXPECT_GT(restored[0], restored[2]) << "resuming did not bring back the frame before the pause";
}

TEST_F(WindowedInputTest, ClosingTheWindowWhilePausedEndsTheGame) {
    new Pause(KEY_F10);
    ASSERT_TRUE(input().keyDown("F10"));
    ASSERT_TRUE(input().keyUp("F10"));
    {
        LaterUser user(windowId(), std::chrono::milliseconds(200), true);
        stepUntil(pausePressed);
        user.back();
        EXPECT_TRUE(user.acted());
    }
    EXPECT_TRUE(GameManager::getInstance().getGameOver());
    const std::string log = logText();
    EXPECT_EQ(1, countLines(log, "Pause::eventHandler(): Window closed. Setting game over."));
    EXPECT_EQ(0, countLines(log, "Pause::eventHandler(): Game resumed."));
}

class PauseTest : public EngineTest {};

TEST_F(PauseTest, WithoutAWindowThePauseKeyIsRefusedAndOtherEventsPassThrough) {
    LogManager::getInstance().setLogLevel(10);
    ASSERT_EQ(0, startEngine());
    auto* p_pause = new Pause(KEY_P);
    EXPECT_EQ("Pause", p_pause->getType());
    EXPECT_EQ(SPECTRAL, p_pause->getSolidness());
    EXPECT_EQ(KEY_P, p_pause->getPauseKey());

    EventKeyboard other;
    other.setKey(KEY_Q);
    other.setKeyboardAction(KEY_ACTION_PRESSED);
    EXPECT_EQ(1, p_pause->eventHandler(&other));
    EventStep step(3);
    EXPECT_EQ(0, p_pause->eventHandler(&step));
    EXPECT_EQ(0, countLines(logText(), "Game paused."));

    // Any action of the pause key pauses, a held report as much as a press.
    EventKeyboard held;
    held.setKey(KEY_P);
    held.setKeyboardAction(KEY_ACTION_HELD);
    EXPECT_EQ(0, p_pause->eventHandler(&held));
    const std::string log = logText();
    EXPECT_EQ(1, countLines(log, "Pause::eventHandler(): Game paused."));
    EXPECT_EQ(
        1,
        countLines(
            log, "Pause::eventHandler(): DisplayManager unexpectedly returned null window!  Cannot pause."));
    EXPECT_EQ(3, countLines(log, "Pause::eventHandler(): Got event"));
}

} // namespace
} // namespace vt::test
