#include "vintrel/media/Shape.h"

#include <istream>
#include <ostream>

#include "vintrel/core/Utility.h"

namespace vt {

Shape::Shape() : m_type(-1) {}

void Shape::setType(int type) {
    if (type >= -1 && type <= 2)
        m_type = type;
}

void Shape::draw(const Vector&) const {}

int Shape::serialize(std::ostream& stream) const { return checkStream("Shape::serialize()", stream); }

int Shape::deserialize(std::istream& stream) { return checkStream("Shape::deserialize()", stream); }

std::string Shape::toString() const { return vt::toString(m_type); }

} // namespace vt
