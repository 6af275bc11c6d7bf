#include "slab_split.h"

#include <algorithm>
#include <limits>

namespace qmv::renderer {

namespace {

// The slabs holding x: slab j lies between cut j-1 and cut j (the first and
// the last are open to the side), sides included, so x on a cut is in both.
size_t firstSlabOf(std::span<const double> cuts, double x) {
    return static_cast<size_t>(std::lower_bound(cuts.begin(), cuts.end(), x) - cuts.begin());
}
size_t lastSlabOf(std::span<const double> cuts, double x) {
    return static_cast<size_t>(std::upper_bound(cuts.begin(), cuts.end(), x) - cuts.begin());
}

struct EdgeSpan {
    Point from;
    Point to;
    size_t first;  // slabs the edge reaches
    size_t last;
};

EdgeSpan spanOf(std::span<const Point> outline, std::span<const double> cuts, size_t i) {
    const Point a = outline[i];
    const Point b = outline[(i + 1) % outline.size()];
    return {a, b, firstSlabOf(cuts, std::min(a.x, b.x)), lastSlabOf(cuts, std::max(a.x, b.x))};
}

// The y of a sloping edge at x, from its left end, whichever way it runs.
double yAt(Point left, Point right, double x) {
    if (x == left.x) return left.y;
    if (x == right.x) return right.y;
    return left.y + (x - left.x) * ((right.y - left.y) / (right.x - left.x));
}

// Appends p unless the piece ends with it; true when it was appended.
bool append(std::vector<Point>& piece, Point p) {
    if (!piece.empty() && piece.back().x == p.x && piece.back().y == p.y) return false;
    piece.push_back(p);
    return true;
}

}  // namespace

std::vector<double> slabCuts(std::span<const Point> outline, size_t pointsPerSlab) {
    std::vector<double> cuts;
    if (outline.size() <= pointsPerSlab || pointsPerSlab == 0) return cuts;
    std::vector<double> xs;
    xs.reserve(outline.size());
    for (const Point& p : outline) xs.push_back(p.x);
    std::sort(xs.begin(), xs.end());
    for (size_t k = pointsPerSlab; k < xs.size(); k += pointsPerSlab) {
        const double x = xs[k];
        if (x > xs.front() && x < xs.back() && (cuts.empty() || x > cuts.back())) cuts.push_back(x);
    }
    return cuts;
}

bool cutIntoSlabs(std::span<const Point> outline, std::span<const double> cuts, double maxPoints,
                  std::vector<std::vector<Point>>& pieces) {
    std::vector<std::vector<Point>> slabs(cuts.size() + 1);
    double held = 0.0;
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < outline.size(); ++i) {
        if (held > maxPoints) return false;
        const EdgeSpan edge = spanOf(outline, cuts, i);
        for (size_t s = edge.first; s <= edge.last; ++s) {
            std::vector<Point>& piece = slabs[s];
            if (edge.from.x == edge.to.x) {  // upright: all of it is in the slab
                held += append(piece, edge.from) + append(piece, edge.to);
                continue;
            }
            const double lo = s == 0 ? -kInfinity : cuts[s - 1];
            const double hi = s == cuts.size() ? kInfinity : cuts[s];
            const bool rightward = edge.from.x < edge.to.x;
            const Point left = rightward ? edge.from : edge.to;
            const Point right = rightward ? edge.to : edge.from;
            const double x0 = std::max(left.x, lo);
            const double x1 = std::min(right.x, hi);
            const Point enter{x0, yAt(left, right, x0)};
            const Point leave{x1, yAt(left, right, x1)};
            held += append(piece, rightward ? enter : leave) + append(piece, rightward ? leave : enter);
        }
    }
    // Between the edges a slab holds, the outline was outside it on one
    // side: the piece goes straight along that side, as the points stand.
    if (held > maxPoints) return false;
    pieces.clear();
    for (std::vector<Point>& piece : slabs) {
        while (piece.size() > 1 && piece.back().x == piece.front().x &&
               piece.back().y == piece.front().y) {
            piece.pop_back();
        }
        if (piece.size() >= 3) pieces.push_back(std::move(piece));
    }
    return true;
}

}  // namespace qmv::renderer
