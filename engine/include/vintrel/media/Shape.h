#pragma once

#include <iosfwd>
#include <string>

#include "vintrel/world/Vector.h"

namespace vt {

/// An optional figure drawn at an object's position after its sprite.
class Shape {
public:
    Shape();

    /// -1 (none), or a figure type; unknown types are refused.
    void setType(int type);
    int getType() const { return m_type; }

    /// Draws the figure at a world position.
    void draw(const Vector& position) const;

    int serialize(std::ostream& stream) const;
    int deserialize(std::istream& stream);
    std::string toString() const;

private:
    int m_type;
};

} // namespace vt
