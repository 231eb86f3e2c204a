#pragma once

#include <string>

#include "vintrel/world/ObjectList.h"

namespace vt::test {

/// The objects as a watcher must reproduce them, one line per object in id
/// order: id, type, position, velocity, sprite, frame and slowdown count,
/// altitude, active and visible, and a view object's label and value. A
/// mirror is described by its source's motion and animation. The streaming
/// objects themselves (WorldHost, WorldMirror) are left out.
std::string describeObjects(const ObjectList& objects);
/// describeObjects() of the whole world.
std::string describeWorld();

} // namespace vt::test
