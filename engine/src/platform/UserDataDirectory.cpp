#include "platform/UserDataDirectory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vt::platform {

int makeDirectories(const std::string& path, std::string* p_reason) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        struct stat status {};
        if (stat(part.c_str(), &status) == 0) {
            if (!S_ISDIR(status.st_mode)) {
                *p_reason = part + " is not a folder";
                return -1;
            }
        } else if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *p_reason = "cannot make " + part + ": " + std::strerror(errno);
            return -1;
        }
        if (end == std::string::npos)
            return 0;
    }
}

int userDataDirectory(const std::string& game, std::string* p_path, std::string* p_reason) {
    // A relative XDG_DATA_HOME is ignored, as the XDG convention for data folders asks.
    const char* data_home = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data_home != nullptr && data_home[0] == '/') {
        base = data_home;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            *p_reason = "neither XDG_DATA_HOME nor HOME names a folder";
            return -1;
        }
        base = std::string(home) + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    *p_path = base + "/" + game;
    return 0;
}

int syncDirectory(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int result = fsync(fd);
    close(fd);
    return result == 0 ? 0 : -1;
}

} // namespace vt::platform
