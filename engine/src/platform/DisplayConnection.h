#pragma once

#include <string>

namespace vt::platform {

/// True when a connection to the display the environment names (DISPLAY)
/// can be opened now. The window library ends the process when it cannot
/// connect, so the engine asks first. *p_name receives the name tried, empty
/// when none is set.
bool canOpenDisplay(std::string* p_name);

} // namespace vt::platform
