#pragma once

// The figure, the bunnies and the trees, each under its pick name. Shadows are drawn only
// by day and never while selecting.
void drawEntities(int selecting);
void drawFigure(int selecting);
void drawBunny(int i, int hits, int selecting);
void drawTree(int j, int selecting);

// On (the default): the figure's spheres and cylinders are replayed from display lists
// compiled on first use, once the fixed lists exist, and drawEntities skips, outside the
// selection pass, whatever lies wholly outside the view. Off: every shape is tessellated
// afresh and everything is drawn. Both give the same pixels and the same hits.
void setEntityFastPath(bool on);
