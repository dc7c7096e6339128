#pragma once

#include <string>

#include "assets/mesh.h"

// The display lists compiled once at start-up, and the bitmap font.

const unsigned int bunnyList = 260;       // bunny mesh, eyes and mouth
const unsigned int trunkList = 261;       // a tree trunk, y 0 to 0.5
const unsigned int crownList = 262;       // a tree crown, y 0.25 to 0.85
const unsigned int treeShadowList = 263;  // the disc under a tree

// Builds the 256 glyph lists (and sets the list base to them), then lists 260 to 263.
// Needs a current GL context and the finished bunnyMesh.
void buildDisplayLists();

// Emits one mesh triangle with its vertex normals scaled by scale / extent.
void drawTri(const Tri& t, const Mesh& mesh);

// Draws text through the glyph lists at the current raster position.
void drawString(const std::string& text);
