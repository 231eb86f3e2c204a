#pragma once

#include <string>

#include "vintrel/core/Color.h"

namespace vt {

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

    /// Window width in pixels; 0 takes the desktop's.
    int getWindowHorizontalPixels() const { return m_window_horizontal_pixels; }
    /// Window height in pixels; 0 takes the desktop's.
    int getWindowVerticalPixels() const { return m_window_vertical_pixels; }
    /// Window width in character cells.
    int getWindowHorizontalChars() const { return m_window_horizontal_chars; }
    /// Window height in character cells.
    int getWindowVerticalChars() const { return m_window_vertical_chars; }
    /// Window style bit mask (titlebar 1, resize 2, close 4).
    int getWindowStyle() const { return m_window_style; }
    /// 0 windowed, 1 full screen.
    int getWindowState() const { return m_window_state; }
    /// Whole factor the window's pixels are multiplied by, keeping its cells;
    /// 0 for "auto", the largest that fits the desktop.
    int getWindowScale() const { return m_window_scale; }
    /// Colour the window is cleared to before each frame.
    Color getWindowBackgroundColor() const { return m_window_background_color; }
    /// Milliseconds per step, 1 to 1000.
    int getFrameTime() const { return m_frame_time; }
    /// Glyph size as a multiple of the smaller cell side.
    float getFontScale() const { return m_font_scale; }
    /// Text of the window's title bar.
    std::string getWindowTitle() const { return m_window_title; }
    /// Whether the mouse pointer shows over the window.
    bool getShowMouse() const { return m_show_mouse; }
    /// True: no window and no input; drawing calls return -1.
    bool getHeadless() const { return m_headless; }
    /// TrueType font file, relative to the working directory.
    std::string getFontFile() const { return m_font_file; }
    /// Log file name (VINTREL_LOG takes precedence).
    std::string getLogFile() const { return m_logfile; }
    /// Seed of the random generator; 0 seeds from the clock, -1 leaves it unseeded.
    int getRandomSeed() const { return m_random_seed; }
    /// Whether start-up starts the network manager.
    bool getNetworking() const { return m_networking; }
    /// Read for compatibility; unused.
    int getQuadtreeThreshold() const { return m_quadtree_threshold; }
    /// Read for compatibility; unused.
    int getQuadtreeDepth() const { return m_quadtree_depth; }
    /// Grid cell width and height, in spaces.
    int getGridWidth() const { return m_grid_width; }
    /// Grid cell height, in spaces.
    int getGridHeight() const { return m_grid_height; }
    /// True when SIGINT and SIGTERM end the game loop and shut down cleanly.
    bool getSignals() const { return m_signals; }
    /// Size limit of the log file, in mebibytes.
    int getLogfileMaxMb() const { return m_logfile_max_mb; }
    /// Most bytes held for one network connection before it is closed.
    int getNetworkBacklog() const { return m_network_backlog; }
    /// Milliseconds a network connection may take to be made.
    int getNetworkConnectTimeout() const { return m_network_connect_timeout; }
    /// Watchers a world host serves at once (connections its network manager accepts).
    int getMaxWatchers() const { return m_max_watchers; }
    /// Milliseconds a watcher waits for the host's game to begin before it gives up.
    int getWatchTimeout() const { return m_watch_timeout; }

  private:
    Config();

    int m_window_horizontal_pixels;
    int m_window_vertical_pixels;
    int m_window_horizontal_chars;
    int m_window_vertical_chars;
    int m_window_style;
    int m_window_state;
    int m_window_scale; // 0: as large as fits the desktop
    Color m_window_background_color;
    int m_frame_time; // milliseconds
    float m_font_scale;
    std::string m_window_title;
    bool m_show_mouse;
    bool m_headless;
    std::string m_font_file;
    std::string m_logfile;
    int m_random_seed;
    bool m_networking;
    int m_quadtree_threshold;
    int m_quadtree_depth;
    int m_grid_width;
    int m_grid_height;
    bool m_signals;
    int m_logfile_max_mb;
    int m_network_backlog;         // bytes
    int m_network_connect_timeout; // milliseconds
    int m_max_watchers;
    int m_watch_timeout; // milliseconds
};

} // namespace vt
