#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include "support/EngineTest.h"
#include "support/WindowTest.h"
#include "support/WindowedInputTest.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/splash/Splash.h"
#include "vintrel/splash/SplashVintrel.h"
#include "vintrel/world/ObjectListIterator.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

/// What the title sequence looked like when one step began.
struct Snapshot {
    bool banner = false;
    Vector banner_position;
    int banner_frame = -1;
    bool creature = false;
    Vector creature_position;
    int creature_countdown = 0;
    int creature_width = 0;
};

Object* firstOfType(const std::string& type) {
    ObjectList list = WorldManager::getInstance().objectsOfType(type);
    ObjectListIterator it(&list);
    return it.isDone() ? nullptr : it.currentObject();
}

/// Registered for steps before the sequence starts, so it sees every step
/// before the sequence's own objects do.
class Watcher : public Object {
  public:
    Watcher() {
        setSolidness(SPECTRAL);
        registerInterest(EVENT_STEP);
    }

    int eventHandler(const Event* p_event) override {
        if (p_event->getType() != EVENT_STEP)
            return 0;
        Snapshot shot;
        if (Object* p_banner = firstOfType("Splash")) {
            shot.banner = true;
            shot.banner_position = p_banner->getPosition();
            shot.banner_frame = p_banner->getAnimation().getIndex();
        }
        if (auto* p_creature = dynamic_cast<SplashVintrel*>(firstOfType("SplashVintrel"))) {
            shot.creature = true;
            shot.creature_position = p_creature->getPosition();
            shot.creature_countdown = p_creature->getCountdown();
            shot.creature_width = static_cast<int>(p_creature->getBox().getHorizontal());
        }
        m_shots.push_back(shot);
        if (m_on_step)
            m_on_step(static_cast<EventStep const*>(p_event)->getStepCount());
        return 1;
    }

    /// Called after each snapshot with the step's number.
    void onStep(std::function<void(int)> on_step) { m_on_step = std::move(on_step); }

    const std::vector<Snapshot>& shots() const { return m_shots; }

  private:
    std::vector<Snapshot> m_shots;
    std::function<void(int)> m_on_step;
};

class SplashTest : public EngineTest {};

TEST_F(SplashTest, RefusedBeforeTheEngineStarts) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(-1, splash());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos,
              err.find("splash(): Error! Cannot run splash screen until game manger is started."));
}

TEST_F(SplashTest, BannerSlidesStopsAndTheCreatureLandsAndEndsTheSequence) {
    LogManager::getInstance().setLogLevel(10);
    ASSERT_EQ(0, startEngine());
    auto* p_watcher = new Watcher;
    ASSERT_EQ(0, splash());
    const std::vector<Snapshot>& shots = p_watcher->shots();

    // Step 89 sets game over: 90 steps.
    ASSERT_EQ(90u, shots.size());
    EXPECT_EQ(90, GameManager::getInstance().getStepCount());

    // Beyond the right edge of an 80 x 24 world, centred; 74.5 columns over 16 steps.
    ASSERT_TRUE(shots[0].banner);
    EXPECT_FLOAT_EQ(80.0f + 23.5f, shots[0].banner_position.getX());
    EXPECT_FLOAT_EQ(12.0f, shots[0].banner_position.getY());
    EXPECT_FLOAT_EQ(103.5f - 4.65625f, shots[1].banner_position.getX());
    // Moves in its first 14 steps only, then shows its second lettering.
    const float stop_x = 103.5f - 14 * 4.65625f;
    EXPECT_NEAR(stop_x, shots[14].banner_position.getX(), 1e-3);
    EXPECT_EQ(0, shots[14].banner_frame);
    EXPECT_NEAR(stop_x, shots[89].banner_position.getX(), 1e-3);
    EXPECT_EQ(1, shots[15].banner_frame);
    EXPECT_EQ(1, shots[89].banner_frame);

    // Created during step 14, moved in that step, counting from step 15 on.
    EXPECT_FALSE(shots[14].creature);
    ASSERT_TRUE(shots[15].creature);
    EXPECT_NEAR(stop_x + 24.0f, shots[15].creature_position.getX(), 1e-3);
    EXPECT_NEAR(30.0f - 17.0f / 30.0f, shots[15].creature_position.getY(), 1e-3);
    EXPECT_EQ(30, shots[15].creature_countdown);
    // Climbs to one row under the banner's centre and stays there.
    EXPECT_NEAR(13.0f, shots[50].creature_position.getY(), 0.6);
    EXPECT_FLOAT_EQ(shots[50].creature_position.getY(), shots[58].creature_position.getY());
    // Flying picture until countdown -15, then the resting one, a column to the left.
    EXPECT_EQ(11, shots[59].creature_width);
    EXPECT_EQ(9, shots[60].creature_width);
    EXPECT_NEAR(stop_x + 23.0f, shots[60].creature_position.getX(), 1e-3);
    EXPECT_EQ(-44, shots[89].creature_countdown);

    // Both removed at the end of the last step, before another run begins.
    EXPECT_EQ(nullptr, firstOfType("Splash"));
    EXPECT_EQ(nullptr, firstOfType("SplashVintrel"));
    const std::string log = logText();
    EXPECT_EQ(1, countLines(log, "splash(): Started."));
    EXPECT_EQ(1, countLines(log, "splash(): Finished."));
}

TEST_F(SplashTest, StepLengthsTooShortToHalveKeepTheDefaultSlide) {
    for (const char* frame_time : {"0", "1", "-8"}) {
        ASSERT_EQ(0, startEngine(headlessConfig() + "frame_time:" + frame_time + ",\n"));
        auto* p_banner = new Splash;
        EXPECT_FLOAT_EQ(-4.65625f, p_banner->getVelocity().getX()) << "frame_time " << frame_time;
        EXPECT_FLOAT_EQ(0.0f, p_banner->getVelocity().getY());
        stopEngine();
    }
    ASSERT_EQ(0, startEngine(headlessConfig() + "frame_time:100,\n"));
    EXPECT_FLOAT_EQ(-74.5f / 50.0f, (new Splash)->getVelocity().getX());
}

// Both objects end the sequence on a key and leave once it is over; only
// the creature counts the key as handled.
TEST_F(SplashTest, BannerAndCreatureHandleKeysAndGameOverAlikeButAnswerKeysDifferently) {
    ASSERT_EQ(0, startEngine());
    auto* p_banner = new Splash;
    auto* p_creature = new SplashVintrel(Vector(40, 12));
    const struct {
        Object* p_o;
        std::function<int()> countdown;
        int key_result;
    } cases[] = {{p_banner, [p_banner] { return p_banner->getCountdown(); }, 0},
                 {p_creature, [p_creature] { return p_creature->getCountdown(); }, 1}};
    const EventStep step(0);
    const EventKeyboard key;
    const Event other;
    for (const auto& c : cases) {
        const std::string type = c.p_o->getType();
        SCOPED_TRACE(type);
        GameManager::getInstance().setGameOver(false);
        const int countdown = c.countdown();
        EXPECT_EQ(1, c.p_o->eventHandler(&step));
        EXPECT_EQ(countdown - 1, c.countdown());
        EXPECT_EQ(0, c.p_o->eventHandler(&other));
        EXPECT_EQ(c.key_result, c.p_o->eventHandler(&key));
        EXPECT_TRUE(GameManager::getInstance().getGameOver());
        EXPECT_EQ(0, c.p_o->eventHandler(&step));
        EXPECT_EQ(countdown - 1, c.countdown()) << "no step counts once the sequence is over";
        WorldManager::getInstance().update();
        EXPECT_EQ(nullptr, firstOfType(type));
    }
}

TEST_F(WindowedInputTest, AnyKeyEndsTheSequenceInThatStep) {
    auto* p_watcher = new Watcher;
    std::thread user([this] {
        XInput keyboard(windowId());
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        keyboard.keyDown("x");
        keyboard.keyUp("x");
    });
    ASSERT_EQ(0, splash());
    user.join();
    const std::vector<Snapshot>& shots = p_watcher->shots();
    ASSERT_FALSE(shots.empty());
    EXPECT_LT(shots.size(), 15u) << "the banner had stopped before the key ended it";
    for (const Snapshot& shot : shots)
        EXPECT_FALSE(shot.creature);
    EXPECT_EQ(nullptr, firstOfType("Splash"));
}

class SplashWindowTest : public WindowTest {};

TEST_F(SplashWindowTest, BannerAndCreatureAppearInTheirColoursWhereTheyStand) {
    ASSERT_EQ(0, startWindowedEngine());
    const sf::Color green(0, 255, 0);
    const sf::Color blue(0, 0, 255);
    // Pixels of a band of whole rows, and of a block of cells.
    auto rows = [](const sf::Image& image, int first, int last, sf::Color color) {
        return countPixels(image, 0, first * 32, 1024, (last - first + 1) * 32, color);
    };
    auto cells = [](const sf::Image& image, int left, int top, int right, int bottom, sf::Color color) {
        return countPixels(image, static_cast<int>(static_cast<float>(left) * 12.8f), top * 32,
                           static_cast<int>(static_cast<float>(right - left + 1) * 12.8f),
                           (bottom - top + 1) * 32, color);
    };
    sf::Image banner_stopped;
    sf::Image creature_flying;
    sf::Image creature_resting;
    auto* p_watcher = new Watcher;
    // At a step's start the back buffer still holds the previous step's picture.
    p_watcher->onStep([&](int step) {
        if (step == 16)
            banner_stopped = captureBackBuffer();
        else if (step == 40)
            creature_flying = captureBackBuffer();
        else if (step == 80)
            creature_resting = captureBackBuffer();
    });
    ASSERT_EQ(0, splash());
    ASSERT_EQ(90u, p_watcher->shots().size());

    // The banner (centre 38.3, 12) covers columns 15 to 61 and rows 8 to 15;
    // its letters fill rows 9 to 14.
    EXPECT_GT(cells(banner_stopped, 15, 9, 61, 15, green), 500);
    EXPECT_EQ(0, rows(banner_stopped, 0, 7, green));
    EXPECT_EQ(0, rows(banner_stopped, 17, 23, green));
    EXPECT_EQ(0, cells(banner_stopped, 0, 0, 13, 23, green));
    EXPECT_EQ(0, rows(banner_stopped, 0, 23, blue)) << "the creature is still below the window";

    // Climbing (centre 62.3, about 15.3), in blue, over the banner's right end.
    EXPECT_GT(cells(creature_flying, 56, 12, 68, 19, blue), 200);
    EXPECT_EQ(0, cells(creature_flying, 0, 0, 55, 23, blue));

    // Resting, in green, one column to the left; nothing blue is left.
    EXPECT_EQ(0, rows(creature_resting, 0, 23, blue));
    EXPECT_GT(cells(creature_resting, 62, 9, 66, 16, green), 50);
}

} // namespace
} // namespace vt::test
