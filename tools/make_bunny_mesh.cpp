// make_bunny_mesh: models the game's bunny and writes it as bunny500.m.
//
//   make_bunny_mesh [--draft] <out.m> [<side_view.ppm>]
//
// The bunny is a smooth blend of ellipsoids and capsules (body, haunches, chest, head, cheeks,
// ears, tail, paws), given as a signed distance: negative inside. CGAL's 3-D mesher turns its
// zero level into a closed surface of well-shaped triangles, and meshoptimizer simplifies that
// to about 500 triangles. The frame is the game's: metres, y up, the body's front towards -x,
// the head turned to look along +z; the game draws the model unscaled and puts two eye
// spheres and the mouth lines at fixed points of this frame. The tool checks the result (eyes
// and mouth on the surface, size and place, one closed surface wound outwards, triangle count
// and shape), prints the figures and fails if one is off. Triangles are written counter-
// clockwise as seen from outside. The optional PPM is a flat-shaded side view seen from +z
// (the bunny faces left, looking at the viewer), on a magenta key colour, for the pictures.
// --draft writes the files even when a check fails, for looking at a model being worked on.
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Labeled_mesh_domain_3.h>
#include <CGAL/Mesh_complex_3_in_triangulation_3.h>
#include <CGAL/Mesh_criteria_3.h>
#include <CGAL/Mesh_triangulation_3.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/facets_in_complex_3_to_triangle_mesh.h>
#include <CGAL/make_mesh_3.h>
#include <meshoptimizer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <string>
#include <utility>
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
static const double minAngle = 10.0;  // degrees: a triangle with a smaller angle is a sliver
static const int maxExtraRounds = 20;  // of relaxing and flipping, against a sliver left over
static const double pi = 3.14159265358979;

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
static double length(Point a)
{
    return std::sqrt(dotP(a, a));
}

// ---- The shape ----

struct Vec {
    double x, y, z;
};

// One part of the bunny. An ellipsoid of radii r about the centre a; a blade, the same
// ellipsoid swept along its own y axis from -r.y to r.y, so radii r.x and r.z across with
// round ends (an ear); both turned by the angles b in degrees: about their own y axis, then
// about z, then about x. Or a capsule from a to b of radius r.x. blend is the radius of the
// smooth minimum with which the part joins those before it.
enum Kind { Ellipsoid, Blade, Capsule };

struct Part {
    Kind kind;
    Vec a;
    Vec r;
    Vec b;
    double blend;
};

static Part ellipsoid(Vec centre, Vec radii, Vec angles, double blend)
{
    return {Ellipsoid, centre, radii, angles, blend};
}
static Part blade(Vec centre, Vec radii, Vec angles, double blend)
{
    return {Blade, centre, radii, angles, blend};
}
static Part capsule(Vec a, Vec b, double radius, double blend)
{
    return {Capsule, a, {radius, radius, radius}, b, blend};
}

// The bunny sits on the ground at y = 0.032, its body along x with the tail at +x and the
// head on top of the chest at -x. Left and right of the body are -z and +z; the head, turned
// to look along +z, has its own left and right along x (its eyes at x = -0.08 and -0.06).
static std::vector<Part> bunnyParts()
{
    std::vector<Part> parts;
    // Body: the back rising from the haunches to the shoulders.
    parts.push_back(ellipsoid({0.004, 0.09, 0.0}, {0.05, 0.047, 0.039}, {0, 0, -18}, 0));
    for (double side : {-1.0, 1.0}) {
        // Haunch: the round hind thigh; below it the hind paw, long and flat, toes forward.
        parts.push_back(
            ellipsoid({0.022, 0.072, 0.027 * side}, {0.035, 0.036, 0.025}, {0, 0, 10}, 0.012));
        parts.push_back(
            ellipsoid({0.0, 0.041, 0.038 * side}, {0.034, 0.0085, 0.012}, {0, 0, 4}, 0.008));
    }
    // Chest, in front of the body, and the neck up to the head.
    parts.push_back(ellipsoid({-0.046, 0.092, 0.004}, {0.028, 0.036, 0.032}, {0, 0, 0}, 0.014));
    parts.push_back(capsule({-0.055, 0.105, 0.004}, {-0.068, 0.128, 0.008}, 0.02, 0.012));
    for (double side : {-1.0, 1.0}) {
        // Fore leg, nearly upright under the chest, and its paw.
        const double z = 0.005 + 0.017 * side;
        parts.push_back(
            capsule({-0.056, 0.08, z}, {-0.062, 0.043, z + 0.003 * side}, 0.0095, 0.006));
        parts.push_back(
            ellipsoid({-0.07, 0.04, z + 0.003 * side}, {0.014, 0.0075, 0.0105}, {0, 0, 0}, 0.006));
    }
    // Tail: a small round puff at the rear.
    parts.push_back(ellipsoid({0.052, 0.09, 0.0}, {0.012, 0.013, 0.013}, {0, 0, 0}, 0.005));
    // Head, looking along +z and a little towards -x, fuller below the eyes, and the two
    // cheeks of the muzzle with the mouth between them.
    parts.push_back(ellipsoid({-0.0695, 0.1315, 0.016}, {0.024, 0.0215, 0.028}, {0, -8, 0}, 0.008));
    parts.push_back(ellipsoid({-0.072, 0.126, 0.01}, {0.024, 0.021, 0.026}, {0, -8, 0}, 0.01));
    parts.push_back(ellipsoid({-0.084, 0.135, 0.0412}, {0.0105, 0.0105, 0.0095}, {0, 0, 0}, 0.006));
    parts.push_back(ellipsoid({-0.068, 0.135, 0.0428}, {0.0105, 0.0105, 0.0095}, {0, 0, 0}, 0.006));
    // Ears: long, flat and round-tipped, behind the eyes, each turned a little outwards about
    // its length; the one on the -x side stands up, the other lies back towards the tail.
    parts.push_back(blade({-0.082, 0.168, -0.006}, {0.0105, 0.023, 0.0045}, {-14, 20, 4}, 0.009));
    parts.push_back(blade({-0.045, 0.165, -0.01}, {0.0105, 0.023, 0.0045}, {-16, -20, -45}, 0.009));
    return parts;
}

static Vec rotate(Vec p, char axis, double degrees)
{
    const double c = std::cos(degrees * pi / 180.0), s = std::sin(degrees * pi / 180.0);
    if (axis == 'x')
        return {p.x, c * p.y - s * p.z, s * p.y + c * p.z};
    if (axis == 'y')
        return {c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
    return {c * p.x - s * p.y, s * p.x + c * p.y, p.z};
}

// Signed distance to one part (for an ellipsoid the usual first-order estimate, exact enough
// near its surface, where it matters).
static double partDistance(const Part& part, Vec p)
{
    Vec q = {p.x - part.a.x, p.y - part.a.y, p.z - part.a.z};
    if (part.kind == Capsule) {
        const Vec ab = {part.b.x - part.a.x, part.b.y - part.a.y, part.b.z - part.a.z};
        const double t = std::clamp((q.x * ab.x + q.y * ab.y + q.z * ab.z) /
                                        (ab.x * ab.x + ab.y * ab.y + ab.z * ab.z),
                                    0.0, 1.0);
        const Vec d = {q.x - ab.x * t, q.y - ab.y * t, q.z - ab.z * t};
        return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) - part.r.x;
    }
    // Into the part's own axes: undo the turns about x, z, y in that order.
    q = rotate(rotate(rotate(q, 'x', -part.b.x), 'z', -part.b.z), 'y', -part.b.y);
    Vec r = part.r;
    if (part.kind == Blade) {
        q.y -= std::clamp(q.y, -r.y, r.y);
        r.y = r.x;
    }
    const double k0 =
        std::sqrt(std::pow(q.x / r.x, 2) + std::pow(q.y / r.y, 2) + std::pow(q.z / r.z, 2));
    const double k1 = std::sqrt(std::pow(q.x / (r.x * r.x), 2) + std::pow(q.y / (r.y * r.y), 2) +
                                std::pow(q.z / (r.z * r.z), 2));
    return k1 > 0.0 ? k0 * (k0 - 1.0) / k1 : -std::min({r.x, r.y, r.z});
}

// Polynomial smooth minimum: joins two distances with a fillet of about radius k.
static double smoothMin(double a, double b, double k)
{
    if (k <= 0.0)
        return std::min(a, b);
    const double h = std::max(k - std::fabs(a - b), 0.0) / k;
    return std::min(a, b) - h * h * k * 0.25;
}

static double bunnyDistance(const std::vector<Part>& parts, Vec p)
{
    double d = partDistance(parts[0], p);
    for (size_t i = 1; i < parts.size(); i++)
        d = smoothMin(d, partDistance(parts[i], p), parts[i].blend);
    return d;
}

// ---- Meshing and simplifying ----

typedef CGAL::Exact_predicates_inexact_constructions_kernel Kernel;
typedef CGAL::Labeled_mesh_domain_3<Kernel> Domain;
typedef CGAL::Mesh_triangulation_3<Domain, CGAL::Default, CGAL::Sequential_tag>::type Triangulation;
typedef CGAL::Mesh_complex_3_in_triangulation_3<Triangulation> Complex;
typedef CGAL::Mesh_criteria_3<Triangulation> Criteria;

// Meshes the zero level of the distance with CGAL's Delaunay refinement: facets of at most
// 2.5 mm, no angle under 30 degrees, within 0.1 mm of the surface, a manifold result. The
// mesher's random choices come from a fixed seed, so every run gives the same mesh.
static Model meshSurface(const std::vector<Part>& parts)
{
    namespace params = CGAL::parameters;
    auto field = [&parts](const Kernel::Point_3& p) {
        return bunnyDistance(parts, {p.x(), p.y(), p.z()});
    };
    const Kernel::Sphere_3 bounds(Kernel::Point_3(-0.015, 0.11, 0.0), 0.14 * 0.14);
    const Domain domain =
        Domain::create_implicit_mesh_domain(field, bounds, params::relative_error_bound = 1e-7);
    const Criteria criteria(params::facet_angle = 30, params::facet_size = 0.0025,
                            params::facet_distance = 0.0001, params::cell_radius_edge_ratio = 3);
    const Complex complex = CGAL::make_mesh_3<Complex>(domain, criteria, params::no_perturb(),
                                                       params::no_exude(), params::manifold());
    CGAL::Surface_mesh<Kernel::Point_3> surface;
    CGAL::facets_in_complex_3_to_triangle_mesh(complex, surface);
    Model m;
    for (const auto v : surface.vertices()) {
        const Kernel::Point_3& p = surface.point(v);
        m.verts.push_back({float(p.x()), float(p.y()), float(p.z())});
    }
    for (const auto f : surface.faces()) {
        for (const auto v : CGAL::vertices_around_face(surface.halfedge(f), surface))
            m.indices.push_back(unsigned(v.idx()));
    }
    return m;
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

// Simplifies with meshoptimizer's edge collapses to targetTriangles or just below.
static Model simplify(const Model& m)
{
    std::vector<unsigned int> out(m.indices.size());
    float error = 0.0f;
    const size_t n = meshopt_simplify(out.data(), m.indices.data(), m.indices.size(), &m.verts[0].x,
                                      m.verts.size(), sizeof(Point), size_t(targetTriangles) * 3,
                                      1.0f, 0, &error);
    out.resize(n);
    std::printf("meshopt_simplify: %zu triangles, relative error %.4f\n", n / 3, error);
    return compact(m, out);
}

// Smallest corner angle of the triangle abc, in degrees.
static double smallestAngle(Point a, Point b, Point c)
{
    double smallest = 180.0;
    const Point corners[3] = {a, b, c};
    for (int k = 0; k < 3; k++) {
        const Point u = sub(corners[(k + 1) % 3], corners[k]);
        const Point w = sub(corners[(k + 2) % 3], corners[k]);
        const double cosine = dotP(u, w) / (length(u) * length(w));
        smallest = std::min(smallest, std::acos(std::clamp(cosine, -1.0, 1.0)) * 180.0 / pi);
    }
    return smallest;
}

// Smallest corner angle of any triangle of the model, in degrees.
static double smallestAngle(const Model& m)
{
    double smallest = 180.0;
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        smallest = std::min(smallest, smallestAngle(m.verts[m.indices[i]], m.verts[m.indices[i + 1]],
                                                    m.verts[m.indices[i + 2]]));
    }
    return smallest;
}

static Point unitNormal(Point a, Point b, Point c)
{
    const Point n = crossP(sub(b, a), sub(c, a));
    const float l = float(length(n));
    return l > 0.0f ? Point{n.x / l, n.y / l, n.z / l} : Point{};
}

// Edge collapses leave some long thin triangles. Where two triangles that lie nearly flat
// (normals within 20 degrees) get a larger smallest angle from the other diagonal of their
// quadrilateral, the shared edge is flipped; the surface hardly moves. Repeats until no flip
// helps. Returns the number of flips.
static int flipThinTriangles(Model& m)
{
    const double flat = std::cos(20.0 * pi / 180.0);
    int flips = 0;
    for (bool flipped = true; flipped;) {
        flipped = false;
        std::map<std::pair<unsigned, unsigned>, size_t> owner; // directed edge -> triangle
        for (size_t t = 0; t < m.indices.size() / 3; t++) {
            for (int k = 0; k < 3; k++)
                owner[{m.indices[3 * t + k], m.indices[3 * t + (k + 1) % 3]}] = t;
        }
        for (const auto& [edge, t] : owner) {
            const auto other = owner.find({edge.second, edge.first});
            if (other == owner.end())
                continue;
            const size_t u = other->second;
            const unsigned a = edge.first, b = edge.second;
            unsigned c = 0, d = 0;
            for (int k = 0; k < 3; k++) {
                c = (m.indices[3 * t + k] != a && m.indices[3 * t + k] != b) ? m.indices[3 * t + k]
                                                                             : c;
                d = (m.indices[3 * u + k] != a && m.indices[3 * u + k] != b) ? m.indices[3 * u + k]
                                                                             : d;
            }
            if (owner.count({c, d}) != 0 || owner.count({d, c}) != 0)
                continue;
            const Point& pa = m.verts[a];
            const Point& pb = m.verts[b];
            const Point& pc = m.verts[c];
            const Point& pd = m.verts[d];
            const Point n1 = unitNormal(pa, pb, pc), n2 = unitNormal(pb, pa, pd);
            const Point n3 = unitNormal(pc, pa, pd), n4 = unitNormal(pd, pb, pc);
            if (dotP(n1, n2) < flat || dotP(n3, n4) < flat || dotP(n3, n1) < flat ||
                dotP(n4, n2) < flat)
                continue;
            const double before = std::min(smallestAngle(pa, pb, pc), smallestAngle(pb, pa, pd));
            const double after = std::min(smallestAngle(pc, pa, pd), smallestAngle(pd, pb, pc));
            if (after <= before + 0.5)
                continue;
            const unsigned first[3] = {c, a, d}, second[3] = {d, b, c};
            std::copy(first, first + 3, m.indices.begin() + long(3 * t));
            std::copy(second, second + 3, m.indices.begin() + long(3 * u));
            flips++;
            flipped = true;
            break;
        }
    }
    return flips;
}

// Gradient of the field by central differences, and a point moved onto the zero level along
// it (Newton steps: the field is close to a distance there).
static Vec fieldGradient(const std::vector<Part>& parts, Vec p)
{
    const double h = 1e-5;
    auto at = [&](double dx, double dy, double dz) {
        return bunnyDistance(parts, {p.x + dx, p.y + dy, p.z + dz});
    };
    return {(at(h, 0, 0) - at(-h, 0, 0)) / (2 * h), (at(0, h, 0) - at(0, -h, 0)) / (2 * h),
            (at(0, 0, h) - at(0, 0, -h)) / (2 * h)};
}

static Vec ontoSurface(const std::vector<Part>& parts, Vec p)
{
    for (int step = 0; step < 4; step++) {
        const double f = bunnyDistance(parts, p);
        const Vec g = fieldGradient(parts, p);
        const double g2 = g.x * g.x + g.y * g.y + g.z * g.z;
        if (g2 <= 0.0)
            break;
        p = {p.x - f * g.x / g2, p.y - f * g.y / g2, p.z - f * g.z / g2};
    }
    return p;
}

// Evens out the thin triangles: each corner of a triangle with an angle under 20 degrees
// moves half-way towards the middle of its neighbours along the surface's tangent plane, then
// back onto the surface, so tips and edges of thin parts stay on the model. The rest keeps
// the places the simplifier chose.
static void relax(Model& m, const std::vector<Part>& parts, int rounds)
{
    std::vector<std::vector<unsigned>> neighbours(m.verts.size());
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        for (int k = 0; k < 3; k++)
            neighbours[m.indices[i + k]].push_back(m.indices[i + (k + 1) % 3]);
    }
    for (int round = 0; round < rounds; round++) {
        std::vector<bool> thin(m.verts.size(), false);
        for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
            const Point& a = m.verts[m.indices[i]];
            const Point& b = m.verts[m.indices[i + 1]];
            const Point& c = m.verts[m.indices[i + 2]];
            if (smallestAngle(a, b, c) < 20.0) {
                for (int k = 0; k < 3; k++)
                    thin[m.indices[i + k]] = true;
            }
        }
        std::vector<Point> moved = m.verts;
        for (size_t v = 0; v < m.verts.size(); v++) {
            if (!thin[v])
                continue;
            const Point p = m.verts[v];
            Vec middle = {0, 0, 0};
            for (unsigned n : neighbours[v]) {
                middle.x += m.verts[n].x / double(neighbours[v].size());
                middle.y += m.verts[n].y / double(neighbours[v].size());
                middle.z += m.verts[n].z / double(neighbours[v].size());
            }
            Vec g = fieldGradient(parts, {p.x, p.y, p.z});
            const double gl = std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z);
            g = {g.x / gl, g.y / gl, g.z / gl};
            Vec d = {middle.x - p.x, middle.y - p.y, middle.z - p.z};
            const double along = d.x * g.x + d.y * g.y + d.z * g.z;
            d = {d.x - along * g.x, d.y - along * g.y, d.z - along * g.z};
            const Vec q = ontoSurface(parts, {p.x + 0.5 * d.x, p.y + 0.5 * d.y, p.z + 0.5 * d.z});
            moved[v] = {float(q.x), float(q.y), float(q.z)};
        }
        m.verts = moved;
    }
}

// Rounds every coordinate as the .m file will hold it, so the checks see the file's mesh.
static void roundAsWritten(Model& m)
{
    for (Point& p : m.verts) {
        for (float* c : {&p.x, &p.y, &p.z}) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", *c);
            *c = std::strtof(text, nullptr);
        }
    }
}

// ---- Checks ----

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
    return length(sub(p, q));
}

// Winding number of the closed mesh about p: 1 inside, 0 outside.
static double windingNumber(const Model& m, Point p)
{
    double sum = 0.0;
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        const Point a = sub(m.verts[m.indices[i]], p), b = sub(m.verts[m.indices[i + 1]], p);
        const Point c = sub(m.verts[m.indices[i + 2]], p);
        const double la = length(a), lb = length(b), lc = length(c);
        const double num = dotP(a, crossP(b, c));
        const double den = la * lb * lc + dotP(a, b) * lc + dotP(b, c) * la + dotP(c, a) * lb;
        sum += 2.0 * std::atan2(num, den);
    }
    return sum / (4.0 * pi);
}

// Distance from p to the surface, negative inside.
static double signedDistance(const Model& m, Point p)
{
    double best = 1e30;
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        best = std::min(best,
                        pointTriangleDistance(p, m.verts[m.indices[i]], m.verts[m.indices[i + 1]],
                                              m.verts[m.indices[i + 2]]));
    }
    return windingNumber(m, p) > 0.5 ? -best : best;
}

// Six times the signed volume; positive when the triangles wind counter-clockwise from outside.
static double signedVolume6(const Model& m)
{
    double sum = 0.0;
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        sum += dotP(m.verts[m.indices[i]],
                    crossP(m.verts[m.indices[i + 1]], m.verts[m.indices[i + 2]]));
    }
    return sum;
}

static int failures = 0;

static void check(bool ok, const char* what)
{
    std::printf("  %-4s %s\n", ok ? "ok" : "FAIL", what);
    if (!ok)
        failures++;
}

// The eye centres, and the mouth's two line strips as the game draws them: from the mouth's
// origin, turned -6 degrees about y and then -3 degrees about x, sampled along each segment.
static const Point eyeCentres[2] = {{-0.08f, 0.15f, 0.022f}, {-0.06f, 0.15f, 0.026f}};

static std::vector<Point> mouthPoints()
{
    const double strip[9][2] = {{0, 0.002},      {0, -0.004},     {0.001, -0.005},
                                {0.003, -0.006}, {0.005, -0.007}, {0.007, -0.008},
                                {0.009, -0.007}, {0.011, -0.006}, {0.013, -0.005}};
    std::vector<Point> points;
    for (double side : {-1.0, 1.0}) {
        for (int k = 0; k + 1 < 9; k++) {
            for (int s = 0; s < 4; s++) {
                const double t = s / 4.0;
                const Vec local = {side * (strip[k][0] + (strip[k + 1][0] - strip[k][0]) * t),
                                   strip[k][1] + (strip[k + 1][1] - strip[k][1]) * t, 0.0};
                const Vec w = rotate(rotate(local, 'x', -3.0), 'y', -6.0);
                points.push_back({float(-0.076 + w.x), float(0.14 + w.y), float(0.052 + w.z)});
            }
        }
    }
    return points;
}

// Eyes within 4 mm of the surface, so a cap of their 5 mm spheres shows; the mouth lines on
// or outside it by at most 5 mm.
static void checkFace(const Model& m)
{
    double eyeWorst = 0.0;
    for (const Point& e : eyeCentres) {
        const double d = signedDistance(m, e);
        std::printf("eye (%g, %g, %g): %+.2f mm from the surface (+ outside)\n", e.x, e.y, e.z,
                    d * 1000.0);
        eyeWorst = std::max(eyeWorst, std::fabs(d));
    }
    double low = 1e30, high = -1e30;
    for (const Point& p : mouthPoints()) {
        const double d = signedDistance(m, p);
        low = std::min(low, d);
        high = std::max(high, d);
    }
    std::printf("mouth lines: %+.2f to %+.2f mm from the surface\n", low * 1000.0, high * 1000.0);
    check(eyeWorst <= 0.004, "eye centres within 4 mm of the surface");
    check(low >= 0.0 && high <= 0.005, "mouth lines 0 to 5 mm outside the surface");
}

// Each bound within 1.5 cm of the bunny the game was tuned for, which it draws unscaled and
// which shots pick.
static void checkBounds(const Model& m)
{
    const float tuned[3][2] = {{-0.094f, 0.061f}, {0.033f, 0.187f}, {-0.061f, 0.058f}};
    bool ok = true;
    for (int axis = 0; axis < 3; axis++) {
        float lo = 1e30f, hi = -1e30f;
        for (const Point& p : m.verts) {
            const float c = axis == 0 ? p.x : axis == 1 ? p.y : p.z;
            lo = std::min(lo, c);
            hi = std::max(hi, c);
        }
        std::printf("%c from %.4f to %.4f (tuned for %.3f to %.3f)\n", 'x' + axis, lo, hi,
                    tuned[axis][0], tuned[axis][1]);
        ok = ok && std::fabs(lo - tuned[axis][0]) <= 0.015f &&
             std::fabs(hi - tuned[axis][1]) <= 0.015f;
    }
    check(ok, "each bound within 1.5 cm of the one the game was tuned for");
}

// One closed surface: every edge in exactly two triangles, once in each direction (so the
// winding agrees across it), one connected piece, Euler characteristic 2 (a sphere: no holes
// and no handles), outward winding, the triangle count, and no sliver.
static void checkSurface(const Model& m)
{
    std::map<std::pair<unsigned, unsigned>, int> directed;
    std::vector<unsigned> parent(m.verts.size());
    std::iota(parent.begin(), parent.end(), 0u);
    auto root = [&parent](unsigned v) {
        while (parent[v] != v)
            v = parent[v] = parent[parent[v]];
        return v;
    };
    for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        for (int k = 0; k < 3; k++) {
            const unsigned a = m.indices[i + k], b = m.indices[i + (k + 1) % 3];
            directed[{a, b}]++;
            parent[root(a)] = root(b);
        }
    }
    size_t open = 0, overused = 0, edges = 0;
    for (const auto& [edge, count] : directed) {
        const auto back = directed.find({edge.second, edge.first});
        const int reverse = back == directed.end() ? 0 : back->second;
        open += (reverse == 0) ? 1 : 0;
        overused += (count > 1 || reverse > 1) ? 1 : 0;
        edges += (edge.first < edge.second || reverse == 0) ? 1 : 0;
    }
    size_t pieces = 0;
    for (unsigned v = 0; v < m.verts.size(); v++)
        pieces += root(v) == v ? 1 : 0;
    const size_t triangles = m.indices.size() / 3;
    const long euler = long(m.verts.size()) - long(edges) + long(triangles);
    const double volume = signedVolume6(m) / 6.0;
    std::printf("%zu vertices, %zu edges, %zu triangles; %zu open edges, %zu edges in more than "
                "two triangles or twice one way; %zu piece(s); Euler characteristic %ld\n",
                m.verts.size(), edges, triangles, open, overused, pieces, euler);
    const double smallest = smallestAngle(m);
    std::printf("signed volume %.3g m^3; smallest angle of any triangle %.1f degrees\n", volume,
                smallest);
    check(open == 0 && overused == 0, "every edge in exactly two triangles, wound alike");
    check(pieces == 1 && euler == 2, "one piece, no holes or handles");
    check(volume > 0.0, "wound outwards");
    check(triangles >= size_t(minTriangles) && triangles <= size_t(maxTriangles),
          "480 to 520 triangles");
    check(smallest >= minAngle, "no sliver: every angle of every triangle 10 degrees or more");
}

// ---- Output ----

// Writes the .m file: a header, then Vertex and Face lines with 1-based numbers.
static bool writeMesh(const char* path, const Model& m)
{
    FILE* f = std::fopen(path, "w");
    if (!f) {
        std::fprintf(stderr, "make_bunny_mesh: cannot write %s\n", path);
        return false;
    }
    std::fprintf(
        f,
        "# bunny500.m: the game's bunny, %zu triangles, made by tools/make_bunny_mesh.cpp.\n"
        "# Metres, y up, the body's front towards -x, the head looking along +z;\n"
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
    const bool draft = argc > 1 && std::strcmp(argv[1], "--draft") == 0;
    argc -= draft ? 1 : 0;
    argv += draft ? 1 : 0;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_bunny_mesh [--draft] <out.m> [<side_view.ppm>]\n");
        return 2;
    }
    const std::vector<Part> parts = bunnyParts();
    const Model fine = meshSurface(parts);
    std::printf("CGAL mesh: %zu vertices, %zu triangles\n", fine.verts.size(),
                fine.indices.size() / 3);
    if (fine.indices.empty()) {
        std::fprintf(stderr, "make_bunny_mesh: the mesher found no surface\n");
        return 1;
    }
    Model bunny = simplify(fine);
    int flips = flipThinTriangles(bunny);
    relax(bunny, parts, 6);
    flips += flipThinTriangles(bunny);
    roundAsWritten(bunny);
    // Newer releases of the mesher and the simplifier can leave a sliver these rounds do not
    // cure; further rounds follow only then, so a mesh without one stays as it is.
    int extraRounds = 0;
    for (; extraRounds < maxExtraRounds && smallestAngle(bunny) < minAngle; extraRounds++) {
        relax(bunny, parts, 1);
        flips += flipThinTriangles(bunny);
        roundAsWritten(bunny);
    }
    std::printf("edge flips against thin triangles: %d; extra rounds against slivers: %d\n",
                flips, extraRounds);
    checkFace(bunny);
    checkBounds(bunny);
    checkSurface(bunny);
    if (failures > 0) {
        std::fprintf(stderr, "make_bunny_mesh: %d check(s) failed%s\n", failures,
                     draft ? "" : "; nothing written");
        if (!draft)
            return 1;
    }
    if (!writeMesh(argv[1], bunny))
        return 1;
    if (argc > 2 && !writeSideView(argv[2], bunny, eyeCentres))
        return 1;
    return failures > 0 ? 1 : 0;
}
