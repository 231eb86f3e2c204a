#include <SFML/Graphics.hpp>

#include <cmath>
#include <limits>
#include <thread>

#include "media/SfmlCompat.h"
#include "support/WindowTest.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/SfmlColor.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {
namespace {

// A cell holds a character when this many pixels show its colour; glyphs
// reach a pixel or two into the neighbouring cell, never this many.
constexpr int INKED = 25;

using DisplayManagerTest = WindowTest;

TEST_F(DisplayManagerTest, HeadlessKeepsCellGeometryAndRefusesToDrawSilently) {
    LogManager::getInstance().setLogLevel(5);
    ASSERT_EQ(
        startEngine(headlessConfig() +
                    "window_horizontal_pixels:800,window_vertical_pixels:600,window_horizontal_chars:40,"
                    "window_vertical_chars:20,"),
        0);
    DisplayManager& display_manager = DisplayManager::getInstance();
    EXPECT_EQ(display_manager.getWindow(), nullptr);
    EXPECT_FLOAT_EQ(cellWidth(), 20.0f);
    EXPECT_FLOAT_EQ(cellHeight(), 30.0f);
    EXPECT_EQ(display_manager.getHorizontalChars(), 40);
    EXPECT_EQ(display_manager.getVerticalChars(), 20);

    const std::string log_before = logText();
    EXPECT_EQ(countLines(log_before, "DisplayManager::startUp(): no graphics in headless mode."), 1);
    EXPECT_EQ(countLines(log_before, "DisplayManager::startUp(): successfully started."), 1);
    EXPECT_EQ(display_manager.drawCharacter(Vector(1, 1), 'x', RED), -1);
    EXPECT_EQ(display_manager.drawCharacter(Vector(1, 1), 'x', 1, 2, 3), -1);
    EXPECT_EQ(display_manager.drawText(Vector(1, 1), "text", CENTER, RED), -1);
    EXPECT_EQ(display_manager.presentFrame(), -1);
    EXPECT_EQ(logText(), log_before);
}

TEST_F(DisplayManagerTest, DrawingBeforeStartUpIsReported) {
    ASSERT_EQ(LogManager::getInstance().startUp(), 0);
    DisplayManager& display_manager = DisplayManager::getInstance();
    EXPECT_EQ(display_manager.drawCharacter(Vector(1, 1), 'x', RED), -1);
    EXPECT_EQ(display_manager.drawText(Vector(1, 1), "text", LEFT, RED), -1);
    EXPECT_EQ(display_manager.presentFrame(), -1);
    EXPECT_EQ(countLines(logText(), "DisplayManager not started!"), 3);
    LogManager::getInstance().shutDown();
}

TEST_F(DisplayManagerTest, DefaultWindowAndConversions) {
    ASSERT_EQ(startWindowedEngine(), 0);
    DisplayManager& display_manager = DisplayManager::getInstance();
    sf::RenderWindow* p_window = display_manager.getWindow();
    ASSERT_NE(p_window, nullptr);
    EXPECT_TRUE(p_window->isOpen());
    EXPECT_EQ(p_window->getSize(), sf::Vector2u(1024, 768));
    EXPECT_EQ(shownTitle(), "VintrelTest");
    EXPECT_FLOAT_EQ(cellWidth(), 12.8f);
    EXPECT_FLOAT_EQ(cellHeight(), 32.0f);
    EXPECT_EQ(display_manager.getCharacterSize(), 25u);

    const Vector pixels = spacesToPixels(Vector(2.5f, 3.25f));
    EXPECT_FLOAT_EQ(pixels.getX(), 32.0f);
    EXPECT_FLOAT_EQ(pixels.getY(), 104.0f);
    const Vector back = pixelsToSpaces(Vector(100.0f, 50.0f));
    EXPECT_FLOAT_EQ(back.getX(), 100.0f / 12.8f);
    EXPECT_FLOAT_EQ(back.getY(), 50.0f / 32.0f);

    EXPECT_EQ(display_manager.startUp(), -1);
    EXPECT_EQ(countLines(logText(), "DisplayManager::startup(): Warning! DisplayManager already started."),
              1);
    EXPECT_EQ(display_manager.getWindow(), p_window);
}

TEST_F(DisplayManagerTest, CharacterLandsInItsCellWithColourAndBackground) {
    ASSERT_EQ(startWindowedEngine("window_background_color:blue,"), 0);
    DisplayManager& display_manager = DisplayManager::getInstance();
    // The view is scrolled: world column 15 is on screen in column 10.
    WorldManager::getInstance().setView(Box(Vector(5, 0), 80, 24));

    EXPECT_EQ(display_manager.drawCharacter(Vector(15, 5), 'M', RED), 0);
    EXPECT_EQ(display_manager.drawCharacter(Vector(25, 8), 'M', 0, 255, 0, 0.0f), 0);
    // A later character in the same cell hides the earlier one, even a blank.
    EXPECT_EQ(display_manager.drawCharacter(Vector(35, 12), 'M', RED), 0);
    EXPECT_EQ(display_manager.drawCharacter(Vector(35, 12), ' ', RED), 0);
    const sf::Image image = captureBackBuffer();

    EXPECT_GT(countInCell(image, 10, 5, RED_PIXEL), INKED);
    EXPECT_EQ(countInCell(image, 10, 4, RED_PIXEL), 0);
    EXPECT_EQ(countInCell(image, 10, 6, RED_PIXEL), 0);
    EXPECT_EQ(countInCell(image, 9, 5, RED_PIXEL), 0);
    EXPECT_LT(countInCell(image, 11, 5, RED_PIXEL), INKED);
    EXPECT_EQ(countInCell(image, 15, 5, RED_PIXEL), 0);

    EXPECT_GT(countInCell(image, 20, 8, GREEN_PIXEL), INKED);
    // Glyphs are wider than their cells, so a sliver may stay beside the blank.
    EXPECT_LT(countInCell(image, 30, 12, RED_PIXEL), INKED);

    // Everything else is the background colour, nothing is black.
    EXPECT_GT(countInCell(image, 40, 20, BLUE_PIXEL), 400);
    EXPECT_GT(countInCell(image, 10, 5, BLUE_PIXEL), 150);
    EXPECT_EQ(countPixels(image, 0, 0, 1024, 768, BLACK_PIXEL), 0);
}

TEST_F(DisplayManagerTest, CharactersQueuedWithoutEndStillLandInOrder) {
    ASSERT_EQ(startWindowedEngine(), 0);
    DisplayManager& display_manager = DisplayManager::getInstance();
    // More characters than the queue holds before it draws into the window by itself.
    for (int i = 0; i < 100000; i++)
        display_manager.drawCharacter(Vector(3, 3), 'M', RED);
    display_manager.drawCharacter(Vector(3, 3), 'M', GREEN);
    // Thousands more piled up, each a hair to the right of the one before.
    for (int i = 0; i < 5000; i++)
        display_manager.drawCharacter(Vector(20 + static_cast<float>(i) * 2e-4f, 8), 'M', RED);
    display_manager.drawCharacter(Vector(21, 8), 'M', GREEN);
    // Nor does a character at no place at all upset the queue.
    display_manager.drawCharacter(Vector(std::nanf(""), 8), 'M', RED);
    display_manager.drawCharacter(Vector(8, std::numeric_limits<float>::infinity()), 'M', RED, 45.0f);
    const sf::Image image = captureBackBuffer();
    EXPECT_GT(countInCell(image, 3, 3, GREEN_PIXEL), INKED);
    EXPECT_LT(countInCell(image, 3, 3, RED_PIXEL), INKED);
    EXPECT_GT(countInCell(image, 21, 8, GREEN_PIXEL), INKED);
}

TEST_F(DisplayManagerTest, RotatedCharacterTurnsAboutItsOrigin) {
    ASSERT_EQ(startWindowedEngine(), 0);
    DisplayManager& display_manager = DisplayManager::getInstance();
    // A quarter turn clockwise swings the glyph from right of its origin to below-left of it.
    EXPECT_EQ(display_manager.drawCharacter(Vector(20, 10), 'M', RED, 90.0f), 0);
    const sf::Image image = captureBackBuffer();
    EXPECT_EQ(countInCell(image, 20, 10, RED_PIXEL), 0);
    EXPECT_EQ(countInCell(image, 19, 9, RED_PIXEL), 0);
    EXPECT_GT(countInCell(image, 19, 10, RED_PIXEL) + countInCell(image, 18, 10, RED_PIXEL), INKED);
}

TEST_F(DisplayManagerTest, TextJustification) {
    ASSERT_EQ(startWindowedEngine(), 0);
    DisplayManager& display_manager = DisplayManager::getInstance();
    const int left_row = 2;
    const int center_row = 5;
    const int right_row = 8;
    const int even_row = 11;
    EXPECT_EQ(display_manager.drawText(Vector(10, left_row), "III", LEFT, RED), 0);
    EXPECT_EQ(display_manager.drawText(Vector(10, center_row), "III", CENTER, RED), 0);
    EXPECT_EQ(display_manager.drawText(Vector(10, right_row), "III", RIGHT, RED), 0);
    EXPECT_EQ(display_manager.drawText(Vector(10, even_row), "IIII", CENTER, RED), 0);
    EXPECT_EQ(display_manager.drawText(Vector(10, 14), "", CENTER, RED), 0);
    const sf::Image image = captureBackBuffer();

    auto inked_columns = [&](int row) {
        std::string columns;
        for (int col = 4; col <= 14; col++)
            if (countInCell(image, col, row, RED_PIXEL) > INKED)
                columns += std::to_string(col) + " ";
        return columns;
    };
    EXPECT_EQ(inked_columns(left_row), "10 11 12 ");
    EXPECT_EQ(inked_columns(center_row), "9 10 11 ");
    EXPECT_EQ(inked_columns(right_row), "7 8 9 ");
    EXPECT_EQ(inked_columns(even_row), "8 9 10 11 ");
    EXPECT_EQ(inked_columns(14), "");
}

TEST_F(DisplayManagerTest, PresentFrameShowsThePreviousStepsDrawing) {
    ASSERT_EQ(startWindowedEngine(), 0);
    DisplayManager& display_manager = DisplayManager::getInstance();

    EXPECT_EQ(display_manager.drawCharacter(Vector(5, 5), 'M', RED), 0);
    ASSERT_EQ(display_manager.presentFrame(), 0);
    sf::Image shown = captureShown();
    EXPECT_GT(countInCell(shown, 5, 5, RED_PIXEL), INKED);
    // The hidden buffer is clear for the next step.
    EXPECT_EQ(countInCell(captureBackBuffer(), 5, 5, RED_PIXEL), 0);

    // Drawing of the current step is not shown until the next presentFrame.
    EXPECT_EQ(display_manager.drawCharacter(Vector(6, 5), 'M', GREEN), 0);
    shown = captureShown();
    EXPECT_GT(countInCell(shown, 5, 5, RED_PIXEL), INKED);
    EXPECT_EQ(countInCell(shown, 6, 5, GREEN_PIXEL), 0);

    ASSERT_EQ(display_manager.presentFrame(), 0);
    shown = captureShown();
    EXPECT_EQ(countInCell(shown, 5, 5, RED_PIXEL), 0);
    EXPECT_GT(countInCell(shown, 6, 5, GREEN_PIXEL), INKED);
}

// Draws one green character at its position and ends the game after a few steps.
class Marker : public Object {
  public:
    Marker() { registerInterest(EVENT_STEP); }
    int eventHandler(const Event* p_event) override {
        if (p_event->getType() != EVENT_STEP)
            return 0;
        if (++m_steps == 3)
            GameManager::getInstance().setGameOver();
        return 1;
    }
    int draw() override { return DisplayManager::getInstance().drawCharacter(getPosition(), 'M', GREEN); }

  private:
    int m_steps = 0;
};

TEST_F(DisplayManagerTest, GameLoopShowsWhatTheWorldDrew) {
    ASSERT_EQ(startWindowedEngine("frame_time:5,"), 0);
    auto* p_marker = new Marker;
    p_marker->setPosition(Vector(12, 7));
    GameManager::getInstance().run();
    EXPECT_GT(countInCell(captureShown(), 12, 7, GREEN_PIXEL), INKED);
}

TEST_F(DisplayManagerTest, ConfiguredWindowSizeAndZeroMeaningDesktop) {
    ASSERT_EQ(startWindowedEngine("window_horizontal_pixels:0,window_vertical_pixels:480,"), 0);
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    ASSERT_NE(p_window, nullptr);
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    EXPECT_EQ(p_window->getSize(), sf::Vector2u(sfml::videoModeWidth(desktop), 480u));
    EXPECT_FLOAT_EQ(cellHeight(), 20.0f);
}

TEST_F(DisplayManagerTest, MissingFontFailsStartUpAndKeepsTheWindowUntilShutDown) {
    EXPECT_EQ(startEngine(windowedConfig() + "font_file:no-such-font.ttf,"), -1);
    const std::string log = logText();
    EXPECT_EQ(countLines(
                  log, "DisplayManager::startUp(): Error! Unable to open font from file 'no-such-font.ttf'."),
              1);
    EXPECT_EQ(countLines(log, "GameManager::startUp(): Error! Starting display manager."), 1);
    EXPECT_FALSE(DisplayManager::getInstance().isStarted());
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    ASSERT_NE(p_window, nullptr);
    EXPECT_TRUE(p_window->isOpen());
    stopEngine();
    EXPECT_EQ(DisplayManager::getInstance().getWindow(), nullptr);
}

TEST_F(DisplayManagerTest, TheWindowLibrarysMessagesAreLogLinesWhileStarted) {
    ASSERT_EQ(startEngine(), 0);
    sf::err() << "First half, ";
    EXPECT_EQ(countLines(logText(), "First half"), 0) << "a line is written once it ends";
    sf::err() << "second half" << std::endl;
    testing::internal::CaptureStderr();
    std::thread([] { sf::err() << "From the audio thread" << std::endl; }).join();
    stopEngine();
    sf::err() << "After shut-down" << std::endl;
    const std::string err = testing::internal::GetCapturedStderr();

    const std::string log = readFile(logPath());
    // Time, then the step, then the message.
    EXPECT_EQ(countLines(log, "    0 SFML: First half, second half"), 1) << log;
    EXPECT_EQ(countLines(log, "From the audio thread"), 0) << "only the game's thread writes the log";
    EXPECT_EQ(countLines(err, "From the audio thread"), 1);
    EXPECT_EQ(countLines(log, "After shut-down"), 0);
    EXPECT_EQ(countLines(err, "After shut-down"), 1);
}

TEST_F(DisplayManagerTest, WithoutADisplayStartUpFailsAndSaysSoInsteadOfEndingTheProcess) {
    const std::string previous = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    for (const std::string display : {":4049", ""}) { // no server there; none named
        setenv("DISPLAY", display.c_str(), 1);
        testing::internal::CaptureStderr();
        EXPECT_EQ(startEngine(windowedConfig()), -1);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(countLines(logText(), "Error! Unable to open a display ('" + display + "')"), 1);
        EXPECT_EQ(countLines(err, "Starting display manager. Cause: DisplayManager::startUp(): Error! Unable "
                                  "to open a display"),
                  1)
            << err;
        stopEngine();
    }
    setenv("DISPLAY", previous.c_str(), 1);
}

TEST_F(DisplayManagerTest, ImpossibleWindowSizesAreRefused) {
    EXPECT_EQ(startEngine(headlessConfig() + "window_horizontal_chars:0,"), -1);
    EXPECT_EQ(countLines(logText(),
                         "DisplayManager::startUp(): Error! Window of 1024 x 768 pixels and 0 x 24 "
                         "characters is not possible."),
              1);
    EXPECT_FALSE(DisplayManager::getInstance().isStarted());
    stopEngine();

    EXPECT_EQ(startEngine(windowedConfig() + "window_horizontal_pixels:100000,window_horizontal_chars:80,"),
              -1);
    EXPECT_EQ(countLines(logText(),
                         "DisplayManager::startUp(): Error! Window of 100000 x 768 pixels and 80 x 24 "
                         "characters is not possible."),
              1);
    EXPECT_EQ(DisplayManager::getInstance().getWindow(), nullptr);
}

TEST_F(DisplayManagerTest, ColorToSfmlGivesWhiteForColoursWithoutValues) {
    ASSERT_EQ(LogManager::getInstance().startUp(), 0);
    LogManager::getInstance().setLogLevel(5);
    EXPECT_EQ(colorToSFML(MAGENTA), sf::Color(255, 0, 255, 255));
    EXPECT_EQ(colorToSFML(BLACK), sf::Color(0, 0, 0, 255));
    EXPECT_EQ(colorToSFML(CUSTOM), sf::Color(255, 255, 255, 255));
    EXPECT_EQ(colorToSFML(static_cast<Color>(12)), sf::Color(255, 255, 255, 255));
    const std::string log = logText();
    EXPECT_EQ(countLines(log, "colorToSFML(): Color is CUSTOM."), 1);
    EXPECT_EQ(countLines(log, "colorToSFML(): Color 12 not supported."), 1);
    LogManager::getInstance().shutDown();
}

} // namespace
} // namespace vt::test
