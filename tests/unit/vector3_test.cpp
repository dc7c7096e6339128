#include <gtest/gtest.h>

#include <cmath>

#include "assets/vector3.h"

TEST(Vector3, CrossDotAndUnitCrossGiveTheListedValues)
{
    const Vector3 z = cross(Vector3(1, 0, 0), Vector3(0, 1, 0));
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.y, 0.0f);
    EXPECT_EQ(z.z, 1.0f);
    EXPECT_EQ(dot(Vector3(1, 2, 3), Vector3(4, 5, 6)), 32.0f);
    EXPECT_EQ(dot(Vector3(3, 4, 12), Vector3(3, 4, 12)), 169.0f);
    const Vector3 u = unitCross(Vector3(2, 0, 0), Vector3(0, 3, 0));
    EXPECT_EQ(u.x, 0.0f);
    EXPECT_EQ(u.y, 0.0f);
    EXPECT_EQ(u.z, 1.0f);
}

TEST(Vector3, CrossIsAntiSymmetricAndZeroForParallelVectors)
{
    const Vector3 samples[] = {{1.5f, -2.0f, 0.25f}, {0.1f, 0.2f, 0.3f}, {-7.0f, 3.0f, 11.0f}};
    for (const Vector3& a : samples) {
        for (const Vector3& b : samples) {
            const Vector3 ab = cross(a, b);
            const Vector3 ba = cross(b, a);
            EXPECT_EQ(ab.x, -ba.x);
            EXPECT_EQ(ab.y, -ba.y);
            EXPECT_EQ(ab.z, -ba.z);
        }
        const Vector3 self = cross(a, Vector3(2 * a.x, 2 * a.y, 2 * a.z));
        EXPECT_EQ(self.x, 0.0f);
        EXPECT_EQ(self.y, 0.0f);
        EXPECT_EQ(self.z, 0.0f);
        const Vector3 zero = cross(a, Vector3(0, 0, 0));
        EXPECT_EQ(dot(zero, zero), 0.0f);
    }
}

TEST(Vector3, CrossRoundsOnceFromDoubleProducts)
{
    // In float, 16777217 * 1 - 16777216 * 1 would lose the 1; the double difference keeps it.
    const Vector3 c = cross(Vector3(0.0f, 16777216.0f, 3.0f), Vector3(0.0f, 1.0f / 3.0f, 1.0f));
    const double exact = 16777216.0 * 1.0 - 3.0 * static_cast<double>(1.0f / 3.0f);
    EXPECT_EQ(c.x, static_cast<float>(exact));
}

TEST(Vector3, UnitCrossOfParallelVectorsIsNotANumber)
{
    const Vector3 n = unitCross(Vector3(1, 0, 0), Vector3(2, 0, 0));
    EXPECT_TRUE(std::isnan(n.x));
    EXPECT_TRUE(std::isnan(n.y));
    EXPECT_TRUE(std::isnan(n.z));
}
