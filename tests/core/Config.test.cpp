#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/EngineTest.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"

namespace vt::test {
namespace {

class ConfigTest : public EngineTest {
  protected:
    Config& config() { return Config::getInstance(); }
    /// Loads the text as a configuration file and returns what went to standard error.
    std::string loadFile(const std::string& text) {
        writeConfig(text);
        testing::internal::CaptureStderr();
        config().loadConfig("");
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(ConfigTest, MissingFileKeepsEveryDefault) {
    setenv("VINTREL_CONFIG", dir().file("nowhere.txt").c_str(), 1);
    config().loadConfig("");
    EXPECT_EQ(config().getWindowHorizontalPixels(), 1024);
    EXPECT_EQ(config().getWindowVerticalPixels(), 768);
    EXPECT_EQ(config().getWindowHorizontalChars(), 80);
    EXPECT_EQ(config().getWindowVerticalChars(), 24);
    EXPECT_EQ(config().getWindowStyle(), 5);
    EXPECT_EQ(config().getWindowState(), 0);
    EXPECT_EQ(config().getWindowScale(), 1);
    EXPECT_EQ(config().getWindowBackgroundColor(), BLACK);
    EXPECT_EQ(config().getFrameTime(), 33);
    EXPECT_FLOAT_EQ(config().getFontScale(), 2.0f);
    EXPECT_EQ(config().getWindowTitle(), "Vintrel");
    EXPECT_FALSE(config().getShowMouse());
    EXPECT_FALSE(config().getHeadless());
    EXPECT_EQ(config().getFontFile(), "vt-font.ttf");
    EXPECT_EQ(config().getLogFile(), "vintrel.log");
    EXPECT_EQ(config().getRandomSeed(), 0);
    EXPECT_TRUE(config().getNetworking());
    EXPECT_EQ(config().getGridWidth(), 20);
    EXPECT_EQ(config().getGridHeight(), 8);
}

TEST_F(ConfigTest, MissingFileIsALevelOneMessageOnly) {
    setenv("VINTREL_CONFIG", dir().file("nowhere.txt").c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(config().readConfig(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(ConfigTest, ReadsEveryKeyIgnoringCommentsBlanksAndCarriageReturns) {
    loadFile("# a comment:with,commas\r\n"
             "window_horizontal_pixels:640,\r\n"
             "window_vertical_pixels : 480 ,\n"
             "window_horizontal_chars:40,window_vertical_chars:12,\n"
             "\n"
             "frame_time:25,\tfont_scale:1.5,\n"
             "window_background_color:blue,\n"
             "window_style:7,\n"
             "window_state:fullscreen,\n"
             "window_scale:3,\n"
             "window_title:Rock Field,\n"
             "show_mouse:true,\n"
             "headless:true,\n"
             "font_file:other.ttf,\n"
             "logfile:other.log,\n"
             "random_seed:-7,\n"
             "networking:false,\n"
             "grid_width:10,\n"
             "grid_height:4,\n");
    EXPECT_EQ(config().getWindowHorizontalPixels(), 640);
    EXPECT_EQ(config().getWindowVerticalPixels(), 480);
    EXPECT_EQ(config().getWindowHorizontalChars(), 40);
    EXPECT_EQ(config().getWindowVerticalChars(), 12);
    EXPECT_EQ(config().getFrameTime(), 25);
    EXPECT_FLOAT_EQ(config().getFontScale(), 1.5f);
    EXPECT_EQ(config().getWindowBackgroundColor(), BLUE);
    EXPECT_EQ(config().getWindowStyle(), 7);
    EXPECT_EQ(config().getWindowState(), 1);
    EXPECT_EQ(config().getWindowScale(), 3);
    EXPECT_EQ(config().getWindowTitle(), "RockField");
    EXPECT_TRUE(config().getShowMouse());
    EXPECT_TRUE(config().getHeadless());
    EXPECT_EQ(config().getFontFile(), "other.ttf");
    EXPECT_EQ(config().getLogFile(), "other.log");
    EXPECT_EQ(config().getRandomSeed(), -7);
    EXPECT_FALSE(config().getNetworking());
    EXPECT_EQ(config().getGridWidth(), 10);
    EXPECT_EQ(config().getGridHeight(), 4);
}

TEST_F(ConfigTest, LinesAreJoinedWithoutSeparatorSoAMissingCommaSwallowsTheNextEntry) {
    loadFile("frame_time:25\nfont_scale:3,\n");
    EXPECT_EQ(config().getFrameTime(), 25);
    EXPECT_FLOAT_EQ(config().getFontScale(), 2.0f);
}

TEST_F(ConfigTest, FirstOccurrenceWinsAndCommentNeedsTheFirstColumn) {
    loadFile("frame_time:20,\nframe_time:40,\n  # note,window_horizontal_chars:10,\n");
    EXPECT_EQ(config().getFrameTime(), 20);
    // Only a '#' in the first column starts a comment: this line counts.
    EXPECT_EQ(config().getWindowHorizontalChars(), 10);
}

TEST_F(ConfigTest, UnsupportedNamesAreLoggedAndIgnored) {
    const std::string err = loadFile("window_background_color:Yellow,window_style:0,window_state:maximised,"
                                     "show_mouse:TRUE,window_scale:0,");
    EXPECT_NE(err.find("loadConfig(): Unsupported window color 'Yellow'"), std::string::npos);
    EXPECT_NE(err.find("loadConfig(): Unsupported window style '0'"), std::string::npos);
    EXPECT_NE(err.find("loadConfig(): Unsupported window state 'maximised'"), std::string::npos);
    EXPECT_NE(err.find("loadConfig(): Unsupported window scale '0'"), std::string::npos);
    EXPECT_NE(loadFile("window_scale:2x,").find("loadConfig(): Unsupported window scale '2x'"),
              std::string::npos);
    EXPECT_EQ(config().getWindowBackgroundColor(), BLACK);
    EXPECT_EQ(config().getWindowStyle(), 5);
    EXPECT_EQ(config().getWindowState(), 0);
    EXPECT_EQ(config().getWindowScale(), 1);
    EXPECT_FALSE(config().getShowMouse());

    loadFile("window_background_color:yellow,window_style:none,window_scale:auto,");
    EXPECT_EQ(config().getWindowBackgroundColor(), YELLOW);
    EXPECT_EQ(config().getWindowStyle(), 0);
    EXPECT_EQ(config().getWindowScale(), 0);

    const std::string network_err =
        loadFile("network_backlog:10,network_connect_timeout:0,max_watchers:0,watch_timeout:-5,");
    EXPECT_NE(network_err.find("loadConfig(): Unsupported network backlog '10'"), std::string::npos);
    EXPECT_NE(network_err.find("loadConfig(): Unsupported connect timeout '0'"), std::string::npos);
    EXPECT_NE(network_err.find("loadConfig(): Unsupported watcher count '0'"), std::string::npos);
    EXPECT_NE(network_err.find("loadConfig(): Unsupported watch timeout '-5'"), std::string::npos);
    EXPECT_EQ(config().getNetworkBacklog(), 4 << 20);
    EXPECT_EQ(config().getNetworkConnectTimeout(), 3000);
    EXPECT_EQ(config().getMaxWatchers(), 16);
    EXPECT_EQ(config().getWatchTimeout(), 10000);
    loadFile("network_backlog:65536,network_connect_timeout:250,max_watchers:40,watch_timeout:1500,");
    EXPECT_EQ(config().getNetworkBacklog(), 65536);
    EXPECT_EQ(config().getNetworkConnectTimeout(), 250);
    EXPECT_EQ(config().getMaxWatchers(), 40);
    EXPECT_EQ(config().getWatchTimeout(), 1500);
}

TEST_F(ConfigTest, MalformedAndOutOfRangeNumbers) {
    loadFile("frame_time:fast,random_seed:99999999999999999999,grid_width:12abc,");
    EXPECT_EQ(config().getFrameTime(), 33);
    EXPECT_EQ(config().getRandomSeed(), 2147483647);
    EXPECT_EQ(config().getGridWidth(), 12);
}

TEST_F(ConfigTest, FrameTimeOutsideZeroToAThousandMillisecondsIsRefused) {
    for (const char* value : {"-8", "1001", "99999999999999", "fast"}) {
        SCOPED_TRACE(value);
        const std::string err = loadFile(std::string("frame_time:") + value + ",");
        EXPECT_EQ(config().getFrameTime(), 33);
        EXPECT_EQ(countLines(err, std::string("loadConfig(): Unsupported frame time '") + value + "'"), 1);
    }
    // 0 runs the game loop without sleeping.
    for (int value : {0, 1, 1000, 33}) {
        EXPECT_EQ(loadFile("frame_time:" + std::to_string(value) + ","), "");
        EXPECT_EQ(config().getFrameTime(), value);
    }
}

TEST_F(ConfigTest, OversizedFileIsRefused) {
    std::string huge = "frame_time:20,\n";
    huge += std::string(2 * 1024 * 1024, 'x');
    huge += "\n";
    const std::string err = loadFile(huge);
    EXPECT_NE(err.find("is larger than"), std::string::npos);
    EXPECT_EQ(config().getFrameTime(), 33);
}

TEST_F(ConfigTest, SummaryIsWrittenAtLevelOne) {
    ASSERT_EQ(startEngine(headlessConfig()), 0);
    // The log level is 0, so the level-1 summary stays out of the log.
    EXPECT_EQ(countLines(logText(), "Vintrel configuration:"), 0);
    LogManager::getInstance().setLogLevel(1);
    config().logConfig();
    const std::string text = logText();
    EXPECT_EQ(countLines(text, "-----------------------------------"), 2);
    EXPECT_EQ(countLines(text, "  Headless: true"), 1);
    EXPECT_EQ(countLines(text, "  Networking: false"), 1);
    EXPECT_EQ(countLines(text, "  Window state: default"), 1);
    EXPECT_EQ(countLines(text, "  Window scale: 1"), 1);
    EXPECT_EQ(countLines(text, "  Scene graph: grid"), 1);
    EXPECT_EQ(countLines(text, "  Random seed: 42"), 1);
}

TEST_F(ConfigTest, SummaryAndRecordedSettingsKeepTheirOrderAndForm) {
    ASSERT_EQ(startEngine(headlessConfig() + "window_state:fullscreen,window_scale:auto,"), 0);
    LogManager::getInstance().setLogLevel(1);
    config().logConfig();
    // Each line's message follows the time and the step: "14:02:07    0 ".
    std::istringstream log(logText());
    std::string summary;
    int dashes = 0;
    for (std::string line; std::getline(log, line) && dashes < 2;) {
        const std::string message = line.size() > 14 ? line.substr(14) : "";
        if (message == "-----------------------------------")
            dashes++;
        else if (dashes == 1)
            summary += message + "|";
    }
    EXPECT_EQ(summary,
              "Vintrel configuration:|  Window horizontal pixels: 1024|  Window vertical pixels: 768|"
              "  Window horizontal characters: 80|  Window vertical characters: 24|"
              "  Window background color: 0|  Frame time: 33|  Window style: 5|"
              "  Window state: fullscreen|  Window scale: auto|  Window title: Vintrel|"
              "  Show mouse: false|  Headless: true|  Font file: vt-font.ttf|  Log file: vintrel.log|"
              "  Random seed: 42|  Networking: false|  Network backlog: 4194304|"
              "  Network connect timeout: 3000|  Max watchers: 16|  Watch timeout: 10000|"
              "  Scene graph: grid|  Grid width: 20|  Grid height: 8|");

    // A recording's settings are a file format: entries, order and spelling stay.
    config().reset();
    config().loadConfig("window_style:none,font_scale:0.1,window_background_color:cyan,");
    EXPECT_EQ(config().runSettingsText(),
              "frame_time:33,font_scale:0.100000001,window_horizontal_pixels:1024,window_vertical_pixels:768,"
              "window_horizontal_chars:80,window_vertical_chars:24,window_background_color:cyan,"
              "window_style:none,window_state:default,window_title:Vintrel,show_mouse:false,"
              "font_file:vt-font.ttf,random_seed:0,networking:true,grid_width:20,grid_height:8,"
              "quadtree_depth:10,quadtree_threshold:1,signals:true,");
}

TEST_F(ConfigTest, TheSpriteBoxInsetIsRecordedOnlyWhenOnAndThenReplayed) {
    EXPECT_EQ(config().runSettingsText().find("sprite_box_inset"), std::string::npos);
    config().loadConfig("sprite_box_inset:true,");
    EXPECT_NE(Config::replayedSettingsText(config().runSettingsText()).find("sprite_box_inset:true,"),
              std::string::npos);
}

TEST_F(ConfigTest, AReplayTakesFromARecordingOnlyWhatDecidesTheRun) {
    const std::string recorded = "logfile:/etc/passwd,logfile_max_mb:1,networking:true,signals:false,"
                                 "network_backlog:2048,headless:false,font_file:/dev/zero,window_title:x,"
                                 "window_horizontal_pixels:640,frame_time:0,window_horizontal_chars:40,"
                                 "window_vertical_chars:12,random_seed:9,grid_width:5,grid_height:3,"
                                 "quadtree_depth:2,quadtree_threshold:3,";
    EXPECT_EQ(Config::replayedSettingsText(recorded),
              "frame_time:0,window_horizontal_chars:40,window_vertical_chars:12,random_seed:9,grid_width:5,"
              "grid_height:3,quadtree_depth:2,quadtree_threshold:3,");
    EXPECT_EQ(Config::checkRunSettings(recorded), "");
    EXPECT_EQ(Config::checkRunSettings(config().runSettingsText()), "");

    const struct {
        const char* settings;
        const char* why;
    } refused[] = {
        {"window_vertical_chars:0,",
         "window_vertical_chars:0, with which the engine cannot start (it takes 1"},
        {"grid_width:0,", "grid_width:0, with which"},
        {"grid_height:-8,", "grid_height:-8, with which"},
        {"window_horizontal_pixels:100000000,", "window_horizontal_pixels:100000000, with which"},
        {"window_vertical_pixels:-1,", "window_vertical_pixels:-1, with which"},
        {"frame_time:5000,", "frame_time:5000, a value the engine does not take"},
        {"window_state:maximised,", "window_state:maximised, a value"},
        {"window_horizontal_chars:100000,window_vertical_chars:100000,grid_width:1,grid_height:1,",
         "a collision grid of 10000000000 cells, more than the 1048576"},
        {"window_horizontal_chars:20481,grid_width:20,window_vertical_chars:8193,grid_height:8,",
         "a collision grid of 1050625 cells"},
    };
    for (const auto& settings : refused) {
        SCOPED_TRACE(settings.settings);
        const std::string why = Config::checkRunSettings(std::string(settings.settings) + recorded);
        EXPECT_EQ(why.rfind("its settings ", 0), 0u) << why;
        EXPECT_NE(why.find(settings.why), std::string::npos) << why;
    }
    // The largest world the grid still holds.
    EXPECT_EQ(Config::checkRunSettings("window_horizontal_chars:20480,window_vertical_chars:8192,"), "");
}

TEST_F(ConfigTest, AnySettingCanBeReadByItsKey) {
    loadFile("window_background_color:red,window_scale:auto,font_scale:1.5,headless:true,");
    const std::pair<const char*, const char*> texts[] = {
        {"window_background_color", "red"},
        {"window_scale", "auto"},
        {"font_scale", "1.5"},
        {"headless", "true"},
        {"frame_time", "33"},
        {"logfile", "vintrel.log"},
    };
    for (const auto& [key, text] : texts)
        EXPECT_EQ(config().getSettingText(key), text) << key;
    EXPECT_EQ(config().getSettingNumber("window_background_color"), RED);
    EXPECT_EQ(config().getSettingNumber("headless"), 1);
    EXPECT_EQ(config().getSettingNumber("network_backlog"), 4 << 20);

    testing::internal::CaptureStderr();
    EXPECT_EQ(config().getSettingText("frame_tme"), "");
    EXPECT_EQ(config().getSettingNumber("window_title"), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countLines(err, "Config::getSettingText(): Error! No setting 'frame_tme'."), 1) << err;
    EXPECT_EQ(countLines(err, "Config::getSettingNumber(): Error! No number setting 'window_title'."), 1)
        << err;
}

} // namespace
} // namespace vt::test
