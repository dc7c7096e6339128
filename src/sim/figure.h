#pragma once

// The walking figure: its gait and its walk about the field (figureTimer).

// One figure tick: swings the limbs and walks, in play mode only. Always returns true.
bool figureTick();

// Toolkit timer callback.
void figureTimer(int value);

// Arms the figure chain (start-up, once).
void startFigureTimer();
