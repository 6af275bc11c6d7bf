#include "ragged_outline.h"

#include <algorithm>
#include <cmath>

namespace qmv::bench {

namespace {

// One level: splits `splits` of the segments of `from`, spread evenly along
// it, into `to`. A closed outline has a segment from its last vertex back to
// its first; an open one does not. Splitting only some segments on the last
// level is what makes the vertex count exact.
void refine(const std::vector<Point>& from, bool closed, size_t splits, double roughness,
            SceneRandom& random, std::vector<Point>& to) {
    const size_t segments = closed ? from.size() : from.size() - 1;
    to.clear();
    to.reserve(from.size() + splits);
    for (size_t i = 0; i < segments; ++i) {
        const Point a = from[i];
        const Point b = from[(i + 1) % from.size()];
        to.push_back(a);
        // Segment i is split when the even spread of `splits` over
        // `segments` steps past a whole number inside it.
        if ((i + 1) * splits / segments == i * splits / segments) continue;
        // (-dy, dx) is the segment turned a quarter, as long as the segment.
        const double push = roughness * bellDraw(random);
        to.push_back({(a.x + b.x) / 2 - (b.y - a.y) * push, (a.y + b.y) / 2 + (b.x - a.x) * push});
    }
    if (!closed) to.push_back(from.back());
}

std::vector<Point> refineTo(std::vector<Point> outline, bool closed, size_t count,
                            double roughness, SceneRandom& random) {
    std::vector<Point> next;
    while (outline.size() < count) {
        const size_t segments = closed ? outline.size() : outline.size() - 1;
        refine(outline, closed, std::min(segments, count - outline.size()), roughness, random,
               next);
        outline.swap(next);
    }
    return outline;
}

}  // namespace

std::vector<Point> lumpyLoop(Point centre, Point radii, double turn, int vertices,
                             double lumpiness, int harmonics, SceneRandom& random) {
    std::vector<double> amplitude(static_cast<size_t>(harmonics));
    std::vector<double> phase(amplitude.size());
    double total = 0.0;
    for (size_t h = 0; h < amplitude.size(); ++h) {
        amplitude[h] = unitDraw(random) / static_cast<double>(h + 1);
        phase[h] = kTwoPi * unitDraw(random);
        total += amplitude[h];
    }
    if (total > 0.0) {
        for (double& a : amplitude) a *= lumpiness / total;
    }
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    std::vector<Point> loop;
    loop.reserve(static_cast<size_t>(vertices));
    for (int k = 0; k < vertices; ++k) {
        const double angle = kTwoPi * (k + uniformDraw(random, -0.3, 0.3)) / vertices;
        double logRadius = 0.06 * bellDraw(random);
        for (size_t h = 0; h < amplitude.size(); ++h) {
            logRadius += amplitude[h] * std::cos(static_cast<double>(h + 1) * angle + phase[h]);
        }
        const double r = std::exp(logRadius);
        const double x = radii.x * r * std::cos(angle);
        const double y = radii.y * r * std::sin(angle);
        loop.push_back({centre.x + c * x - s * y, centre.y + s * x + c * y});
    }
    return loop;
}

std::vector<Point> raggedRing(std::span<const Point> coarse, size_t count, SceneRandom& random,
                              double roughness) {
    std::vector<Point> outline(coarse.begin(), coarse.begin() + std::min(count, coarse.size()));
    if (outline.size() < 2) return outline;
    return refineTo(std::move(outline), true, count, roughness, random);
}

std::vector<Point> raggedLine(Point from, Point to, size_t count, SceneRandom& random,
                              double roughness) {
    return refineTo({from, to}, false, std::max<size_t>(count, 2), roughness, random);
}

}  // namespace qmv::bench
