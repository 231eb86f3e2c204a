#include "platform/WorkingDirectory.h"

#include <unistd.h>

namespace vt::platform {

int currentWorkingDirectory(char* p_buffer, std::size_t size) { return getcwd(p_buffer, size) ? 0 : -1; }

} // namespace vt::platform
