#pragma once

#include <cstdio>
#include <vector>

#include "assets/vector3.h"

// One triangle of a mesh, made by the reader for each Face line.
struct Tri {
    int vertexIndex[3];  // 1-based positions in Mesh::verts, in Face-line order
    Vector3 normal;      // unit face normal; (0, 1, 0) until buildNormals replaces it
    Vector3 color;       // rgb attribute of the Face line, when it had one; read by nothing

    Tri() : vertexIndex{0, 0, 0}, normal(0.0f, 1.0f, 0.0f), color(0.0f, 0.0f, 0.0f) {}
};

// A triangle model. The mesh owns every Tri and vertex record; nothing is ever freed.
struct Mesh {
    std::vector<Tri*> tris;        // triangles in file order
    std::vector<Vector3*> verts;   // vertex k is verts[k - 1]
    std::vector<Vector3> normals;  // one unit vertex normal per vertex
    float scale = 0.0f;            // 1.0 once loaded; numerator of the normal scaling
    float extent = 0.0f;           // larger of the x and y extents of the vertices
};

// Most vertices and faces a mesh file may bring, about 200 times our bunny's 252 and 500 and
// far past any bunny one would model: every face is drawn for every bunny in every frame. A
// file with more is refused like a missing one.
const size_t meshVertexLimit = 50000;
const size_t meshFaceLimit = 100000;

// Reads the .m file at path into mesh, resets and measures the bounds, builds the normals.
// A file that cannot be opened, or brings more than the limits above, is reported and leaves
// an empty mesh; the game runs on.
// Faces naming vertex 0 or a vertex past the last one are reported and dropped (deleted).
void loadMesh(const char* path, Mesh& mesh);

// Gives every triangle a unit face normal and every vertex the normalised sum of them.
void buildNormals(Mesh& mesh);

// Prints "Reading coordinates from <path>" and reads every line of the file into mesh. A file
// that does not open or goes past a limit gets "Could not open file <path>", then a line saying
// why, and leaves the mesh as it was.
void readMeshFile(const char* path, Mesh& mesh);

// Reads lines from an open stream until it fails, handing each to parseMeshLine. Stops and
// returns false once the mesh holds more than meshVertexLimit vertices or meshFaceLimit faces.
bool readMeshLines(std::FILE* in_f, Mesh& mesh);

// Parses one line (leading whitespace already skipped) and applies it to mesh.
// A Vertex line or rgb attribute without all four values is reported and skipped; a Face
// line with fewer than three vertex numbers is reported and dropped; a Face line whose
// numbers meet any other character than whitespace, a digit or '{' ends there, reported.
void parseMeshLine(const char* str, Mesh& mesh);

// The same, naming lineNumber (1-based line of the file) in the messages.
void parseMeshLine(const char* str, Mesh& mesh, int lineNumber);

// Frees every record of mesh, with the file line kept for each of its faces, and empties it.
// The game keeps its one mesh for the whole run; this is for callers that load many (the
// fuzzers, the benchmark).
void releaseMesh(Mesh& mesh);
