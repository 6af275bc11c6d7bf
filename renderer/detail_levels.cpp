#include "detail_levels.h"

#include <numeric>

namespace qmv::renderer {

void thinRadially(std::span<const Point> points, std::span<const uint32_t> from, double tolerance,
                  std::vector<uint32_t>& kept) {
    kept.clear();
    if (from.empty()) return;
    const double t2 = tolerance * tolerance;
    uint32_t last = from.front();
    kept.push_back(last);
    for (size_t i = 1; i + 1 < from.size(); ++i) {
        const Point& p = points[from[i]];
        const double dx = p.x - points[last].x, dy = p.y - points[last].y;
        if (dx * dx + dy * dy > t2) {
            last = from[i];
            kept.push_back(last);
        }
    }
    if (from.size() > 1) kept.push_back(from.back());
}

std::vector<DetailLevel> detailLevels(std::span<const Point> points, double extent) {
    std::vector<DetailLevel> levels;
    const size_t n = points.size();
    if (n < kDetailPoints || !(extent > 0.0)) return levels;
    std::vector<uint32_t> current(n);
    std::iota(current.begin(), current.end(), 0u);
    std::vector<uint32_t> next;
    size_t previous = n;
    for (int rung = kRungs - 1; rung >= 0; --rung) {
        const double tolerance = rungTolerance(extent, rung);
        thinRadially(points, current, tolerance, next);
        current.swap(next);
        if (double(current.size()) <= kLevelShare * double(previous)) {
            levels.push_back({tolerance, current});
            previous = current.size();
        }
        if (current.size() <= 2) break;
    }
    return levels;
}

}  // namespace qmv::renderer
