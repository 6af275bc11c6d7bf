#include "qmv/writer/geometry_helpers.h"

#include <algorithm>
#include <cmath>

namespace qmv {

std::vector<Point> stepsBetween(Point start, std::span<const Point> vertices) {
    std::vector<Point> steps;
    steps.reserve(vertices.size());
    Point previous = start;
    for (const Point& v : vertices) {
        steps.push_back({v.x - previous.x, v.y - previous.y});
        previous = v;
    }
    return steps;
}

Point directionVector(double radians, int absPointSize) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    double largest = 0.0;
    switch (absPointSize) {
    case 16:
        largest = 127.0;
        break;
    case 24:
        largest = 2047.0;
        break;
    case 32:
        largest = 32767.0;
        break;
    case 64: {
        // Computed in float, so that each coordinate is a float exactly.
        // (Rounding the double cosine and sine instead is lost at -O2 on
        // g++ 12, which fuses them into one sincos call and drops the
        // conversion.)
        const float angle = static_cast<float>(radians);
        return {std::cos(angle), std::sin(angle)};
    }
    default:
        return {c, s};
    }
    // Scaling so that the larger coordinate is the largest the size holds
    // leaves only the smaller one to round: the angle is then off by at most
    // half a unit over `largest`.
    const double scale = largest / std::max(std::fabs(c), std::fabs(s));
    return {std::round(c * scale), std::round(s * scale)};
}

}  // namespace qmv
