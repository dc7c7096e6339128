#include "assets/display_lists.h"
void buildDisplayLists() {}
void drawTri(const Tri&, const Mesh&) {}
void drawString(const std::string&) {}
