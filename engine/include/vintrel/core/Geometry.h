#pragma once

#include "vintrel/core/Box.h"
#include "vintrel/core/Vector.h"

namespace vt {

/// min <= value <= max; false when any of them is NaN.
bool valueInRange(float value, float min, float max);
/// True when the position lies in the box, edges included.
bool boxContainsPosition(const Box& box, const Vector& position);
/// True when the boxes overlap; touching edges count.
bool boxIntersectsBox(const Box& a, const Box& b);
/// Euclidean distance between two positions, in spaces.
float distance(const Vector& a, const Vector& b);

} // namespace vt
