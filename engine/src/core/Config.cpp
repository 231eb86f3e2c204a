#include "vintrel/core/Config.h"

#include <cstdio>
#include <cstdlib>

#include "core/TextTables.h"
#include "platform/BoundedFileRead.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Utility.h"

namespace vt {

namespace {

using text::boolText;
using text::COLOR_NAMES;
using text::toInt;

bool toBool(const std::string& value) { return value == "true"; }

// No screen is this many times larger than a window of a few hundred pixels.
constexpr int MAX_WINDOW_SCALE = 16;

// A configuration is a few hundred bytes; anything this large is not one.
constexpr std::size_t MAX_CONFIG_BYTES = 1 << 20;

// Steps shorter than a millisecond spin the processor; longer than a second
// is no longer a game loop.
constexpr int MIN_FRAME_TIME = 1;
constexpr int MAX_FRAME_TIME = 1000;

constexpr int DEFAULT_LOGFILE_MAX_MB = 64;
// A mebibyte count whose bytes still fit comfortably in 64 bits.
constexpr int MAX_LOGFILE_MAX_MB = 1 << 20;

constexpr int DEFAULT_NETWORK_BACKLOG = 4 << 20;
constexpr int DEFAULT_NETWORK_CONNECT_TIMEOUT = 3000;
// Each watcher holds a descriptor and up to a backlog of memory on the host.
constexpr int DEFAULT_MAX_WATCHERS = 16;
constexpr int MAX_MAX_WATCHERS = 1024;
constexpr int DEFAULT_WATCH_TIMEOUT = 10000;

} // namespace

Config::Config() { reset(); }

Config& Config::getInstance() {
    static Config config;
    return config;
}

void Config::reset() {
    m_window_horizontal_pixels = 1024;
    m_window_vertical_pixels = 768;
    m_window_horizontal_chars = 80;
    m_window_vertical_chars = 24;
    m_window_style = 5;
    m_window_state = 0;
    m_window_scale = 1;
    m_window_background_color = BLACK;
    m_frame_time = 33;
    m_font_scale = 2.0f;
    m_window_title = "Vintrel";
    m_show_mouse = false;
    m_headless = false;
    m_font_file = "vt-font.ttf";
    m_logfile = "vintrel.log";
    m_random_seed = 0;
    m_networking = true;
    m_quadtree_threshold = 1;
    m_quadtree_depth = 10;
    m_grid_width = 20;
    m_grid_height = 8;
    m_signals = true;
    m_logfile_max_mb = DEFAULT_LOGFILE_MAX_MB;
    m_network_backlog = DEFAULT_NETWORK_BACKLOG;
    m_network_connect_timeout = DEFAULT_NETWORK_CONNECT_TIMEOUT;
    m_max_watchers = DEFAULT_MAX_WATCHERS;
    m_watch_timeout = DEFAULT_WATCH_TIMEOUT;
}

std::string Config::readConfig() const {
    const char* env_name = std::getenv("VINTREL_CONFIG");
    const std::string file_name = env_name ? std::string(env_name) : std::string("vt-config.txt");
    const std::string quoted_name = clipForLog(file_name);
    LogManager& log_manager = LogManager::getInstance();

    std::string file_text;
    std::string reason;
    switch (platform::readRegularFile(file_name, MAX_CONFIG_BYTES, &file_text, &reason)) {
    case platform::FileRead::OK:
        break;
    case platform::FileRead::ABSENT:
        log_manager.writeLog(1, "Config::readConfig(): Cannot open Vintrel configuration file '%s'.",
                             quoted_name.c_str());
        return "";
    case platform::FileRead::NOT_REGULAR:
        log_manager.writeLogAndStderr("Config::readConfig(): Error! Configuration file '%s' is not a regular "
                                      "file. Ignored; using the defaults.",
                                      quoted_name.c_str());
        return "";
    case platform::FileRead::UNREADABLE:
        log_manager.writeLogAndStderr("Config::readConfig(): Error! Cannot read configuration file '%s': %s. "
                                      "Ignored; using the defaults.",
                                      quoted_name.c_str(), reason.c_str());
        return "";
    case platform::FileRead::TOO_LARGE:
        log_manager.writeLogAndStderr(
            "Config::readConfig(): Error! Configuration file '%s' is larger than %zu bytes. Ignored.",
            quoted_name.c_str(), MAX_CONFIG_BYTES);
        return "";
    }

    // Lines are joined with nothing between them: commas, not line breaks,
    // separate entries. A last line without a line feed counts too.
    std::string config;
    std::size_t start = 0;
    while (start < file_text.size()) {
        std::size_t end = file_text.find('\n', start);
        if (end == std::string::npos)
            end = file_text.size();
        std::size_t length = end - start;
        if (length > 0 && file_text[start + length - 1] == '\r')
            length--;
        if (length > 0 && file_text[start] != '#')
            config.append(file_text, start, length);
        start = end + 1;
    }
    return config;
}

void Config::loadConfig(std::string config) {
    if (config.empty())
        config = readConfig();

    LogManager& log_manager = LogManager::getInstance();
    auto intValue = [&config](const char* key, int* p_value) {
        const std::string value = match(config, key);
        if (!value.empty())
            *p_value = toInt(value);
    };
    auto boolValue = [&config](const char* key, bool* p_value) {
        const std::string value = match(config, key);
        if (!value.empty())
            *p_value = toBool(value);
    };
    auto stringValue = [&config](const char* key, std::string* p_value) {
        const std::string value = match(config, key);
        if (!value.empty())
            *p_value = value;
    };

    // Outside their range these would stall or spin the loop, or flood the
    // disc; they are refused like any unsupported value.
    auto rangedValue = [&config, &log_manager](const char* key, const char* what, int minimum, int maximum,
                                               int* p_value) {
        const std::string value = match(config, key);
        if (value.empty())
            return;
        const int number = toInt(value);
        if (number < minimum || number > maximum)
            log_manager.writeLog("loadConfig(): Unsupported %s '%s'", what, clipForLog(value).c_str());
        else
            *p_value = number;
    };

    rangedValue("frame_time", "frame time", MIN_FRAME_TIME, MAX_FRAME_TIME, &m_frame_time);

    std::string value = match(config, "font_scale");
    if (!value.empty())
        m_font_scale = static_cast<float>(std::atof(value.c_str()));

    intValue("window_horizontal_pixels", &m_window_horizontal_pixels);
    intValue("window_vertical_pixels", &m_window_vertical_pixels);
    intValue("window_horizontal_chars", &m_window_horizontal_chars);
    intValue("window_vertical_chars", &m_window_vertical_chars);

    value = match(config, "window_background_color");
    if (!value.empty() && !text::colorFromName(value, &m_window_background_color))
        log_manager.writeLog("loadConfig(): Unsupported window color '%s'", clipForLog(value).c_str());

    value = match(config, "window_style");
    if (!value.empty()) {
        if (value == "none") {
            m_window_style = 0;
        } else {
            const int style = toInt(value);
            if (style == 0)
                log_manager.writeLog("loadConfig(): Unsupported window style '%s'",
                                     clipForLog(value).c_str());
            else
                m_window_style = style;
        }
    }

    value = match(config, "window_state");
    if (!value.empty()) {
        if (value == "fullscreen")
            m_window_state = 1;
        else if (value == "default")
            m_window_state = 0;
        else
            log_manager.writeLog("loadConfig(): Unsupported window state '%s'", clipForLog(value).c_str());
    }

    value = match(config, "window_scale");
    if (!value.empty()) {
        const int scale = toInt(value);
        if (value == "auto")
            m_window_scale = 0;
        else if (scale >= 1 && scale <= MAX_WINDOW_SCALE &&
                 value.find_first_not_of("0123456789") == std::string::npos)
            m_window_scale = scale;
        else
            log_manager.writeLog("loadConfig(): Unsupported window scale '%s'", value.c_str());
    }

    stringValue("window_title", &m_window_title);
    boolValue("show_mouse", &m_show_mouse);
    boolValue("headless", &m_headless);
    stringValue("font_file", &m_font_file);
    stringValue("logfile", &m_logfile);
    intValue("random_seed", &m_random_seed);
    boolValue("networking", &m_networking);
    intValue("grid_width", &m_grid_width);
    intValue("grid_height", &m_grid_height);
    intValue("quadtree_depth", &m_quadtree_depth);
    intValue("quadtree_threshold", &m_quadtree_threshold);
    boolValue("signals", &m_signals);
    rangedValue("logfile_max_mb", "log file size", 1, MAX_LOGFILE_MAX_MB, &m_logfile_max_mb);
    rangedValue("network_backlog", "network backlog", 1024, 1 << 30, &m_network_backlog);
    rangedValue("network_connect_timeout", "connect timeout", 1, 600000, &m_network_connect_timeout);
    rangedValue("max_watchers", "watcher count", 1, MAX_MAX_WATCHERS, &m_max_watchers);
    rangedValue("watch_timeout", "watch timeout", 1, 600000, &m_watch_timeout);
}

std::string Config::runSettingsText() const {
    const auto color = static_cast<int>(m_window_background_color);
    char font_scale[32];
    // Nine significant digits bring every float back unchanged.
    std::snprintf(font_scale, sizeof(font_scale), "%.9g", static_cast<double>(m_font_scale));
    auto entry = [](const char* key, const std::string& value) {
        return std::string(key) + ":" + value + ",";
    };
    std::string text;
    text += entry("frame_time", std::to_string(m_frame_time));
    text += entry("font_scale", font_scale);
    text += entry("window_horizontal_pixels", std::to_string(m_window_horizontal_pixels));
    text += entry("window_vertical_pixels", std::to_string(m_window_vertical_pixels));
    text += entry("window_horizontal_chars", std::to_string(m_window_horizontal_chars));
    text += entry("window_vertical_chars", std::to_string(m_window_vertical_chars));
    if (color >= 0 && color < 8)
        text += entry("window_background_color", COLOR_NAMES[color]);
    text += entry("window_style", m_window_style == 0 ? "none" : std::to_string(m_window_style));
    text += entry("window_state", m_window_state != 0 ? "fullscreen" : "default");
    text += entry("window_title", m_window_title);
    text += entry("show_mouse", boolText(m_show_mouse));
    text += entry("font_file", m_font_file);
    text += entry("random_seed", std::to_string(m_random_seed));
    text += entry("networking", boolText(m_networking));
    text += entry("grid_width", std::to_string(m_grid_width));
    text += entry("grid_height", std::to_string(m_grid_height));
    text += entry("quadtree_depth", std::to_string(m_quadtree_depth));
    text += entry("quadtree_threshold", std::to_string(m_quadtree_threshold));
    text += entry("signals", boolText(m_signals));
    return text;
}

void Config::logConfig() const {
    LogManager& lm = LogManager::getInstance();
    const char* const dashes = "-----------------------------------";
    lm.writeLog(1, "%s", dashes);
    lm.writeLog(1, "Vintrel configuration:");
    lm.writeLog(1, "  Window horizontal pixels: %d", m_window_horizontal_pixels);
    lm.writeLog(1, "  Window vertical pixels: %d", m_window_vertical_pixels);
    lm.writeLog(1, "  Window horizontal characters: %d", m_window_horizontal_chars);
    lm.writeLog(1, "  Window vertical characters: %d", m_window_vertical_chars);
    lm.writeLog(1, "  Window background color: %d", static_cast<int>(m_window_background_color));
    lm.writeLog(1, "  Frame time: %d", m_frame_time);
    lm.writeLog(1, "  Window style: %d", m_window_style);
    lm.writeLog(1, "  Window state: %s", m_window_state ? "fullscreen" : "default");
    if (m_window_scale == 0)
        lm.writeLog(1, "  Window scale: auto");
    else
        lm.writeLog(1, "  Window scale: %d", m_window_scale);
    lm.writeLog(1, "  Window title: %s", m_window_title.c_str());
    lm.writeLog(1, "  Show mouse: %s", boolText(m_show_mouse));
    lm.writeLog(1, "  Headless: %s", boolText(m_headless));
    lm.writeLog(1, "  Font file: %s", m_font_file.c_str());
    lm.writeLog(1, "  Log file: %s", m_logfile.c_str());
    lm.writeLog(1, "  Random seed: %d", m_random_seed);
    lm.writeLog(1, "  Networking: %s", boolText(m_networking));
    lm.writeLog(1, "  Network backlog: %d", m_network_backlog);
    lm.writeLog(1, "  Network connect timeout: %d", m_network_connect_timeout);
    lm.writeLog(1, "  Max watchers: %d", m_max_watchers);
    lm.writeLog(1, "  Watch timeout: %d", m_watch_timeout);
    lm.writeLog(1, "  Scene graph: grid");
    lm.writeLog(1, "  Grid width: %d", m_grid_width);
    lm.writeLog(1, "  Grid height: %d", m_grid_height);
    lm.writeLog(1, "%s", dashes);
}

} // namespace vt
