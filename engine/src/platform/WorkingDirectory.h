#pragma once

#include <cstddef>

namespace vt::platform {

/// Writes the process's working directory into the buffer; 0, or -1 when it
/// cannot be read or does not fit.
int currentWorkingDirectory(char* p_buffer, std::size_t size);

} // namespace vt::platform
