#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/game_state.h"
#include "assets/mesh.h"

// A mesh that frees its records when the test ends (the game never frees its own).
struct ScopedMesh {
    Mesh mesh;
    ~ScopedMesh()
    {
        for (Tri* t : mesh.tris) {
            delete t;
        }
        for (Vector3* v : mesh.verts) {
            delete v;
        }
    }
};

static std::string writeTempFile(const std::string& content)
{
    char path[] = "/tmp/mesh_test_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
    return path;
}

// Loads content through loadMesh and returns everything it printed.
static std::string loadFromText(const std::string& content, Mesh& mesh)
{
    const std::string path = writeTempFile(content);
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    loadMesh(path.c_str(), mesh);
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    std::remove(path.c_str());
    return out;
}

static std::string parseLine(const char* line, Mesh& mesh)
{
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    parseMeshLine(line, mesh);
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

static float bitsToFloat(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

static const char* threeVerts = "Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\n";

TEST(MeshReader, LineHandlingOfTheFile)
{
    struct Case {
        const char* name;
        std::string text;
        size_t verts;
        size_t tris;
    };
    const std::string longComment = "#" + std::string(254, 'x') + "Vertex 9 9 9 9" +
                                    std::string(31, 'y') + "\n";
    const std::string faceCut = "Face 1 1 2 " + std::string(244, ' ') + "3\n";
    ASSERT_EQ(longComment.size(), 301u);
    const Case cases[] = {
        {"300-character line: its tail is not a line", longComment + threeVerts, 3, 0},
        {"255-character cut drops the 256th character", threeVerts + faceCut, 3, 0},
        {"no line end after the last line", "Vertex 1 0 0 0\nVertex 2 1 1 1", 2, 0},
        {"carriage returns", "Vertex 1 0 0 0\r\nVertex 2 1 0 0\r\nVertex 3 0 1 0\r\n"
                             "Face 1 1 2 3\r\n", 3, 1},
        {"indentation, blank lines, indented comment",
         "\n\n   \tVertex 1 0 0 0\n\n  # Vertex 5 5 5 5\n\t Vertex 2 1 1 1\n", 2, 0},
        {"lower-case word and a tab after Vertex",
         "vertex 1 0 0 0\nVertex\t2 1 1 1\nVertexx 3 1 1 1\nFace\t1 1 2 3\n", 0, 0},
        {"other record kinds are skipped", "Corner 1 2 3\nEdge 1 2\n" + std::string(threeVerts),
         3, 0},
        {"faces before their vertices", "Face 1 1 2 3\n" + std::string(threeVerts), 3, 1},
        {"empty file", "", 0, 0},
    };
    for (const Case& c : cases) {
        ScopedMesh m;
        loadFromText(c.text, m.mesh);
        EXPECT_EQ(m.mesh.verts.size(), c.verts) << c.name;
        EXPECT_EQ(m.mesh.tris.size(), c.tris) << c.name;
        EXPECT_EQ(m.mesh.normals.size(), c.verts) << c.name;
    }
}

TEST(MeshReader, VertexLinesNumberVerticesInFileOrder)
{
    ScopedMesh m;
    loadFromText("Vertex 12 0.5 -1 2\nVertex 3 4 5 6 trailing words\n", m.mesh);
    ASSERT_EQ(m.mesh.verts.size(), 2u);
    EXPECT_FLOAT_EQ(m.mesh.verts[0]->x, 0.5f);
    EXPECT_FLOAT_EQ(m.mesh.verts[0]->y, -1.0f);
    EXPECT_FLOAT_EQ(m.mesh.verts[0]->z, 2.0f);
    EXPECT_FLOAT_EQ(m.mesh.verts[1]->z, 6.0f);
}

TEST(MeshReader, FaceWalkAndAttributes)
{
    struct Case {
        const char* line;
        bool added;
        int v[3];
        std::string out;
    };
    const Case cases[] = {
        {"Face 7 1 2 3", true, {1, 2, 3}, ""},
        {"Face 7 1 2 3 4 5", true, {1, 2, 3}, ""},
        {"Face   7\t1  2 3   ", true, {1, 2, 3}, ""},
        {"Face 7 1 2 3 {rgb=(1 0.5 0) matid=2}", true, {1, 2, 3},
         "trying to parse color 1\nset color to: 1 0.5 0\n"},
        {"Face 7 1 2 3{rgb=(1 0.5 0) matid=2}", true, {1, 2, 3},
         "trying to parse color 1\nset color to: 1 0.5 0\n"},
        {"Face 7 1 2 3 {normal=(0 1 0)}", true, {1, 2, 3}, "trying to parse color 0\n"},
        {"Face 7 1 2 3 {rgbx=(1 1 1) matid=1}", true, {1, 2, 3}, "trying to parse color 1\n"},
        {"Face 7 1 2 3 {rgb=(1 0.5) matid=2}", true, {1, 2, 3},
         "trying to parse color 1\nMesh line 0: rgb attribute without three colour values and "
         "a matid; colour not set\n"},
        {"Face 7 1 2 3}", true, {1, 2, 3},
         "Mesh line 0: unexpected character 0x7d in Face line; rest of the line ignored\n"},
        {"Face 7 1 2", false, {0, 0, 0},
         "Mesh line 0: Face line with fewer than three vertex numbers; dropped\n"},
        {"Face 7 1 -2 3", false, {0, 0, 0},
         "Mesh line 0: unexpected character 0x2d in Face line; rest of the line ignored\n"
         "Mesh line 0: Face line with fewer than three vertex numbers; dropped\n"},
        {"Face 7 1 2 3.5", true, {1, 2, 3},
         "Mesh line 0: unexpected character 0x2e in Face line; rest of the line ignored\n"},
        {"Face 7 1 99999999999999 3", true, {1, 2147483647, 3}, ""},
        {"Face", false, {0, 0, 0}, ""},
        {"Facet 1 2 3 4", false, {0, 0, 0}, ""},
        {"# Face 1 2 3 4", false, {0, 0, 0}, ""},
    };
    for (const Case& c : cases) {
        ScopedMesh m;
        const std::string out = parseLine(c.line, m.mesh);
        EXPECT_EQ(out, c.out) << c.line;
        ASSERT_EQ(m.mesh.tris.size(), c.added ? 1u : 0u) << c.line;
        if (c.added) {
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(m.mesh.tris[0]->vertexIndex[k], c.v[k]) << c.line;
            }
            EXPECT_FLOAT_EQ(m.mesh.tris[0]->normal.y, 1.0f) << c.line;
        }
    }
    ScopedMesh colored;
    parseLine("Face 7 1 2 3 {rgb=(1 0.5 0) matid=2}", colored.mesh);
    EXPECT_FLOAT_EQ(colored.mesh.tris[0]->color.x, 1.0f);
    EXPECT_FLOAT_EQ(colored.mesh.tris[0]->color.y, 0.5f);
    EXPECT_FLOAT_EQ(colored.mesh.tris[0]->color.z, 0.0f);
    ScopedMesh precise;
    EXPECT_EQ(parseLine("Face 1 1 2 3 {rgb=(0.123456789 100 1e-05) matid=0}", precise.mesh),
              "trying to parse color 1\nset color to: 0.123457 100 1e-05\n");
}

TEST(MeshReader, BrokenLinesAreReportedWithTheirLineNumber)
{
    ScopedMesh m;
    const std::string out = loadFromText(
        "# broken lines\n\nVertex 1 2 3\nVertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\n"
        "Face 1 1 2 {rgb=(1 1 1) matid=0}\nFace 2 1 2 4\nFace 3 3 2 1 {rgb=(1 x 1) matid=0}\n"
        "Face 4 1 2\n",
        m.mesh);
    EXPECT_NE(out.find("Mesh line 3: Vertex line without an id and three coordinates; "
                       "skipped\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Mesh line 9: rgb attribute without"), std::string::npos) << out;
    EXPECT_NE(out.find("Mesh line 10: Face line with fewer than three"), std::string::npos)
        << out;
    // "1 2 {" reads an empty number before the brace: vertex 0, out of range like vertex 4.
    EXPECT_NE(out.find("Mesh line 7: Face with vertex numbers 1 2 0 outside 1 to 3; dropped\n"),
              std::string::npos) << out;
    EXPECT_NE(out.find("Mesh line 8: Face with vertex numbers 1 2 4 outside 1 to 3; dropped\n"),
              std::string::npos) << out;
    ASSERT_EQ(m.mesh.verts.size(), 3u);
    ASSERT_EQ(m.mesh.tris.size(), 1u);
    EXPECT_EQ(m.mesh.tris[0]->vertexIndex[0], 3);
    EXPECT_FLOAT_EQ(m.mesh.tris[0]->normal.z, -1.0f);
}

TEST(MeshModel, NormalOpenFilePrintsOnlyTheReadingLine)
{
    ScopedMesh m;
    const std::string path = writeTempFile(threeVerts);
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    loadMesh(path.c_str(), m.mesh);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Reading coordinates from " + path + "\n");
    std::remove(path.c_str());
}

TEST(MeshModel, MissingFileLeavesAnEmptyMeshAndTheStartBounds)
{
    ScopedMesh m;
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    loadMesh("/nonexistent/bunny500.m", m.mesh);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Reading coordinates from /nonexistent/bunny500.m\n"
              "Could not open file /nonexistent/bunny500.m\n");
    EXPECT_TRUE(m.mesh.tris.empty());
    EXPECT_TRUE(m.mesh.normals.empty());
    EXPECT_EQ(maxX, bitsToFloat(0x007FFD5Fu));
    EXPECT_EQ(maxY, bitsToFloat(0x007FFD5Fu));
    EXPECT_EQ(minX, bitsToFloat(0x7EB0DAC3u));
    EXPECT_EQ(minY, bitsToFloat(0x7EB0DAC3u));
    EXPECT_FLOAT_EQ(m.mesh.scale, 1.0f);
    EXPECT_FLOAT_EQ(m.mesh.extent, bitsToFloat(0x007FFD5Fu) - bitsToFloat(0x7EB0DAC3u));
}

TEST(MeshModel, BoundsAndExtent)
{
    ScopedMesh negative;
    loadFromText("Vertex 1 -3 0 0\nVertex 2 -1 1 0\nVertex 3 -2 0.5 0\n", negative.mesh);
    EXPECT_EQ(maxX, bitsToFloat(0x007FFD5Fu));  // no x exceeds the tiny start value
    EXPECT_FLOAT_EQ(minX, -3.0f);
    EXPECT_FLOAT_EQ(maxY, 1.0f);
    EXPECT_EQ(minY, 0.0f);
    EXPECT_FLOAT_EQ(negative.mesh.extent, 3.0f);

    ScopedMesh tall;
    loadFromText("Vertex 1 -3 0 0\nVertex 2 -2 4 0\n", tall.mesh);
    EXPECT_FLOAT_EQ(tall.mesh.extent, 4.0f);  // y wins over x's 3

    ScopedMesh box;
    loadFromText("Vertex 1 0.5 0.5 0\nVertex 2 1.5 1 5\nVertex 3 1 1.5 2.5\n", box.mesh);
    EXPECT_FLOAT_EQ(box.mesh.extent, 1.0f);  // z takes no part
}

TEST(MeshModel, FaceAndVertexNormals)
{
    ScopedMesh ccw;
    loadFromText(std::string(threeVerts) + "Face 1 1 2 3\n", ccw.mesh);
    ASSERT_EQ(ccw.mesh.tris.size(), 1u);
    EXPECT_FLOAT_EQ(ccw.mesh.tris[0]->normal.z, 1.0f);
    for (const Vector3& n : ccw.mesh.normals) {
        EXPECT_FLOAT_EQ(n.x, 0.0f);
        EXPECT_FLOAT_EQ(n.y, 0.0f);
        EXPECT_FLOAT_EQ(n.z, 1.0f);
    }

    ScopedMesh cw;
    loadFromText(std::string(threeVerts) + "Face 1 1 3 2\n", cw.mesh);
    EXPECT_FLOAT_EQ(cw.mesh.tris[0]->normal.z, -1.0f);
    EXPECT_FLOAT_EQ(cw.mesh.normals[1].z, -1.0f);

    // Vertex 1 is shared by a triangle facing +z and one facing +y.
    ScopedMesh shared;
    loadFromText(std::string(threeVerts) + "Vertex 4 0 0 1\nFace 1 1 2 3\nFace 2 1 4 2\n",
                 shared.mesh);
    ASSERT_EQ(shared.mesh.normals.size(), 4u);
    EXPECT_FLOAT_EQ(shared.mesh.tris[1]->normal.y, 1.0f);
    EXPECT_FLOAT_EQ(shared.mesh.normals[0].x, 0.0f);
    EXPECT_FLOAT_EQ(shared.mesh.normals[0].y, 0.7071068f);
    EXPECT_FLOAT_EQ(shared.mesh.normals[0].z, 0.7071068f);
    EXPECT_FLOAT_EQ(shared.mesh.normals[2].z, 1.0f);
    EXPECT_FLOAT_EQ(shared.mesh.normals[3].y, 1.0f);
}
