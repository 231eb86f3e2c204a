#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vintrel/core/Color.h"

namespace vt {

/// One row of the engine's table of settings; defined inside the engine.
struct ConfigSetting;

/// The engine's settings, read once at start-up from a text of key:value
/// entries separated by commas. Every setting has a default.
class Config {
  public:
    /// The one configuration, made on first use.
    static Config& getInstance();
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    /// Applies every known key found in the text; an empty text means: read
    /// the configuration file (VINTREL_CONFIG, else "vt-config.txt") first.
    void loadConfig(std::string config);
    /// Reads the configuration file into one text, lines joined without
    /// separator. A file that is not a regular one, cannot be read or is over
    /// 1 MiB gives an empty text and a line on standard error.
    std::string readConfig() const;
    /// Writes the settings summary to the log (level 1).
    void logConfig() const;
    /// Puts every setting back to its default.
    void reset();
    /// Every setting that shapes what happens in a run, as key:value entries
    /// that loadConfig reads back; not the log file nor headless, which only
    /// say where the run is written and shown.
    [[nodiscard]] std::string runSettingsText() const;
    /// The entries of a recording's settings text that a replay applies: the
    /// settings that decide what happens in the run (frame time, the window's
    /// cells, the random seed, the grid), never the log file, networking,
    /// signals or how the window looks, which stay the replayer's own.
    [[nodiscard]] static std::string replayedSettingsText(const std::string& run_settings);
    /// Why start-up would refuse a recording's settings text, in one line (a
    /// value no setting takes, a window the display cannot open, a grid too
    /// large); empty when it would take them. Checked before anything starts.
    [[nodiscard]] static std::string checkRunSettings(const std::string& run_settings);

    /// A setting's value as a configuration file writes it ("33", "black",
    /// "true"), for any key; empty, after a log line, for a key no setting has.
    [[nodiscard]] std::string getSettingText(const std::string& key) const;
    /// A number, flag (1 or 0) or named setting's number (a colour's, a
    /// window state's); 0, after a log line, for a key no such setting has.
    [[nodiscard]] int getSettingNumber(const std::string& key) const;

    /// Window width in pixels; 0 takes the desktop's.
    int getWindowHorizontalPixels() const;
    /// Window height in pixels; 0 takes the desktop's.
    int getWindowVerticalPixels() const;
    /// Window width in character cells.
    int getWindowHorizontalChars() const;
    /// Window height in character cells.
    int getWindowVerticalChars() const;
    /// Window style bit mask (titlebar 1, resize 2, close 4).
    int getWindowStyle() const;
    /// 0 windowed, 1 full screen.
    int getWindowState() const;
    /// Whole factor the window's pixels are multiplied by, keeping its cells;
    /// 0 for "auto", the largest that fits the desktop.
    int getWindowScale() const;
    /// Colour the window is cleared to before each frame.
    Color getWindowBackgroundColor() const;
    /// Milliseconds per step, 0 to 1000; 0 runs the game loop without sleeping.
    int getFrameTime() const;
    /// Glyph size as a multiple of the smaller cell side.
    float getFontScale() const;
    /// Text of the window's title bar.
    std::string getWindowTitle() const;
    /// Whether the mouse pointer shows over the window.
    bool getShowMouse() const;
    /// True: no window and no input; drawing calls return -1.
    bool getHeadless() const;
    /// TrueType font file, relative to the working directory (see findDataFile).
    std::string getFontFile() const;
    /// Log file name (VINTREL_LOG takes precedence).
    std::string getLogFile() const;
    /// Seed of the random generator; 0 seeds from the clock, -1 leaves it unseeded.
    int getRandomSeed() const;
    /// Whether start-up starts the network manager.
    bool getNetworking() const;
    /// Read for compatibility; unused.
    int getQuadtreeThreshold() const;
    /// Read for compatibility; unused.
    int getQuadtreeDepth() const;
    /// Grid cell width and height, in spaces.
    int getGridWidth() const;
    /// Grid cell height, in spaces.
    int getGridHeight() const;
    /// True when SIGINT and SIGTERM end the game loop and shut down cleanly.
    bool getSignals() const;
    /// True when objects start with the inset sprite box (Object::setSpriteBoxInset).
    bool getSpriteBoxInset() const;
    /// Size limit of the log file, in mebibytes.
    int getLogfileMaxMb() const;
    /// Most bytes held for one network connection before it is closed.
    int getNetworkBacklog() const;
    /// Milliseconds a network connection may take to be made.
    int getNetworkConnectTimeout() const;
    /// Watchers a world host serves at once (connections its network manager accepts).
    int getMaxWatchers() const;
    /// Milliseconds a watcher waits for the host's game to begin before it gives up.
    int getWatchTimeout() const;
    /// The game's name for its save data folder (SaveData) and its installed
    /// data folder (findDataFile); empty unless set.
    std::string getGameName() const;
    /// True when data files missing from the working directory are looked for
    /// beside the program and in the installed data folders (findDataFile).
    bool getDataPaths() const;
    /// True when a game whose font file is found nowhere, and whose
    /// `font_file` is left at its default, draws with the library's own font.
    bool getBuiltinFont() const;

  private:
    // One setting's value; its row's kind says which member counts (flags
    // and named values are numbers).
    struct Value {
        int number = 0;
        float real = 0.0f;
        std::string text;
    };

    Config();

    // The value of a row's setting as text read from a configuration; false
    // (and the value untouched) when the row refuses the text.
    static bool parse(const ConfigSetting& setting, const std::string& text, Value* p_value);
    // The value as a configuration file writes it.
    static std::string format(const ConfigSetting& setting, const Value& value);
    // Every row's default, in the table's order.
    static std::vector<Value> defaultValues();

    // The getters' reads: the row is found while compiling, and a key
    // without a row, or a getter of another kind, stops the build.
    template <std::size_t ROW> [[nodiscard]] int intAt() const;
    template <std::size_t ROW> [[nodiscard]] bool boolAt() const;
    template <std::size_t ROW> [[nodiscard]] float floatAt() const;
    template <std::size_t ROW> [[nodiscard]] const std::string& textAt() const;

    // One value per row of the settings table, in its order.
    std::vector<Value> m_values;
};

} // namespace vt
