#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/ConfigTable.h"
#include "support/EngineTest.h"
#include "vintrel/core/Config.h"

namespace vt::test {
namespace {

std::string withoutBackticks(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '`'), text.end());
    return text;
}

// The key and default columns of the reference's table of keys.
std::map<std::string, std::string> documentedDefaults() {
    std::istringstream doc(readFile(std::string(VINTREL_SOURCE_DIR) + "/docs/configuration.md"));
    std::map<std::string, std::string> defaults;
    bool in_keys = false;
    for (std::string line; std::getline(doc, line);) {
        if (line.rfind("## ", 0) == 0)
            in_keys = line == "## Keys";
        if (!in_keys || line.rfind("| `", 0) != 0)
            continue;
        std::vector<std::string> cells;
        std::istringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');)
            cells.push_back(cell.substr(1, cell.size() - 2));
        if (cells.size() >= 3)
            defaults[withoutBackticks(cells[0])] = withoutBackticks(cells[2]);
    }
    return defaults;
}

// docs/configuration.md lists exactly the engine's settings, each with the
// default it has: the documented default, read as a configuration, is taken
// without a word and gives the default value.
TEST(ConfigurationDocTest, KeysTableListsEverySettingWithItsDefault) {
    const std::map<std::string, std::string> documented = documentedDefaults();
    std::set<std::string> documented_keys;
    for (const auto& [key, value] : documented)
        documented_keys.insert(key);
    std::set<std::string> keys;
    for (const ConfigSetting& setting : config::TABLE)
        keys.insert(setting.key);
    EXPECT_EQ(documented_keys, keys);

    Config& config = Config::getInstance();
    for (const auto& [key, value] : documented) {
        SCOPED_TRACE(key + " " + value);
        config.reset();
        const std::string default_text = config.getSettingText(key);
        testing::internal::CaptureStderr();
        config.loadConfig(key + ":" + value + ",");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(config.getSettingText(key), default_text);
    }
    config.reset();
}

} // namespace
} // namespace vt::test
