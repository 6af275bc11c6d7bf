// Whether a closed loop of points bounds a convex region once: every turn
// goes the same way (straight runs allowed), and the loop's direction goes
// round only once, which a star that winds twice (it also turns one way
// only) fails. Across such a loop a fan from any one of its points covers
// each pixel inside exactly once, whatever triangles another cut makes, so
// its fill is the same picture as the tessellator's.
//
// The second test counts the changes of sign of the steps' x and of their
// y parts: round a convex loop each changes twice at most, and a loop that
// doubles back or winds again changes more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "qmv/scene_types.h"

namespace qmv::renderer {

template <typename At>
bool convexLoopOf(size_t n, At at) {
    int turn = 0;
    int xFlips = 0, yFlips = 0;
    int xSign = 0, ySign = 0;
    auto flips = [](double step, int& sign, int& count) {
        const int s = step > 0.0 ? 1 : step < 0.0 ? -1 : 0;
        if (s == 0) return;
        if (sign != 0 && s != sign) ++count;
        sign = s;
    };
    int firstX = 0, firstY = 0;
    for (size_t i = 0; i < n; ++i) {
        const Point& a = at(i);
        const Point& b = at((i + 1) % n);
        const Point& c = at((i + 2) % n);
        const double cross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
        const int s = cross > 0.0 ? 1 : cross < 0.0 ? -1 : 0;
        if (s != 0 && turn != 0 && s != turn) return false;
        if (s != 0) turn = s;
        flips(b.x - a.x, xSign, xFlips);
        flips(b.y - a.y, ySign, yFlips);
        if (firstX == 0) firstX = xSign;
        if (firstY == 0) firstY = ySign;
    }
    // The loop closes: the last step's sign against the first's.
    if (xSign != 0 && firstX != 0 && xSign != firstX) ++xFlips;
    if (ySign != 0 && firstY != 0 && ySign != firstY) ++yFlips;
    return xFlips <= 2 && yFlips <= 2;
}

inline bool convexLoop(std::span<const Point> points) {
    return convexLoopOf(points.size(), [&](size_t i) -> const Point& { return points[i]; });
}

inline bool convexLoop(std::span<const Point> points, std::span<const uint32_t> order) {
    return convexLoopOf(order.size(), [&](size_t i) -> const Point& { return points[order[i]]; });
}

}  // namespace qmv::renderer
