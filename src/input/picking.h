#pragma once

#include <GL/gl.h>

// Selection-mode picking: shots in play mode, menu actions in menu mode.

// The names the drawing loads with glLoadName and the picking resolves. The name stack starts
// with one entry, -1, which the first glLoadName replaces; 0 to 2 are not used.
enum PickName : GLuint {
    pickFigureHead = 3,         // figure part k (head, torso, arms, legs) is 3 + k,
    pickFigureTorso = 4,        // k indexing figurePartHits
    pickFigureLastPart = 8,
    pickFirstBunny = 9,         // bunny i is 9 + i
    pickLastBunny = 28,
    pickFirstCrown = 29,        // crown of tree j is 29 + j: never acts
    pickFirstTrunk = 39,        // trunk of tree j is 39 + j: blocks bunny hits behind it
    pickLastTrunk = 48,
    pickStartNewGame = 49,      // the main menu's panels
    pickOptions = 50,
    pickQuit = 51,
    pickHelp = 52,
    pickVolumeUp = 53,          // the options' arrows
    pickVolumeDown = 54,
    pickCrosshairNext = 55,     // right arrow
    pickCrosshairPrevious = 56, // left arrow
    pickGravityNext = 57,       // right arrow
    pickGravityPrevious = 58,   // left arrow
};

// Words in the selection buffer.
const int selectBufferSize = 512;

// Runs one selection pass in the game's picture, at its centre (play) or at the point shown
// under the pointer (menu: mouseX, mouseY), prints
// "number of hits %i" and hands the hits to processHits. hover is 1 for a pointer move in
// the menu (report only), 0 for a click.
void pick(int hover);

// Reads hitCount records from buffer, printing each; applies a shot's hits (nearest figure
// part, up to four bunnies nearer than the nearest trunk) or a click's menu action.
// A negative hitCount (buffer overflow) processes nothing.
void processHits(GLint hitCount, const GLuint* buffer, int hover);

// The closeness of a hit record: |(int32)(minDepth + maxDepth) / 2|, larger is nearer.
int closeness(GLuint minDepth, GLuint maxDepth);

// Runs the selection pass of pick (the current mode's scene through the one-pixel pick
// region) without printing or acting; returns GL's hit count, records in selectionBuffer().
GLint runSelectionPass();

// The selection buffer that every pass fills (selectBufferSize words).
const GLuint* selectionBuffer();
