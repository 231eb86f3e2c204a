#include "platform/ExecutablePath.h"

#include <unistd.h>

#include <vector>

namespace vt::platform {

std::string executablePath() {
    // A path longer than this is cut by readlink, which the size check catches.
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
        return "";
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

} // namespace vt::platform
