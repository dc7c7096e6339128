#pragma once

// The view frustum, for leaving out of the drawing pass whatever cannot reach the screen.

// Reads the six clipping planes of the current projection times modelview matrix, so they
// are in the coordinates the modelview starts from (world space after the camera).
void readViewFrustum();

// True when the sphere lies wholly on the outer side of one plane read last: nothing of it
// can reach the screen.
bool sphereOutsideView(double x, double y, double z, double radius);

// The same for the axis-aligned box from low to high.
bool boxOutsideView(const float low[3], const float high[3]);
