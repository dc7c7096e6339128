#pragma once

// The figure, the bunnies and the trees, each under its pick name. Shadows are drawn only
// by day and never while selecting.
void drawEntities(int selecting);
void drawFigure(int selecting);
void drawBunny(int i, int hits, int selecting);
void drawTree(int j, int selecting);
