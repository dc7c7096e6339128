#pragma once

// A point or direction in world space: three single-precision floats.
// Sums and scalings are written out component by component where they are needed.
struct Vector3 {
    float x;
    float y;
    float z;

    // Components are left unset; every user assigns all three before reading them.
    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

// Cross product a x b; each component formed in double precision, rounded to float once.
Vector3 cross(Vector3 a, Vector3 b);

// Dot product a . b, summed left to right in double precision, rounded to float on return.
float dot(Vector3 a, Vector3 b);

// Cross product scaled to unit length. No guard: parallel or zero inputs give NaN components.
Vector3 unitCross(Vector3 a, Vector3 b);
