#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "vintrel/core/Box.h"
#include "vintrel/core/Vector.h"

namespace vt::test {
namespace {

std::string bytesOf(const std::string& s) {
    std::string hex;
    char buf[4];
    for (const char c : s) {
        std::snprintf(buf, sizeof(buf), "%02X ", static_cast<unsigned char>(c));
        hex += buf;
    }
    return hex;
}

TEST(VectorTest, ArithmeticAndLength) {
    Vector v(3, 4);
    EXPECT_FLOAT_EQ(v.getMagnitude(), 5);
    v.normalize();
    EXPECT_FLOAT_EQ(v.getX(), 0.6f);
    EXPECT_FLOAT_EQ(v.getY(), 0.8f);
    Vector zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector(0, 0));
    Vector w(1, -2);
    w.scale(-2);
    EXPECT_EQ(w, Vector(-2, 4));
    EXPECT_EQ(Vector(1, 2) + Vector(3, 4), Vector(4, 6));
    EXPECT_EQ(Vector(1, 2) - Vector(3, 5), Vector(-2, -3));
    Vector sum(1, 1);
    sum += Vector(0.5f, -1);
    EXPECT_EQ(sum, Vector(1.5f, 0));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(Vector(nan, 0) == Vector(nan, 0));
    EXPECT_TRUE(Vector(nan, 0) != Vector(nan, 0));
}

TEST(VectorTest, ScalarAndCompoundOperators) {
    const Vector v(3, -6);
    EXPECT_EQ(v * 2, Vector(6, -12));
    EXPECT_EQ(2 * v, v * 2);
    // Divided, not multiplied by a rounded reciprocal.
    EXPECT_EQ(v / 3, Vector(1, -2));
    EXPECT_EQ(Vector(5, 3) / 3, Vector(5.0f / 3.0f, 1));
    EXPECT_EQ(-v, Vector(-3, 6));
    EXPECT_EQ(v + -v, Vector(0, 0));
    // Compound forms change the vector itself, also when it is its own operand.
    Vector w(1, 2);
    (w -= Vector(4, 1)) *= 2;
    EXPECT_EQ(w, Vector(-6, 2));
    w /= 4;
    EXPECT_EQ(w, Vector(-1.5f, 0.5f));
    w -= w;
    EXPECT_EQ(w, Vector(0, 0));
    Vector twice(1, -1);
    twice += twice;
    EXPECT_EQ(twice, Vector(2, -2));
    // Unchecked, as the type stores any float: division by zero gives infinities.
    EXPECT_TRUE(std::isinf((Vector(1, -1) / 0).getX()));
}

TEST(VectorTest, TextForms) {
    EXPECT_EQ(Vector(1, 1).toString(), "(1,1)");
    EXPECT_EQ(Vector(-0.5f, -0.5f).toString(), "(-0.5,-0.5)");
    EXPECT_EQ(Box().toString(), "(0,0) h: 0 v: 0");
    EXPECT_EQ(Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f).toString(), "(-0.5,-0.5) h: 0.99 v: 0.99");
}

TEST(VectorTest, BinaryFormIsTwoMachineFloats) {
    std::stringstream ss;
    ASSERT_EQ(Vector(1, 2).serialize(ss), 0);
    EXPECT_EQ(bytesOf(ss.str()), "00 00 80 3F 00 00 00 40 ");
    Vector back;
    ASSERT_EQ(back.deserialize(ss), 0);
    EXPECT_EQ(back, Vector(1, 2));
}

TEST(VectorTest, ShortStreamFailsWithTheStreamCheck) {
    std::stringstream ss(std::string(6, '\0'));
    testing::internal::CaptureStderr();
    Vector v;
    EXPECT_EQ(v.deserialize(ss), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Vector::deserialize(): Error! Stream"), std::string::npos);
}

TEST(BoxTest, BinaryFormIsCornerThenExtents) {
    std::stringstream ss;
    const Box box(Vector(1, 2), 3, 4);
    ASSERT_EQ(box.serialize(ss), 0);
    ASSERT_EQ(ss.str().size(), 16u);
    EXPECT_EQ(bytesOf(ss.str()), "00 00 80 3F 00 00 00 40 00 00 40 40 00 00 80 40 ");
    Box back;
    ASSERT_EQ(back.deserialize(ss), 0);
    EXPECT_TRUE(back == box);
    EXPECT_FALSE(back == Box(Vector(1, 2), 3, 4.5f));
}

} // namespace
} // namespace vt::test
