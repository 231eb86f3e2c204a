#include "vintrel/core/DataFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/DataFileLog.h"
#include "platform/ExecutablePath.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"

namespace vt {

namespace {

// Lines of files found before the log opened, written once it has.
std::vector<std::string>& heldLines() {
    static std::vector<std::string> lines;
    return lines;
}

bool takenAsItIs(const std::string& name) {
    return name.empty() || name[0] == '/' || name.rfind("./", 0) == 0 || name.rfind("../", 0) == 0;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// A folder as a log line shows it: whole, since the reader needs all of it,
// and never broken in two (it exists, so it is no longer than a path can be).
std::string shownFolder(std::string folder) {
    for (char& c : folder)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = '?';
    return folder;
}

void note(const std::string& line) {
    LogManager& log_manager = LogManager::getInstance();
    if (log_manager.isStarted())
        log_manager.writeLog("%s", line.c_str());
    else
        heldLines().push_back(line);
}

} // namespace

std::vector<std::string> dataDirectories() {
    const std::filesystem::path program = platform::executablePath();
    std::string game = Config::getInstance().getGameName();
    if (game.empty())
        game = program.filename().string();
    std::vector<std::string> folders;
    const auto add = [&folders](const std::filesystem::path& folder) {
        const std::string text = folder.lexically_normal().string();
        if (!text.empty() && std::find(folders.begin(), folders.end(), text) == folders.end())
            folders.push_back(text);
    };
    if (!program.empty()) {
        add(program.parent_path());
        add(program.parent_path() / ".." / "share" / game);
    }
    if (!game.empty())
        add(std::filesystem::path(VINTREL_INSTALL_DATADIR) / game);
    return folders;
}

std::string findDataFile(const std::string& name) {
    if (takenAsItIs(name) || exists(name) || !Config::getInstance().getDataPaths())
        return name;
    for (const std::string& folder : dataDirectories()) {
        const std::string path = (std::filesystem::path(folder) / name).string();
        if (!exists(path))
            continue;
        note("findDataFile(): '" + clipForLog(name) + "' is not in the working directory: found in '" +
             shownFolder(folder) + "'.");
        return path;
    }
    return name;
}

void writeHeldDataFileLines() {
    LogManager& log_manager = LogManager::getInstance();
    for (const std::string& line : heldLines())
        log_manager.writeLog("%s", line.c_str());
    heldLines().clear();
}

} // namespace vt
