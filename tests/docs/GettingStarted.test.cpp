#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/EngineTest.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

const fs::path DOCS = fs::path(VINTREL_SOURCE_DIR) / "docs";

/// The lines of a text, trimmed, without the blank ones.
std::vector<std::string> codeLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos)
            lines.push_back(line.substr(first, line.find_last_not_of(" \t\r") - first + 1));
    }
    return lines;
}

bool containsRun(const std::vector<std::string>& lines, const std::vector<std::string>& run) {
    return !run.empty() && std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
}

// Every cpp and cmake block of the guide, cut at "// ..." and "# ..." lines,
// must appear line for line in one of the example games' sources, which the
// install tests build: so the guide's code compiles and follows the examples.
TEST(GettingStartedTest, EveryCodeBlockIsTakenFromTheExampleSources) {
    std::vector<std::vector<std::string>> sources;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(DOCS / "examples"))
        if (entry.is_regular_file() && std::regex_search(entry.path().filename().string(),
                                                         std::regex(R"(\.(cpp|h)$|^CMakeLists\.txt$)")))
            sources.push_back(codeLines(readFile(entry.path().string())));
    ASSERT_FALSE(sources.empty());

    std::istringstream guide(readFile((DOCS / "getting-started.md").string()));
    int blocks = 0;
    bool in_block = false;
    int line_number = 0;
    std::vector<std::string> run;
    for (std::string line; std::getline(guide, line);) {
        line_number++;
        const std::vector<std::string> trimmed = codeLines(line);
        const bool cut = line == "```" ||
                         (in_block && !trimmed.empty() && (trimmed[0] == "// ..." || trimmed[0] == "# ..."));
        if (in_block && cut) {
            SCOPED_TRACE("getting-started.md, the code before line " + std::to_string(line_number));
            EXPECT_TRUE(
                std::any_of(sources.begin(), sources.end(),
                            [&](const std::vector<std::string>& source) { return containsRun(source, run); }))
                << "not found in docs/examples/, from: " << (run.empty() ? "(empty)" : run.front());
            run.clear();
            in_block = line != "```";
        } else if (in_block) {
            run.insert(run.end(), trimmed.begin(), trimmed.end());
        } else if (line == "```cpp" || line == "```cmake") {
            in_block = true;
            blocks++;
        }
    }
    EXPECT_FALSE(in_block) << "a code block is not closed";
    EXPECT_GT(blocks, 10);
}

TEST(GettingStartedTest, TheExamplesStatedLengthHolds) {
    const std::string guide = readFile((DOCS / "getting-started.md").string());
    std::smatch claim;
    ASSERT_TRUE(std::regex_search(guide, claim,
                                  std::regex(R"(\(examples/([a-z/]+\.cpp)\),\s+about\s+(\d+)\s+lines)")));
    const std::string source = readFile((DOCS / "examples" / claim[1].str()).string());
    const long lines = std::count(source.begin(), source.end(), '\n');
    const long stated = std::stol(claim[2].str());
    EXPECT_NEAR(static_cast<double>(lines), static_cast<double>(stated), static_cast<double>(stated / 10))
        << claim[1].str() << " has " << lines << " lines";
}

} // namespace
} // namespace vt::test
