#pragma once

#include <string>

#include "vintrel/core/Box.h"
#include "vintrel/core/Vector.h"

namespace vt {

class Object;
enum Solidness : int;

/// "hard", "soft", "spectral" or "undefined".
std::string solidnessToString(Solidness solidness);

/// The object's box in world coordinates.
Box getWorldBox(const Object* p_o);
/// The box the object would occupy at `where`.
Box getWorldBox(const Object* p_o, const Vector& where);
/// World position to view position.
Vector worldToView(const Vector& world_pos);
/// View position to world position.
Vector viewToWorld(const Vector& view_pos);
/// Side from which the moving object met the obstacle: components -1, 0 or 1.
Vector getNormal(const Object* p_moving, const Object* p_obstacle);
/// Side from which the moving object met an obstacle's box (world spaces).
Vector getNormal(const Object* p_moving, const Box& obstacle);

} // namespace vt
