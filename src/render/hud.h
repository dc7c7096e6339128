#pragma once

// The heads-up display: crosshair, time, kills, accuracy and the health bar.
void drawHud();

// The four crosshair strokes round the origin in crosshairColor, line width 2, open middle.
void drawCrosshairStrokes();

// Bunnies with at least one hit.
int countKills();

// All hits (bunnies and figure parts) divided by shotsFired, times 100; 0 with no hits.
float computeAccuracy();
