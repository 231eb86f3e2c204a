#include "vintrel/core/Config.h"

#include <cstdio>
#include <cstdlib>

#include "core/ConfigTable.h"
#include "core/TextTables.h"
#include "platform/BoundedFileRead.h"
#include "vintrel/core/DataFile.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"

namespace vt {

namespace {

using config::COUNT;
using config::TABLE;

// A configuration is a few hundred bytes; anything this large is not one.
constexpr std::size_t MAX_CONFIG_BYTES = 1 << 20;

// The table's own consistency, checked while compiling: a row added with a
// key already taken, a refusal nobody can see, or a summary place taken
// twice stops the build.
constexpr bool sameText(const char* a, const char* b) { return std::string_view(a) == std::string_view(b); }

constexpr bool eachKeyOnce() {
    for (std::size_t row = 0; row < COUNT; row++) {
        if (TABLE[row].key == nullptr || TABLE[row].key[0] == '\0')
            return false;
        for (std::size_t other = row + 1; other < COUNT; other++)
            if (sameText(TABLE[row].key, TABLE[other].key))
                return false;
    }
    return true;
}

constexpr bool refusalsNamed() {
    for (const ConfigSetting& setting : TABLE)
        if (setting.canRefuse() != (setting.refused_as != nullptr) ||
            (setting.name_count > 0 && setting.kind != ConfigKind::INT))
            return false;
    return true;
}

constexpr bool replayedOnlyWhenRecorded() {
    for (const ConfigSetting& setting : TABLE)
        if (setting.replayed && !setting.in_recording)
            return false;
    return true;
}

// Places 1, 2, 3 ... each once, the scene graph's line among them.
constexpr bool summaryPlacesEachOnce() {
    int places = 1;
    for (const ConfigSetting& setting : TABLE) {
        if ((setting.summary_place > 0) != (setting.summary_label != nullptr))
            return false;
        if (setting.summary_place > 0)
            places++;
    }
    for (int place = 1; place <= places; place++) {
        int holders = place == config::SCENE_GRAPH_SUMMARY_PLACE ? 1 : 0;
        for (const ConfigSetting& setting : TABLE)
            if (setting.summary_place == place)
                holders++;
        if (holders != 1)
            return false;
    }
    return true;
}

// A default the row itself would refuse could never be written back.
constexpr bool defaultsTaken() {
    for (const ConfigSetting& setting : TABLE) {
        if (setting.kind != ConfigKind::INT)
            continue;
        const int value = setting.default_number;
        const bool named = value >= 0 && static_cast<std::size_t>(value) < setting.name_count;
        const bool in_range = value >= setting.minimum && value <= setting.maximum;
        const bool taken = named || (setting.numbers == ConfigNumbers::NONZERO
                                         ? value != 0
                                         : setting.numbers != ConfigNumbers::NONE && in_range);
        if (!taken || value < setting.start_minimum || value > setting.start_maximum)
            return false;
    }
    return true;
}

static_assert(eachKeyOnce(), "every setting has a key of its own");
static_assert(defaultsTaken(), "every default is a value its setting takes and start-up works with");
static_assert(refusalsNamed(), "a setting that refuses text names itself in the refusal line");
static_assert(replayedOnlyWhenRecorded(), "a replay applies only settings a recording holds");
static_assert(summaryPlacesEachOnce(), "the summary's places run 1, 2, 3 ... each held once");

// Stops the build when a getter names a key no row has, or reads a row of
// another kind.
template <std::size_t ROW, ConfigKind KIND> constexpr std::size_t checkedRow() {
    static_assert(ROW < COUNT, "no setting has this key");
    static_assert(TABLE[ROW < COUNT ? ROW : 0].kind == KIND, "the setting is of another kind");
    return ROW;
}

// True when the text begins with a number as toInt reads it: an optional
// sign, then a digit.
bool beginsWithNumber(const std::string& value) {
    const std::size_t digit = !value.empty() && (value[0] == '+' || value[0] == '-') ? 1 : 0;
    return digit < value.size() && value[digit] >= '0' && value[digit] <= '9';
}

bool allDigits(const std::string& value) {
    return value.find_first_not_of("0123456789") == std::string::npos;
}

// The index of the word among the setting's names; -1 when it is none of them.
int nameIndex(const ConfigSetting& setting, const std::string& word) {
    for (std::size_t i = 0; i < setting.name_count; i++)
        if (word == setting.names[i])
            return static_cast<int>(i);
    return -1;
}

// The name of a number, when the setting has one for it.
const char* nameOf(const ConfigSetting& setting, int number) {
    return number >= 0 && static_cast<std::size_t>(number) < setting.name_count
               ? setting.names[static_cast<std::size_t>(number)]
               : nullptr;
}

// The number an INT setting takes from the text, or false.
bool parseInt(const ConfigSetting& setting, const std::string& value, int* p_number) {
    const int named = nameIndex(setting, value);
    if (named >= 0) {
        *p_number = named;
        return true;
    }
    const int number = text::toInt(value);
    bool taken = true;
    switch (setting.numbers) {
    case ConfigNumbers::ANY:
        break;
    case ConfigNumbers::BOUNDED:
        taken = beginsWithNumber(value) && number >= setting.minimum && number <= setting.maximum;
        break;
    case ConfigNumbers::DIGITS:
        taken = allDigits(value) && number >= setting.minimum && number <= setting.maximum;
        break;
    case ConfigNumbers::NONZERO:
        taken = number != 0;
        break;
    case ConfigNumbers::NONE:
        taken = false;
        break;
    }
    if (taken)
        *p_number = number;
    return taken;
}

} // namespace

Config::Config() : m_values(defaultValues()) {}

Config& Config::getInstance() {
    static Config config;
    return config;
}

std::vector<Config::Value> Config::defaultValues() {
    std::vector<Value> values(COUNT);
    for (std::size_t row = 0; row < COUNT; row++) {
        values[row].number = TABLE[row].default_number;
        values[row].real = TABLE[row].default_real;
        values[row].text = TABLE[row].default_text;
    }
    return values;
}

void Config::reset() { m_values = defaultValues(); }

bool Config::parse(const ConfigSetting& setting, const std::string& text, Value* p_value) {
    switch (setting.kind) {
    case ConfigKind::INT:
        return parseInt(setting, text, &p_value->number);
    case ConfigKind::BOOL:
        p_value->number = text == "true" ? 1 : 0;
        return true;
    case ConfigKind::FLOAT:
        p_value->real = static_cast<float>(std::atof(text.c_str()));
        return true;
    case ConfigKind::TEXT:
        p_value->text = text;
        return true;
    }
    return false;
}

std::string Config::format(const ConfigSetting& setting, const Value& value) {
    switch (setting.kind) {
    case ConfigKind::INT: {
        const char* name = nameOf(setting, value.number);
        return name != nullptr ? name : std::to_string(value.number);
    }
    case ConfigKind::BOOL:
        return text::boolText(value.number != 0);
    case ConfigKind::FLOAT: {
        char digits[32];
        // Nine significant digits bring every float back unchanged.
        std::snprintf(digits, sizeof(digits), "%.9g", static_cast<double>(value.real));
        return digits;
    }
    case ConfigKind::TEXT:
        return value.text;
    }
    return "";
}

std::string Config::readConfig() const {
    const char* env_name = std::getenv("VINTREL_CONFIG");
    const std::string file_name =
        findDataFile(env_name ? std::string(env_name) : std::string("vt-config.txt"));
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
    for (std::size_t row = 0; row < COUNT; row++) {
        const std::string value = match(config, TABLE[row].key);
        if (!value.empty() && !parse(TABLE[row], value, &m_values[row]))
            log_manager.writeLog("loadConfig(): Unsupported %s '%s'", TABLE[row].refused_as,
                                 clipForLog(value).c_str());
    }
}

std::string Config::runSettingsText() const {
    std::string entries;
    const std::vector<Value> defaults = defaultValues();
    for (std::size_t row = 0; row < COUNT; row++) {
        const std::string value = format(TABLE[row], m_values[row]);
        if (TABLE[row].recorded_when_set && value == format(TABLE[row], defaults[row]))
            continue;
        // An empty value reads back as no entry at all.
        if (TABLE[row].in_recording && !value.empty())
            entries += std::string(TABLE[row].key) + ":" + value + ",";
    }
    return entries;
}

std::string Config::replayedSettingsText(const std::string& run_settings) {
    std::string entries;
    for (const ConfigSetting& setting : TABLE) {
        const std::string value = match(run_settings, setting.key);
        if (setting.replayed && !value.empty())
            entries += std::string(setting.key) + ":" + value + ",";
    }
    return entries;
}

std::string Config::checkRunSettings(const std::string& run_settings) {
    std::vector<Value> values = defaultValues();
    for (std::size_t row = 0; row < COUNT; row++) {
        const ConfigSetting& setting = TABLE[row];
        const std::string value = match(run_settings, setting.key);
        if (!setting.in_recording || value.empty())
            continue;
        const std::string entry = std::string(setting.key) + ":" + clipForLog(value);
        if (!parse(setting, value, &values[row]))
            return "its settings hold " + entry + ", a value the engine does not take";
        if (setting.kind == ConfigKind::INT &&
            (values[row].number < setting.start_minimum || values[row].number > setting.start_maximum))
            return "its settings hold " + entry + ", with which the engine cannot start (it takes " +
                   std::to_string(setting.start_minimum) + " to " + std::to_string(setting.start_maximum) +
                   ")";
    }
    // The grid covers the world, which is as large as the window in cells.
    const auto cells = [&values](const char* window_chars, const char* grid_cell) {
        const long long chars = values[config::rowOf(window_chars)].number;
        const long long cell = values[config::rowOf(grid_cell)].number;
        return (chars + cell - 1) / cell;
    };
    const long long grid_cells =
        cells("window_horizontal_chars", "grid_width") * cells("window_vertical_chars", "grid_height");
    if (grid_cells > config::MAX_GRID_CELLS)
        return "its settings give a collision grid of " + std::to_string(grid_cells) +
               " cells, more than the " + std::to_string(config::MAX_GRID_CELLS) + " the engine starts with";
    return "";
}

std::string Config::getSettingText(const std::string& key) const {
    const std::size_t row = config::rowOf(key);
    if (row < COUNT)
        return format(TABLE[row], m_values[row]);
    LogManager::getInstance().writeLog("Config::getSettingText(): Error! No setting '%s'.",
                                       clipForLog(key).c_str());
    return "";
}

int Config::getSettingNumber(const std::string& key) const {
    const std::size_t row = config::rowOf(key);
    if (row < COUNT && (TABLE[row].kind == ConfigKind::INT || TABLE[row].kind == ConfigKind::BOOL))
        return m_values[row].number;
    LogManager::getInstance().writeLog("Config::getSettingNumber(): Error! No number setting '%s'.",
                                       clipForLog(key).c_str());
    return 0;
}

void Config::logConfig() const {
    LogManager& lm = LogManager::getInstance();
    const char* const dashes = "-----------------------------------";
    lm.writeLog(1, "%s", dashes);
    lm.writeLog(1, "Vintrel configuration:");
    // Places run from 1 without a gap: at most one per setting, and the scene graph's.
    for (int place = 1; place <= static_cast<int>(COUNT) + 1; place++) {
        if (place == config::SCENE_GRAPH_SUMMARY_PLACE)
            lm.writeLog(1, "  Scene graph: grid");
        for (std::size_t row = 0; row < COUNT; row++) {
            const ConfigSetting& setting = TABLE[row];
            if (setting.summary_place != place)
                continue;
            const Value& value = m_values[row];
            const std::string shown = setting.kind == ConfigKind::INT && !setting.summary_by_name
                                          ? std::to_string(value.number)
                                          : format(setting, value);
            lm.writeLog(1, "  %s: %s", setting.summary_label, shown.c_str());
        }
    }
    lm.writeLog(1, "%s", dashes);
}

template <std::size_t ROW> int Config::intAt() const {
    return m_values[checkedRow<ROW, ConfigKind::INT>()].number;
}

template <std::size_t ROW> bool Config::boolAt() const {
    return m_values[checkedRow<ROW, ConfigKind::BOOL>()].number != 0;
}

template <std::size_t ROW> float Config::floatAt() const {
    return m_values[checkedRow<ROW, ConfigKind::FLOAT>()].real;
}

template <std::size_t ROW> const std::string& Config::textAt() const {
    return m_values[checkedRow<ROW, ConfigKind::TEXT>()].text;
}

int Config::getWindowHorizontalPixels() const { return intAt<config::rowOf("window_horizontal_pixels")>(); }
int Config::getWindowVerticalPixels() const { return intAt<config::rowOf("window_vertical_pixels")>(); }
int Config::getWindowHorizontalChars() const { return intAt<config::rowOf("window_horizontal_chars")>(); }
int Config::getWindowVerticalChars() const { return intAt<config::rowOf("window_vertical_chars")>(); }
int Config::getWindowStyle() const { return intAt<config::rowOf("window_style")>(); }
int Config::getWindowState() const { return intAt<config::rowOf("window_state")>(); }
int Config::getWindowScale() const { return intAt<config::rowOf("window_scale")>(); }
Color Config::getWindowBackgroundColor() const {
    return static_cast<Color>(intAt<config::rowOf("window_background_color")>());
}
int Config::getFrameTime() const { return intAt<config::rowOf("frame_time")>(); }
float Config::getFontScale() const { return floatAt<config::rowOf("font_scale")>(); }
std::string Config::getWindowTitle() const { return textAt<config::rowOf("window_title")>(); }
bool Config::getShowMouse() const { return boolAt<config::rowOf("show_mouse")>(); }
bool Config::getHeadless() const { return boolAt<config::rowOf("headless")>(); }
std::string Config::getFontFile() const { return textAt<config::rowOf("font_file")>(); }
std::string Config::getLogFile() const { return textAt<config::rowOf("logfile")>(); }
int Config::getRandomSeed() const { return intAt<config::rowOf("random_seed")>(); }
bool Config::getNetworking() const { return boolAt<config::rowOf("networking")>(); }
int Config::getQuadtreeThreshold() const { return intAt<config::rowOf("quadtree_threshold")>(); }
int Config::getQuadtreeDepth() const { return intAt<config::rowOf("quadtree_depth")>(); }
int Config::getGridWidth() const { return intAt<config::rowOf("grid_width")>(); }
int Config::getGridHeight() const { return intAt<config::rowOf("grid_height")>(); }
bool Config::getSignals() const { return boolAt<config::rowOf("signals")>(); }
bool Config::getSpriteBoxInset() const { return boolAt<config::rowOf("sprite_box_inset")>(); }
int Config::getLogfileMaxMb() const { return intAt<config::rowOf("logfile_max_mb")>(); }
int Config::getNetworkBacklog() const { return intAt<config::rowOf("network_backlog")>(); }
int Config::getNetworkConnectTimeout() const { return intAt<config::rowOf("network_connect_timeout")>(); }
int Config::getMaxWatchers() const { return intAt<config::rowOf("max_watchers")>(); }
int Config::getWatchTimeout() const { return intAt<config::rowOf("watch_timeout")>(); }
std::string Config::getGameName() const { return textAt<config::rowOf("game_name")>(); }
bool Config::getDataPaths() const { return boolAt<config::rowOf("data_paths")>(); }
bool Config::getBuiltinFont() const { return boolAt<config::rowOf("builtin_font")>(); }

} // namespace vt
