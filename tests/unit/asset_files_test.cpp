// Checks the committed asset files themselves, so a broken regeneration by tools/ is caught:
// the image headers the loader relies on, the bunny mesh's size, numbering, winding and frame,
// and the gun shot's format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

static std::string readAssetFile(const std::string& relative)
{
    std::ifstream in(std::string(VANTRESKA_DATA) + "/" + relative, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

static uint32_t le(const std::string& bytes, size_t at, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; i--) {
        v = v * 256u + static_cast<unsigned char>(bytes[at + size_t(i)]);
    }
    return v;
}

static bool isPowerOfTwo(uint32_t v)
{
    return v != 0 && (v & (v - 1)) == 0;
}

TEST(AssetFiles, ImagesAre24BitUncompressedBmpsOfTheirShapeAndNotBlank)
{
    struct Expect {
        const char* name;
        uint32_t aspect; // width / height
    };
    const Expect images[] = {{"grass", 1},     {"wall", 1},         {"moon", 1},
                             {"Gunmetal", 1},  {"StartNewGame", 4}, {"Options", 2},
                             {"Help", 2},      {"Quit", 2},         {"Vantreska", 4},
                             {"bunnyLeft", 1}, {"bunnyRight", 1}};
    for (const Expect& e : images) {
        SCOPED_TRACE(e.name);
        const std::string b = readAssetFile(std::string("images/") + e.name + ".bmp");
        ASSERT_GE(b.size(), 54u);
        EXPECT_EQ(b.substr(0, 2), "BM");
        EXPECT_EQ(le(b, 10, 4), 54u); // pixels straight after the header
        EXPECT_EQ(le(b, 14, 4), 40u);
        const uint32_t w = le(b, 18, 4), h = le(b, 22, 4);
        EXPECT_TRUE(isPowerOfTwo(w) && isPowerOfTwo(h)) << w << "x" << h; // also bottom-up
        EXPECT_EQ(w % 4, 0u);
        EXPECT_EQ(w, h * e.aspect);
        EXPECT_EQ(le(b, 26, 2), 1u);
        EXPECT_EQ(le(b, 28, 2), 24u);
        EXPECT_EQ(le(b, 30, 4), 0u);
        ASSERT_EQ(b.size(), 54u + size_t(w) * h * 3);
        double sum = 0.0, sumSq = 0.0;
        for (size_t i = 54; i < b.size(); i++) {
            const double v = static_cast<unsigned char>(b[i]);
            sum += v;
            sumSq += v * v;
        }
        const double n = double(b.size() - 54);
        EXPECT_GT(std::sqrt(sumSq / n - (sum / n) * (sum / n)), 15.0) << "a flat, blank picture";
    }
}

TEST(AssetFiles, BunnyMeshIsAbout500TrianglesWoundOutwardsInTheScanFrame)
{
    std::istringstream in(readAssetFile("meshes/bunny500.m"));
    std::vector<double> vx, vy, vz;
    std::vector<long> faces;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        long id = 0;
        words >> kind >> id;
        if (kind == "Vertex") {
            double x = 0, y = 0, z = 0;
            ASSERT_TRUE(words >> x >> y >> z) << line;
            vx.push_back(x);
            vy.push_back(y);
            vz.push_back(z);
        } else if (kind == "Face") {
            long a = 0, c = 0, d = 0;
            ASSERT_TRUE(words >> a >> c >> d) << line;
            faces.insert(faces.end(), {a, c, d});
        } else {
            ASSERT_TRUE(line.empty() || line[0] == '#') << line;
        }
    }
    ASSERT_GE(faces.size() / 3, 480u);
    ASSERT_LE(faces.size() / 3, 520u);
    std::vector<bool> used(vx.size(), false);
    for (long v : faces) {
        ASSERT_GE(v, 1);
        ASSERT_LE(v, long(vx.size()));
        used[size_t(v - 1)] = true;
    }
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << "unused vertices";
    // Neither centred nor scaled: the head reaches x < -0.08 and the feet sit above y = 0.03.
    for (size_t i = 0; i < vx.size(); i++) {
        ASSERT_TRUE(vx[i] > -0.1 && vx[i] < 0.07 && vy[i] > 0.03 && vy[i] < 0.19) << i + 1;
    }
    EXPECT_LT(*std::min_element(vx.begin(), vx.end()), -0.08);
    double volume6 = 0.0;
    for (size_t f = 0; f < faces.size(); f += 3) {
        const size_t a = size_t(faces[f] - 1), b = size_t(faces[f + 1] - 1);
        const size_t c = size_t(faces[f + 2] - 1);
        volume6 += vx[a] * (vy[b] * vz[c] - vz[b] * vy[c]) -
                   vy[a] * (vx[b] * vz[c] - vz[b] * vx[c]) +
                   vz[a] * (vx[b] * vy[c] - vy[b] * vx[c]);
    }
    EXPECT_GT(volume6 / 6.0, 0.0003); // counter-clockwise from outside; the bunny holds ~0.7 l
}

TEST(AssetFiles, GunShotIsShortSixteenBitPcmAndAudible)
{
    const std::string w = readAssetFile("sounds/gun1.wav");
    ASSERT_GE(w.size(), 44u);
    EXPECT_EQ(w.substr(0, 4), "RIFF");
    EXPECT_EQ(w.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(w, 20, 2), 1u); // plain PCM
    const uint32_t channels = le(w, 22, 2), rate = le(w, 24, 4), bits = le(w, 34, 2);
    EXPECT_TRUE(channels == 1 || channels == 2);
    EXPECT_TRUE(rate == 44100 || rate == 22050);
    EXPECT_EQ(bits, 16u);
    ASSERT_EQ(w.substr(36, 4), "data");
    const uint32_t bytes = le(w, 40, 4);
    ASSERT_EQ(w.size(), 44u + bytes);
    const double seconds = double(bytes) / (channels * rate * 2);
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 0.5);
    int peak = 0;
    for (size_t i = 44; i + 1 < w.size(); i += 2) {
        peak = std::max(peak, std::abs(int(int16_t(le(w, i, 2)))));
    }
    EXPECT_GT(peak, 16000);
}
