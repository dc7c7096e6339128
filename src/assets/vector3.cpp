#include "assets/vector3.h"

#include <cmath>

Vector3 cross(Vector3 a, Vector3 b)
{
    Vector3 c;
    c.x = static_cast<float>(static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y);
    c.y = static_cast<float>(static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z);
    c.z = static_cast<float>(static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x);
    return c;
}

float dot(Vector3 a, Vector3 b)
{
    const double sum = static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                       static_cast<double>(a.z) * b.z;
    return static_cast<float>(sum);
}

Vector3 unitCross(Vector3 a, Vector3 b)
{
    Vector3 newv = cross(a, b);
    // The squared length is rounded to float first, then its root taken in double.
    const float length = static_cast<float>(std::sqrt(static_cast<double>(dot(newv, newv))));
    newv.x = newv.x / length;
    newv.y = newv.y / length;
    newv.z = newv.z / length;
    return newv;
}
