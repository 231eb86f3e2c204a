#include "vintrel/core/Geometry.h"

#include <cmath>

namespace vt {

bool valueInRange(float value, float min, float max) { return value >= min && value <= max; }

bool boxContainsPosition(const Box& box, const Vector& p) {
    const Vector corner = box.getCorner();
    return valueInRange(p.getX(), corner.getX(), corner.getX() + box.getHorizontal()) &&
           valueInRange(p.getY(), corner.getY(), corner.getY() + box.getVertical());
}

bool boxIntersectsBox(const Box& a, const Box& b) {
    const float ax1 = a.getCorner().getX();
    const float ay1 = a.getCorner().getY();
    const float ax2 = ax1 + a.getHorizontal();
    const float ay2 = ay1 + a.getVertical();
    const float bx1 = b.getCorner().getX();
    const float by1 = b.getCorner().getY();
    const float bx2 = bx1 + b.getHorizontal();
    const float by2 = by1 + b.getVertical();
    const bool x_overlap = valueInRange(bx1, ax1, ax2) || valueInRange(ax1, bx1, bx2);
    const bool y_overlap = valueInRange(by1, ay1, ay2) || valueInRange(ay1, by1, by2);
    return x_overlap && y_overlap;
}

float distance(const Vector& a, const Vector& b) {
    const float dx = a.getX() - b.getX();
    const float dy = a.getY() - b.getY();
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace vt
