#pragma once

#include <string>

namespace vt::platform {

/// The running program's own file, as the system knows it (symbolic links
/// resolved); empty when it cannot be told.
std::string executablePath();

} // namespace vt::platform
