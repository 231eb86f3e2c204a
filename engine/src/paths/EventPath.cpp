#include "vintrel/paths/EventPath.h"

namespace vt {

EventPath::EventPath() : m_status(NO_PATH), m_path() { setType(EVENT_PATH); }

EventPath::EventPath(int status, const Path& path) : m_status(status), m_path(path) { setType(EVENT_PATH); }

} // namespace vt
