#pragma once

#include <climits>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "core/ConfigSetting.h"
#include "core/TextTables.h"
#include "vintrel/core/Color.h"

// Every engine setting, described once: Config resets, reads, records,
// replays and logs them by walking this table. To add a setting, add its row
// (and its line in docs/configuration.md, which a test compares with the
// table); a getter of its own is optional, Config::getSettingNumber and
// Config::getSettingText read any row by key.
namespace vt::config {

/// Longest step in milliseconds: longer is no longer a game loop. 0 runs
/// the loop without sleeping.
inline constexpr int MAX_FRAME_TIME = 1000;
/// No screen is this many times larger than a window of a few hundred pixels.
inline constexpr int MAX_WINDOW_SCALE = 16;
/// Widest and tallest window, in pixels, that the display opens: larger ones
/// exceed what X and the renderer can hold.
inline constexpr int MAX_WINDOW_PIXELS = 16384;
/// Most cells the collision grid allocates for the world at start-up.
inline constexpr int MAX_GRID_CELLS = 1 << 20;
/// A mebibyte count whose bytes still fit comfortably in 64 bits.
inline constexpr int MAX_LOGFILE_MAX_MB = 1 << 20;

/// The window style's one name, for 0.
inline constexpr const char* WINDOW_STYLE_NAMES[] = {"none"};
/// The window states by number: 0 windowed, 1 full screen.
inline constexpr const char* WINDOW_STATE_NAMES[] = {"default", "fullscreen"};
/// The window scale's one name, for 0: as large as fits the desktop.
inline constexpr const char* WINDOW_SCALE_NAMES[] = {"auto"};

/// The summary's fixed line "  Scene graph: grid" comes at this place: the
/// scene graph is always the grid, and the line stands before its cell size.
inline constexpr int SCENE_GRAPH_SUMMARY_PLACE = 21;

/// The settings, in the order loadConfig reads them and a recording's
/// settings list them.
inline constexpr ConfigSetting TABLE[] = {
    intSetting("frame_time", 33)
        .within(0, MAX_FRAME_TIME)
        .refusedAs("frame time")
        .replayedFromRecording()
        .summary(6, "Frame time"),
    floatSetting("font_scale", 2.0f).recorded(),
    intSetting("window_horizontal_pixels", 1024)
        .startsWithin(0, MAX_WINDOW_PIXELS)
        .recorded()
        .summary(1, "Window horizontal pixels"),
    intSetting("window_vertical_pixels", 768)
        .startsWithin(0, MAX_WINDOW_PIXELS)
        .recorded()
        .summary(2, "Window vertical pixels"),
    intSetting("window_horizontal_chars", 80)
        .startsWithin(1, INT_MAX)
        .replayedFromRecording()
        .summary(3, "Window horizontal characters"),
    intSetting("window_vertical_chars", 24)
        .startsWithin(1, INT_MAX)
        .replayedFromRecording()
        .summary(4, "Window vertical characters"),
    intSetting("window_background_color", BLACK)
        .named(text::COLOR_NAMES)
        .refusedAs("window color")
        .recorded()
        .summary(5, "Window background color"),
    intSetting("window_style", 5)
        .nonZero()
        .named(WINDOW_STYLE_NAMES)
        .refusedAs("window style")
        .recorded()
        .summary(7, "Window style"),
    intSetting("window_state", 0)
        .named(WINDOW_STATE_NAMES)
        .refusedAs("window state")
        .recorded()
        .summary(8, "Window state")
        .summaryByName(),
    intSetting("window_scale", 1)
        .digitsWithin(1, MAX_WINDOW_SCALE)
        .named(WINDOW_SCALE_NAMES)
        .refusedAs("window scale")
        .summary(9, "Window scale")
        .summaryByName(),
    textSetting("window_title", "Vintrel").recorded().summary(10, "Window title"),
    boolSetting("show_mouse", false).recorded().summary(11, "Show mouse"),
    boolSetting("headless", false).summary(12, "Headless"),
    textSetting("font_file", "vt-font.ttf").recorded().summary(13, "Font file"),
    textSetting("logfile", "vintrel.log").summary(14, "Log file"),
    intSetting("random_seed", 0).replayedFromRecording().summary(15, "Random seed"),
    boolSetting("networking", true).recorded().summary(16, "Networking"),
    intSetting("grid_width", 20).startsWithin(1, INT_MAX).replayedFromRecording().summary(22, "Grid width"),
    intSetting("grid_height", 8).startsWithin(1, INT_MAX).replayedFromRecording().summary(23, "Grid height"),
    intSetting("quadtree_depth", 10).replayedFromRecording(),
    intSetting("quadtree_threshold", 1).replayedFromRecording(),
    boolSetting("signals", true).recorded(),
    intSetting("logfile_max_mb", 64).within(1, MAX_LOGFILE_MAX_MB).refusedAs("log file size"),
    intSetting("network_backlog", 4 << 20)
        .within(1024, 1 << 30)
        .refusedAs("network backlog")
        .summary(17, "Network backlog"),
    intSetting("network_connect_timeout", 3000)
        .within(1, 600000)
        .refusedAs("connect timeout")
        .summary(18, "Network connect timeout"),
    // Each watcher holds a descriptor and up to a backlog of memory on the host.
    intSetting("max_watchers", 16).within(1, 1024).refusedAs("watcher count").summary(19, "Max watchers"),
    intSetting("watch_timeout", 10000)
        .within(1, 600000)
        .refusedAs("watch timeout")
        .summary(20, "Watch timeout"),
    textSetting("game_name", ""),
    // Decides which objects collide, so a replay must run with it.
    boolSetting("sprite_box_inset", false).replayedWhenSet(),
    // Where data files are looked for, and the font drawn without a font
    // file: neither changes what happens in a run, so recordings leave them out.
    boolSetting("data_paths", true),
    boolSetting("builtin_font", true),
    // Neither is recorded: the overlay and reloading never change a run.
    textSetting("debug_overlay_key", "F12"),
    boolSetting("sprite_reload", false),
};

/// Number of settings.
inline constexpr std::size_t COUNT = std::size(TABLE);

/// The row of the setting with this key; COUNT when no row has it.
constexpr std::size_t rowOf(std::string_view key) {
    for (std::size_t row = 0; row < COUNT; row++)
        if (key == TABLE[row].key)
            return row;
    return COUNT;
}

/// The default of the number setting with this key, which must have a row.
constexpr int defaultNumber(std::string_view key) { return TABLE[rowOf(key)].default_number; }

} // namespace vt::config
