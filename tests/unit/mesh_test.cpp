#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "assets/mesh.h"

// Loads text through loadMesh, or one line through parseMeshLine; returns what it printed.
static std::string load(const std::string& text, Mesh& mesh, bool oneLine = false)
{
    std::string path = (std::filesystem::temp_directory_path() / "mesh_test_XXXXXX").string();
    close(mkstemp(path.data()));
    std::ofstream(path, std::ios::binary) << text;
    testing::internal::CaptureStdout();
    oneLine ? parseMeshLine(text.c_str(), mesh) : loadMesh(path.c_str(), mesh);
    std::remove(path.c_str());
    return testing::internal::GetCapturedStdout();
}

static const std::string threeVerts = "Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\n";

TEST(MeshReader, LineHandling)
{
    // Lines are cut at 255 characters: a long comment's tail is no line, a face loses its 3.
    const std::tuple<std::string, size_t, size_t> cases[] = {
        {std::string(255, '#') + "Vertex 9 9 9 9\n" + threeVerts, 3, 0},
        {threeVerts + "Face 1 1 2 " + std::string(244, ' ') + "3\n", 3, 0},
        {"Vertex 1 0 0 0\nVertex 2 1 1 1", 2, 0},
        {"Vertex 1 0 0 0\r\nVertex 2 1 0 0\r\nVertex 3 0 1 0\r\nFace 1 1 2 3\r\n", 3, 1},
        {"\n\n   \tVertex 1 0 0 0\n\n  # Vertex 5 5 5 5\n\t Vertex 2 1 1 1\n", 2, 0},
        {"vertex 1 0 0 0\nVertex\t2 1 1 1\nVertexx 3 1 1 1\nFace\t1 1 2 3\n", 0, 0},
    };
    for (const auto& [text, verts, tris] : cases) {
        Mesh m;
        load(text, m);
        EXPECT_EQ(m.verts.size(), verts) << text;
        EXPECT_EQ(m.tris.size(), tris) << text;
    }
}

TEST(MeshReader, FaceWalkAndColourAttribute)
{
    const std::string parsed = "trying to parse color 1\nset color to: 1 0.5 0\n";
    const std::tuple<const char*, std::string, bool> cases[] = {  // line, output, coloured
        {"Face 7 1 2 3 4 5", "", false},
        {"Face   7\t1  2 3   ", "", false},
        {"Face 7 1 2 3 {rgb=(1 0.5 0) matid=2}", parsed, true},
        {"Face 7 1 2 3{rgb=(1 0.5 0) matid=2}", parsed, true},
        {"Face 7 1 2 3 {normal=(0 1 0)}", "trying to parse color 0\n", false},
        {"Face 7 1 2 3 {rgbx=(1 1 1) matid=1}", "trying to parse color 1\n", false},
    };
    for (const auto& [line, out, coloured] : cases) {
        Mesh m;
        EXPECT_EQ(load(line, m, true), out) << line;
        const Tri& t = *m.tris.at(0);
        EXPECT_EQ(std::vector<int>(t.vertexIndex, t.vertexIndex + 3), std::vector<int>({1, 2, 3}));
        EXPECT_FLOAT_EQ(t.color.x, coloured ? 1.0f : 0.0f) << line;
        EXPECT_FLOAT_EQ(t.color.y, coloured ? 0.5f : 0.0f) << line;
    }
}

TEST(MeshReader, BrokenLinesAreReportedAndDropped)
{
    Mesh m;
    const std::string out = load(
        "Vertex 1 2 3\n" + threeVerts + "Face 2 3 2 1 {rgb=(1 x 1) matid=0}\nFace 1 1 2 4\n"
        "Face 3 0 1 2\n", m);
    EXPECT_EQ(out.substr(out.find('\n') + 1),
              "Mesh line 1: Vertex line without an id and three coordinates; skipped\n"
              "trying to parse color 1\nMesh line 5: rgb attribute without three colour "
              "values and a matid; colour not set\n"
              "Mesh line 6: Face with vertex numbers 1 2 4 outside 1 to 3; dropped\n"
              "Mesh line 7: Face with vertex numbers 0 1 2 outside 1 to 3; dropped\n");
    EXPECT_EQ(m.verts.size(), 3u);
    EXPECT_EQ(m.tris.size(), 1u);
}

TEST(MeshModel, ExtentAndNormals)
{
    // No x reaches above the tiny start maximum, so all-negative x measures from ~0; z is no part.
    Mesh negative;
    load("Vertex 1 -3 0 0\nVertex 2 -1 1 0\nVertex 3 -2 0.5 9\n", negative);
    EXPECT_FLOAT_EQ(negative.extent, 3.0f);
    // Vertex 1 is shared by a face towards +z and one towards +y.
    Mesh m;
    load(threeVerts + "Vertex 4 0 0 1\nFace 1 1 2 3\nFace 2 1 4 2\n", m);
    EXPECT_NEAR(m.normals.at(0).x, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(m.normals[0].y, 0.7071068f);
    EXPECT_FLOAT_EQ(m.normals[0].z, 0.7071068f);
}
