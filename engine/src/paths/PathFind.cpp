#include "vintrel/paths/PathFind.h"

namespace vt {

PathFind::PathFind(Object* p_object) : m_p_object(p_object) {}

PathFind::~PathFind() = default;

} // namespace vt
