// make_bunny_mesh: turns the Stanford Bunny scan (ASCII PLY) into the game's bunny500.m.
//
//   make_bunny_mesh <in.ply> <out.m> [<side_view.ppm>]
//
// The scan is simplified to about 500 triangles with meshoptimizer. Coordinates stay in the
// scan's own frame (metres, y up, head towards -x): the game places the model unscaled and puts
// the eyes and the mouth at fixed points of that frame. Triangles are written counter-clockwise
// as seen from outside. The optional PPM is a flat-shaded side view seen from +z (the bunny faces
// left), on a magenta key colour, for the menu pictures.
#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct Point {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Model {
    std::vector<Point> verts;
    std::vector<unsigned int> indices; // three per triangle, 0-based
};

static const int minTriangles = 480;
static const int maxTriangles = 520;
static const int targetTriangles = 500;

static Point sub(Point a, Point b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
static Point crossP(Point a, Point b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
static double dotP(Point a, Point b)
{
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

// Reads an ASCII PLY with x, y, z as the first vertex properties and polygon faces (fanned into
// triangles). Returns false with a message on anything it cannot read.
static bool readPly(const char* path, Model& model)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "make_bunny_mesh: cannot open %s\n", path);
        return false;
    }
    std::string line;
    long vertexCount = -1;
    long faceCount = -1;
    int vertexProps = 0;
    bool inVertex = false;
    if (!std::getline(in, line) || line.compare(0, 3, "ply") != 0) {
        std::fprintf(stderr, "make_bunny_mesh: %s is not a PLY file\n", path);
        return false;
    }
    while (std::getline(in, line) && line.compare(0, 10, "end_header") != 0) {
        std::istringstream words(line);
        std::string word, kind;
        words >> word;
        if (word == "format" && line.find("ascii") == std::string::npos) {
            std::fprintf(stderr, "make_bunny_mesh: only ASCII PLY is supported\n");
            return false;
        }
        if (word == "element") {
            long n = 0;
            words >> kind >> n;
            inVertex = (kind == "vertex");
            if (kind == "vertex")
                vertexCount = n;
            if (kind == "face")
                faceCount = n;
        } else if (word == "property" && inVertex) {
            vertexProps++;
        }
    }
    if (vertexCount <= 0 || faceCount <= 0 || vertexProps < 3) {
        std::fprintf(stderr, "make_bunny_mesh: %s lacks vertices, faces or x y z\n", path);
        return false;
    }
    model.verts.resize(size_t(vertexCount));
    for (Point& p : model.verts) {
        float extra = 0.0f;
        in >> p.x >> p.y >> p.z;
        for (int k = 3; k < vertexProps; k++)
            in >> extra;
    }
    for (long f = 0; f < faceCount && in; f++) {
        int n = 0;
        in >> n;
        std::vector<long> poly(size_t(std::max(n, 0)));
        for (long& v : poly)
            in >> v;
        for (int k = 2; k < n; k++) {
            const long tri[3] = {poly[0], poly[size_t(k - 1)], poly[size_t(k)]};
            for (long v : tri) {
                if (v < 0 || v >= vertexCount) {
                    std::fprintf(stderr, "make_bunny_mesh: face %ld names vertex %ld\n", f, v);
                    return false;
                }
                model.indices.push_back(unsigned(v));
            }
        }
    }
    if (!in) {
        std::fprintf(stderr, "make_bunny_mesh: %s ends early\n", path);
        return false;
    }
    return true;
}

// Six times the signed volume, taken about the vertex centroid so the small holes in the
// scan's base hardly matter; positive when the triangles wind counter-clockwise from outside.
static double signedVolume6(const Model& m)
{
    Point c;
    for (const Point& p : m.verts) {
        c.x += p.x / float(m.verts.size());
        c.y += p.y / float(m.verts.size());
        c.z += p.z / float(m.verts.size());
    }
    double sum = 0.0;
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        const Point a = sub(m.verts[m.indices[i]], c);
        const Point b = sub(m.verts[m.indices[i + 1]], c);
        const Point d = sub(m.verts[m.indices[i + 2]], c);
        sum += dotP(a, crossP(b, d));
    }
    return sum;
}

// Simplifies to between minTriangles and maxTriangles: the edge-collapse simplifier first,
// the sloppy one (with a searched target) when the scan's borders keep the first from getting
// there.
static std::vector<unsigned int> simplify(const Model& m)
{
    std::vector<unsigned int> out(m.indices.size());
    const size_t target = size_t(targetTriangles) * 3;
    float error = 0.0f;
    size_t n = meshopt_simplify(out.data(), m.indices.data(), m.indices.size(), &m.verts[0].x,
                                m.verts.size(), sizeof(Point), target, 1.0f, 0, &error);
    std::printf("meshopt_simplify: %zu triangles, relative error %g\n", n / 3, error);
    if (n / 3 >= size_t(minTriangles) && n / 3 <= size_t(maxTriangles)) {
        out.resize(n);
        return out;
    }
    size_t t = target;
    for (int attempt = 0; attempt < 20; attempt++) {
        n = meshopt_simplifySloppy(out.data(), m.indices.data(), m.indices.size(), &m.verts[0].x,
                                   m.verts.size(), sizeof(Point), t, 1.0f, &error);
        std::printf("meshopt_simplifySloppy(target %zu): %zu triangles\n", t / 3, n / 3);
        if (n / 3 >= size_t(minTriangles) && n / 3 <= size_t(maxTriangles))
            break;
        t = std::max<size_t>(3, t * size_t(targetTriangles) / std::max<size_t>(n / 3, 1) / 3 * 3);
    }
    out.resize(n);
    return out;
}

// Keeps only the vertices the triangles use, in their original order, and drops triangles
// with a repeated corner.
static Model compact(const Model& src, const std::vector<unsigned int>& indices)
{
    std::vector<long> remap(src.verts.size(), -1);
    Model out;
    std::vector<unsigned int> kept;
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const unsigned a = indices[i], b = indices[i + 1], c = indices[i + 2];
        if (a == b || b == c || a == c)
            continue;
        kept.insert(kept.end(), {a, b, c});
        remap[a] = remap[b] = remap[c] = 0;
    }
    for (size_t v = 0; v < src.verts.size(); v++) {
        if (remap[v] == 0) {
            remap[v] = long(out.verts.size());
            out.verts.push_back(src.verts[v]);
        }
    }
    for (unsigned v : kept)
        out.indices.push_back(unsigned(remap[v]));
    return out;
}

// Distance from p to the triangle abc (closest point by region tests).
static double pointTriangleDistance(Point p, Point a, Point b, Point c)
{
    const Point ab = sub(b, a), ac = sub(c, a), ap = sub(p, a);
    const double d1 = dotP(ab, ap), d2 = dotP(ac, ap);
    Point q = a;
    const Point bp = sub(p, b);
    const double d3 = dotP(ab, bp), d4 = dotP(ac, bp);
    const Point cp = sub(p, c);
    const double d5 = dotP(ab, cp), d6 = dotP(ac, cp);
    const double va = d3 * d6 - d5 * d4, vb = d5 * d2 - d1 * d6, vc = d1 * d4 - d3 * d2;
    auto along = [](Point o, Point e, double t) {
        return Point{float(o.x + e.x * t), float(o.y + e.y * t), float(o.z + e.z * t)};
    };
    if (d1 <= 0 && d2 <= 0) {
        q = a;
    } else if (d3 >= 0 && d4 <= d3) {
        q = b;
    } else if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        q = along(a, ab, d1 / (d1 - d3));
    } else if (d6 >= 0 && d5 <= d6) {
        q = c;
    } else if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        q = along(a, ac, d2 / (d2 - d6));
    } else if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        q = along(b, sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6)));
    } else {
        const double denom = 1.0 / (va + vb + vc);
        const double v = vb * denom, w = vc * denom;
        q = {float(a.x + ab.x * v + ac.x * w), float(a.y + ab.y * v + ac.y * w),
             float(a.z + ab.z * v + ac.z * w)};
    }
    const Point d = sub(p, q);
    return std::sqrt(dotP(d, d));
}

static double distanceToMesh(const Model& m, Point p)
{
    double best = 1e30;
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        best = std::min(best,
                        pointTriangleDistance(p, m.verts[m.indices[i]], m.verts[m.indices[i + 1]],
                                              m.verts[m.indices[i + 2]]));
    }
    return best;
}

// Generalised winding number of the mesh about p: near 1 inside, near 0 outside, and still
// meaningful with the small holes of the scan.
static double windingNumber(const Model& m, Point p)
{
    double sum = 0.0;
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        const Point a = sub(m.verts[m.indices[i]], p), b = sub(m.verts[m.indices[i + 1]], p);
        const Point c = sub(m.verts[m.indices[i + 2]], p);
        const double la = std::sqrt(dotP(a, a)), lb = std::sqrt(dotP(b, b));
        const double lc = std::sqrt(dotP(c, c));
        const double num = dotP(a, crossP(b, c));
        const double den = la * lb * lc + dotP(a, b) * lc + dotP(b, c) * la + dotP(c, a) * lb;
        sum += 2.0 * std::atan2(num, den);
    }
    return sum / (4.0 * 3.14159265358979);
}

// Writes the .m file: a credit header, then Vertex and Face lines with 1-based numbers.
static bool writeMesh(const char* path, const Model& m)
{
    FILE* f = std::fopen(path, "w");
    if (!f) {
        std::fprintf(stderr, "make_bunny_mesh: cannot write %s\n", path);
        return false;
    }
    std::fprintf(f,
                 "# bunny500.m: the Stanford Bunny, simplified to %zu triangles.\n"
                 "# Source: Stanford 3D Scanning Repository, Computer Graphics Laboratory,\n"
                 "# Stanford University (Cyberware 3030MS range data, zipper reconstruction).\n"
                 "# Coordinates in the scan's own frame (metres, y up, head towards -x);\n"
                 "# faces wind counter-clockwise as seen from outside.\n",
                 m.indices.size() / 3);
    for (size_t v = 0; v < m.verts.size(); v++) {
        std::fprintf(f, "Vertex %zu %g %g %g\n", v + 1, m.verts[v].x, m.verts[v].y, m.verts[v].z);
    }
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        std::fprintf(f, "Face %zu %u %u %u\n", i / 3 + 1, m.indices[i] + 1, m.indices[i + 1] + 1,
                     m.indices[i + 2] + 1);
    }
    return std::fclose(f) == 0;
}

struct Raster {
    int size = 512;
    float minX = 0.0f, minY = 0.0f, pixelsPerUnit = 1.0f;
    std::vector<unsigned char> rgb;
    std::vector<float> depth;
};

static float toPx(const Raster& r, float x)
{
    return (x - r.minX) * r.pixelsPerUnit;
}
static float toPy(const Raster& r, float y)
{
    return float(r.size) - (y - r.minY) * r.pixelsPerUnit;
}

// Fills one triangle into the raster with a flat colour, nearer (larger z) wins.
static void fillTriangle(Raster& r, Point a, Point b, Point c, const unsigned char colour[3])
{
    const float ax = toPx(r, a.x), ay = toPy(r, a.y), bx = toPx(r, b.x), by = toPy(r, b.y);
    const float cx = toPx(r, c.x), cy = toPy(r, c.y);
    const float area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (std::fabs(area) < 1e-6f)
        return;
    const int x0 = std::max(0, int(std::floor(std::min({ax, bx, cx}))));
    const int x1 = std::min(r.size - 1, int(std::ceil(std::max({ax, bx, cx}))));
    const int y0 = std::max(0, int(std::floor(std::min({ay, by, cy}))));
    const int y1 = std::min(r.size - 1, int(std::ceil(std::max({ay, by, cy}))));
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float w0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
            const float w1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
            const float w2 = 1.0f - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            const float z = w0 * a.z + w1 * b.z + w2 * c.z;
            const size_t k = size_t(y) * size_t(r.size) + size_t(x);
            if (z <= r.depth[k])
                continue;
            r.depth[k] = z;
            std::memcpy(&r.rgb[k * 3], colour, 3);
        }
    }
}

// Draws an eye as the visible part of a small red sphere.
static void drawEye(Raster& r, Point centre, float radius)
{
    const float cx = toPx(r, centre.x), cy = toPy(r, centre.y), pr = radius * r.pixelsPerUnit;
    for (int y = std::max(0, int(cy - pr)); y <= std::min(r.size - 1, int(cy + pr)); y++) {
        for (int x = std::max(0, int(cx - pr)); x <= std::min(r.size - 1, int(cx + pr)); x++) {
            const float dx = (float(x) + 0.5f - cx) / pr, dy = (float(y) + 0.5f - cy) / pr;
            const float d2 = dx * dx + dy * dy;
            if (d2 > 1.0f)
                continue;
            const size_t k = size_t(y) * size_t(r.size) + size_t(x);
            if (centre.z + radius * std::sqrt(1.0f - d2) <= r.depth[k])
                continue;
            const float glint = (dx < -0.2f && dy < -0.2f && d2 < 0.35f) ? 1.0f : 0.0f;
            r.rgb[k * 3] = (unsigned char)(200 + 55 * glint);
            r.rgb[k * 3 + 1] = (unsigned char)(20 + 200 * glint);
            r.rgb[k * 3 + 2] = (unsigned char)(20 + 200 * glint);
        }
    }
}

// Renders the side view seen from +z (tilted down a little), flat-shaded in a warm grey-brown, eyes
// in red, on a magenta key colour, and writes it as a binary PPM.
static bool writeSideView(const char* path, const Model& model, const Point modelEyes[2])
{
    // Tilt the view 25 degrees down onto the back so the eyes on top of the head show.
    const float tilt = 25.0f * 3.14159265f / 180.0f;
    auto view = [tilt](Point p) {
        return Point{p.x, p.y * std::cos(tilt) - p.z * std::sin(tilt),
                     p.y * std::sin(tilt) + p.z * std::cos(tilt)};
    };
    Model m = model;
    for (Point& p : m.verts)
        p = view(p);
    const Point eyes[2] = {view(modelEyes[0]), view(modelEyes[1])};
    Raster r;
    float maxX = -1e30f, maxY = -1e30f;
    r.minX = r.minY = 1e30f;
    for (const Point& p : m.verts) {
        r.minX = std::min(r.minX, p.x);
        r.minY = std::min(r.minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    const float span = std::max(maxX - r.minX, maxY - r.minY) * 1.12f;
    r.pixelsPerUnit = float(r.size) / span;
    r.minX -= (span - (maxX - r.minX)) / 2.0f;
    r.minY -= (span - (maxY - r.minY)) * 0.4f;
    r.rgb.assign(size_t(r.size) * size_t(r.size) * 3, 0);
    for (size_t k = 0; k < r.rgb.size(); k += 3)
        r.rgb[k] = r.rgb[k + 2] = 255;
    r.depth.assign(size_t(r.size) * size_t(r.size), -1e30f);
    Point light = {-0.45f, 0.65f, 0.6f};
    const float ll = float(std::sqrt(dotP(light, light)));
    light = {light.x / ll, light.y / ll, light.z / ll};
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        const Point a = m.verts[m.indices[i]], b = m.verts[m.indices[i + 1]];
        const Point c = m.verts[m.indices[i + 2]];
        Point n = crossP(sub(b, a), sub(c, a));
        const float nl = float(std::sqrt(dotP(n, n)));
        if (nl <= 0.0f)
            continue;
        n = {n.x / nl, n.y / nl, n.z / nl};
        const float shade = 0.35f + 0.65f * float(std::max(0.0, dotP(n, light)));
        const unsigned char colour[3] = {(unsigned char)(std::min(255.0f, 215.0f * shade)),
                                         (unsigned char)(std::min(255.0f, 180.0f * shade)),
                                         (unsigned char)(std::min(255.0f, 150.0f * shade))};
        fillTriangle(r, a, b, c, colour);
    }
    for (int e = 0; e < 2; e++)
        drawEye(r, eyes[e], 0.005f);
    FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::fprintf(stderr, "make_bunny_mesh: cannot write %s\n", path);
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", r.size, r.size);
    std::fwrite(r.rgb.data(), 1, r.rgb.size(), f);
    return std::fclose(f) == 0;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_bunny_mesh <in.ply> <out.m> [<side_view.ppm>]\n");
        return 2;
    }
    Model scan;
    if (!readPly(argv[1], scan))
        return 1;
    std::printf("read %zu vertices, %zu triangles from %s\n", scan.verts.size(),
                scan.indices.size() / 3, argv[1]);
    Model bunny = compact(scan, simplify(scan));
    const size_t triangles = bunny.indices.size() / 3;
    if (triangles < size_t(minTriangles) || triangles > size_t(maxTriangles)) {
        std::fprintf(stderr, "make_bunny_mesh: got %zu triangles, wanted %d..%d\n", triangles,
                     minTriangles, maxTriangles);
        return 1;
    }
    double volume = signedVolume6(bunny) / 6.0;
    if (volume < 0.0) {
        std::printf("source winds clockwise from outside: flipping every triangle\n");
        for (size_t i = 0; i + 2 < bunny.indices.size(); i += 3) {
            std::swap(bunny.indices[i + 1], bunny.indices[i + 2]);
        }
        volume = -volume;
    }
    std::printf("simplified: %zu vertices, %zu triangles, signed volume %g m^3\n",
                bunny.verts.size(), triangles, volume);
    const Point eyes[2] = {{-0.08f, 0.15f, 0.022f}, {-0.06f, 0.15f, 0.026f}};
    const Point mouth = {-0.076f, 0.14f, 0.052f};
    double worst = 0.0;
    for (const Point& p : {eyes[0], eyes[1], mouth}) {
        const double d = distanceToMesh(bunny, p);
        worst = std::max(worst, d);
        std::printf("distance from (%g, %g, %g) to the surface: %.4f (%s; scan %.4f)\n", p.x, p.y,
                    p.z, d, windingNumber(bunny, p) > 0.5 ? "inside" : "outside",
                    distanceToMesh(scan, p));
    }
    if (worst >= 0.01) {
        std::fprintf(stderr, "make_bunny_mesh: eyes or mouth lie %.4f off the surface\n", worst);
        return 1;
    }
    if (!writeMesh(argv[2], bunny))
        return 1;
    if (argc > 3 && !writeSideView(argv[3], bunny, eyes))
        return 1;
    return 0;
}
