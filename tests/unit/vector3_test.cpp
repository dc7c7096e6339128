#include <gtest/gtest.h>

#include <cmath>

#include "assets/vector3.h"

// Cross and dot take double products and round once: (1 + e)(1 - e) - 1 keeps the -e^2 that
// float products lose. unitCross scales to length 1; parallel vectors give NaN.
TEST(Vector3, CrossAndDotRoundOnceAndUnitCrossScales)
{
    const float e = 1.0f / 8192.0f;
    const Vector3 c = cross(Vector3(0.0f, 1.0f + e, 1.0f), Vector3(0.0f, 1.0f, 1.0f - e));
    EXPECT_TRUE(c.x == -e * e && c.y == 0.0f && c.z == 0.0f) << c.x;
    EXPECT_EQ(dot(Vector3(1.0f + e, 2.0f, 3.0f), Vector3(1.0f - e, 4.0f, -3.0f)), -e * e);
    const Vector3 z = unitCross(Vector3(2.0f, 0.0f, 0.0f), Vector3(0.0f, 3.0f, 0.0f));
    const Vector3 y = unitCross(Vector3(0.0f, 0.0f, 2.0f), Vector3(3.0f, 0.0f, 0.0f));
    EXPECT_TRUE(z.x == 0.0f && z.y == 0.0f && z.z == 1.0f && y.x == 0.0f && y.y == 1.0f);
    EXPECT_TRUE(std::isnan(unitCross(Vector3(1.0f, 0.0f, 0.0f), Vector3(2.0f, 0.0f, 0.0f)).x));
}
