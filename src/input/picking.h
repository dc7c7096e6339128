#pragma once

#include <GL/gl.h>

// Selection-mode picking: shots in play mode, menu actions in menu mode.

// Words in the selection buffer.
const int selectBufferSize = 512;

// Runs one selection pass at the window centre (play) or at the pointer (menu), prints
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
