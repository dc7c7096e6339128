#include "assets/mesh.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/game_state.h"
#include "assets/regular_file.h"

// Line of the file each face came from, by its place in the mesh's tris (0: not known), for
// the messages of the range check; emptied when a file is done and when a mesh is released.
static std::vector<int> faceLines;

static void forgetFaceLines()
{
    std::vector<int>().swap(faceLines);
}

static bool isSpace(int c)
{
    return c != EOF && std::isspace(static_cast<unsigned char>(c));
}

static bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

static float floatFromBits(uint32_t bits)
{
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// "Vertex %d %g %g %g": appends the vertex and widens the x and y bounds.
static void parseVertexLine(const char* str, Mesh& mesh, int lineNumber)
{
    int vi = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    if (std::sscanf(str, "Vertex %d %g %g %g", &vi, &x, &y, &z) != 4) {
        std::printf("Mesh line %d: Vertex line without an id and three coordinates; skipped\n",
                    lineNumber);
        return;
    }
    Vector3* v = new Vector3(x, y, z);
    mesh.verts.push_back(v);
    if (maxX < v->x) {
        maxX = v->x;
    }
    if (minX > v->x) {
        minX = v->x;
    }
    if (maxY < v->y) {
        maxY = v->y;
    }
    if (minY > v->y) {
        minY = v->y;
    }
}

// The attribute text after a Face line's opening brace; only an rgb colour is taken.
static void parseFaceAttribute(const char* s1, Tri& t, int lineNumber)
{
    std::printf("trying to parse color %d\n", std::strncmp(s1, "rgb", 3) == 0 ? 1 : 0);
    if (std::strncmp(s1, "rgb=", 4) != 0) {
        return;
    }
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    int mat = 0;
    if (std::sscanf(s1, "rgb=(%g %g %g) matid=%d", &r, &g, &b, &mat) != 4) {
        std::printf("Mesh line %d: rgb attribute without three colour values and a matid; "
                    "colour not set\n", lineNumber);
        return;
    }
    t.color = Vector3(r, g, b);
    std::printf("set color to: %g %g %g\n", static_cast<double>(r), static_cast<double>(g),
                static_cast<double>(b));
}

// "Face id v1 v2 v3 ... {attributes": the first three vertex numbers make the triangle.
static void parseFaceLine(const char* str, Mesh& mesh, int lineNumber)
{
    Tri* t = new Tri();
    const char* p = str + 4;  // the space after "Face"
    bool idSet = false;
    int vertexNumbers = 0;
    const char* brace = nullptr;
    for (int i = 0;; ++i) {
        while (isSpace(static_cast<unsigned char>(*p))) {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        if (!isDigit(*p) && *p != '{') {
            // A sign, point, letter or closing brace: the walk cannot move past it.
            std::printf("Mesh line %d: unexpected character 0x%02x in Face line; rest of the "
                        "line ignored\n", lineNumber, static_cast<unsigned char>(*p));
            break;
        }
        int n = 0;
        while (isDigit(*p)) {
            const int digit = *p - '0';
            n = n > (INT_MAX - digit) / 10 ? INT_MAX : n * 10 + digit;  // saturate, never wrap
            ++p;
        }
        if (!idSet) {
            idSet = true;  // the face's own id is not kept
        } else {
            if (i <= 3) {
                t->vertexIndex[i - 1] = n;
                ++vertexNumbers;
            }
        }
        if (*p == '{') {
            brace = p;
            break;
        }
    }
    if (brace != nullptr) {
        parseFaceAttribute(brace + 1, *t, lineNumber);
    }
    if (vertexNumbers < 3) {
        std::printf("Mesh line %d: Face line with fewer than three vertex numbers; dropped\n",
                    lineNumber);
        delete t;
        return;
    }
    mesh.tris.push_back(t);
    if (lineNumber > 0) {
        faceLines.resize(mesh.tris.size(), 0);
        faceLines.back() = lineNumber;
    }
}

// Comment, Vertex or Face line by its first word; anything else is skipped.
void parseMeshLine(const char* str, Mesh& mesh, int lineNumber)
{
    if (str[0] == '#') {
        return;
    }
    if (str[0] == 'V' && std::strncmp(str, "Vertex ", 7) == 0) {
        parseVertexLine(str, mesh, lineNumber);
    } else if (str[0] == 'F' && std::strncmp(str, "Face ", 5) == 0) {
        parseFaceLine(str, mesh, lineNumber);
    }
}

void parseMeshLine(const char* str, Mesh& mesh)
{
    parseMeshLine(str, mesh, 0);
}

// Reads lines like a stream's ws, get(str, 256) and ignore(9999, '\n') would, counting them.
bool readMeshLines(std::FILE* in_f, Mesh& mesh)
{
    char str[256];
    int lineNumber = 1;
    for (;;) {
        int c = std::getc(in_f);
        while (isSpace(c)) {
            if (c == '\n') {
                ++lineNumber;
            }
            c = std::getc(in_f);
        }
        if (c == EOF) {
            break;
        }
        size_t n = 0;
        bool atEnd = false;
        while (c != EOF && c != '\n' && n < 255) {
            str[n++] = static_cast<char>(c);
            if (n < 255) {
                c = std::getc(in_f);
            }
        }
        if (c == '\n') {
            std::ungetc(c, in_f);
        } else if (c == EOF) {
            atEnd = true;
        }
        str[n] = '\0';
        const int thisLine = lineNumber;
        for (int skipped = 0; !atEnd && skipped < 9999; ++skipped) {
            c = std::getc(in_f);
            if (c == EOF) {
                break;
            }
            if (c == '\n') {
                ++lineNumber;
                break;
            }
        }
        parseMeshLine(str, mesh, thisLine);
        if (mesh.verts.size() > meshVertexLimit || mesh.tris.size() > meshFaceLimit) {
            return false;
        }
        if (atEnd) {
            break;
        }
    }
    return true;
}

// Frees the vertices and faces past the first verts and tris of mesh.
static void dropRecordsPast(Mesh& mesh, size_t verts, size_t tris)
{
    for (size_t i = tris; i < mesh.tris.size(); ++i) {
        delete mesh.tris[i];
    }
    for (size_t i = verts; i < mesh.verts.size(); ++i) {
        delete mesh.verts[i];
    }
    mesh.tris.resize(tris);
    mesh.verts.resize(verts);
    mesh.tris.shrink_to_fit();
    mesh.verts.shrink_to_fit();
}

// Opens the file and reads it line by line; a file that is missing, not a regular file, over
// the size limit or over a count limit leaves the mesh as it was.
void readMeshFile(const char* path, Mesh& mesh)
{
    std::printf("Reading coordinates from %s\n", path);
    forgetFaceLines();
    std::string whyNot;
    std::FILE* in_f = openRegularFile(path, assetSizeLimit, whyNot);
    if (in_f == nullptr) {
        std::printf("Could not open file %s\n", path);
        if (!whyNot.empty()) {
            std::printf("%s\n", whyNot.c_str());
        }
        return;
    }
    const size_t verts = mesh.verts.size();
    const size_t tris = mesh.tris.size();
    const bool whole = readMeshLines(in_f, mesh);
    std::fclose(in_f);
    if (!whole) {
        const bool tooManyVerts = mesh.verts.size() > meshVertexLimit;
        dropRecordsPast(mesh, verts, tris);
        forgetFaceLines();
        std::printf("Could not open file %s\n%s holds more than the %zu %s allowed; not read\n",
                    path, path, tooManyVerts ? meshVertexLimit : meshFaceLimit,
                    tooManyVerts ? "vertices" : "faces");
    }
}

// Drops triangles that name a vertex the file does not have, so nothing indexes past verts.
static void dropFacesOutOfRange(Mesh& mesh)
{
    const long long count = static_cast<long long>(mesh.verts.size());
    size_t kept = 0;
    for (size_t i = 0; i < mesh.tris.size(); ++i) {
        Tri* t = mesh.tris[i];
        const int* k = t->vertexIndex;
        if (k[0] >= 1 && k[0] <= count && k[1] >= 1 && k[1] <= count && k[2] >= 1 &&
            k[2] <= count) {
            mesh.tris[kept++] = t;
            continue;
        }
        std::printf("Mesh line %d: Face with vertex numbers %d %d %d outside 1 to %lld; "
                    "dropped\n", i < faceLines.size() ? faceLines[i] : 0, k[0], k[1], k[2], count);
        delete t;
    }
    mesh.tris.resize(kept);
}

// Resets the bounds, reads the file, drops broken faces, measures the extent, builds normals.
void loadMesh(const char* path, Mesh& mesh)
{
    // Bounds start at 1.1754e-38 and 1.1754e38, not at the float limits.
    maxX = maxY = floatFromBits(0x007FFD5Fu);
    minX = minY = floatFromBits(0x7EB0DAC3u);
    mesh.scale = 1.0f;
    readMeshFile(path, mesh);
    dropFacesOutOfRange(mesh);
    forgetFaceLines();
    mesh.extent = maxX - minX;
    if (mesh.extent < maxY - minY) {
        mesh.extent = maxY - minY;
    }
    buildNormals(mesh);
}

// Whether all three vertex numbers of t name one of count vertices.
static bool inRange(const Tri& t, size_t count)
{
    for (int k : t.vertexIndex) {
        if (k < 1 || static_cast<size_t>(k) > count) {
            return false;
        }
    }
    return true;
}

// Unit face normals, each added to its three corners, then every vertex normal normalised.
void buildNormals(Mesh& mesh)
{
    const size_t count = mesh.verts.size();
    for (size_t i = 0; i < count; ++i) {
        mesh.normals.push_back(Vector3(0.0f, 0.0f, 0.0f));
    }
    for (Tri* t : mesh.tris) {
        if (!inRange(*t, count)) {
            continue;  // loadMesh has dropped these; a caller that did not gets no normal
        }
        const Vector3& p1 = *mesh.verts[t->vertexIndex[0] - 1];
        const Vector3& p2 = *mesh.verts[t->vertexIndex[1] - 1];
        const Vector3& p3 = *mesh.verts[t->vertexIndex[2] - 1];
        const Vector3 e1(p2.x - p1.x, p2.y - p1.y, p2.z - p1.z);
        const Vector3 e2(p3.x - p1.x, p3.y - p1.y, p3.z - p1.z);
        t->normal = unitCross(e1, e2);
        for (int k : t->vertexIndex) {
            Vector3& n = mesh.normals[k - 1];
            n.x += t->normal.x;
            n.y += t->normal.y;
            n.z += t->normal.z;
        }
    }
    for (Vector3& n : mesh.normals) {
        const float length = std::sqrt(dot(n, n));
        n.x = n.x / length;
        n.y = n.y / length;
        n.z = n.z / length;
    }
}

void releaseMesh(Mesh& mesh)
{
    for (Tri* t : mesh.tris) {
        delete t;
    }
    forgetFaceLines();
    for (Vector3* v : mesh.verts) {
        delete v;
    }
    mesh.tris.clear();
    mesh.verts.clear();
    mesh.normals.clear();
}
