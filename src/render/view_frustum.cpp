#include "render/view_frustum.h"

#include <GL/gl.h>

#include <cmath>

// A box counts as outside only this far (world units) beyond a plane, far more than the
// rounding of single-precision vertices: what is skipped could not have touched a pixel.
static const double boxMargin = 1.0e-3;

// The six planes, normalised: inside is ax + by + cz + d >= 0.
static double frustumPlanes[6][4];

void readViewFrustum()
{
    double p[16];
    double m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    double rows[4][4];  // rows of p * m; both matrices are column-major
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += p[k * 4 + r] * m[col * 4 + k];
            }
            rows[r][col] = sum;
        }
    }
    for (int i = 0; i < 6; ++i) {
        const int axis = i / 2;
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        double* plane = frustumPlanes[i];
        for (int col = 0; col < 4; ++col) {
            plane[col] = rows[3][col] + sign * rows[axis][col];
        }
        const double length =
            std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        if (length > 0.0) {
            for (int col = 0; col < 4; ++col) {
                plane[col] /= length;
            }
        }
    }
}

bool sphereOutsideView(double x, double y, double z, double radius)
{
    for (const double* plane : frustumPlanes) {
        if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] < -radius) {
            return true;
        }
    }
    return false;
}

bool boxOutsideView(const float low[3], const float high[3])
{
    for (const double* plane : frustumPlanes) {
        // The box's corner farthest along the plane's normal.
        double reach = plane[3];
        for (int axis = 0; axis < 3; ++axis) {
            reach += plane[axis] * (plane[axis] >= 0.0 ? high[axis] : low[axis]);
        }
        if (reach < -boxMargin) {
            return true;
        }
    }
    return false;
}
