#pragma once

// The walking figure: its gait and its walk about the field (figureTimer).

// One figure tick: swings the limbs and walks, in play mode only. Always returns true.
bool figureTick();

// The interval the figure's timer is armed with: figureTimerInterval truncated to whole
// milliseconds, except that 0 becomes 16.
int figureTimerDelayMs();

// Toolkit timer callback.
void figureTimer(int value);

// Arms the figure chain (start-up, once).
void startFigureTimer();
