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
