// Coastline-like outlines by midpoint displacement: every segment of a
// coarse outline is split at a point pushed sideways by a random share of
// its length, level after level, so the detail is alike at every scale, as
// in measured coastlines and borders. The pushes stay small against the
// segments (a quarter of their length at most), so the outlines seldom
// cross themselves; nothing prevents it outright.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "drawing_random.h"
#include "qmv/scene_types.h"

namespace qmv::bench {

// Sideways push of a split point, as a share of its segment's length, at
// most (the draws are bell-shaped under it).
inline constexpr double kDefaultRoughness = 0.25;

// A coarse outline to start from: a loop about `centre` whose radius is a
// sum of `harmonics` waves of the angle (amplitudes adding up to
// `lumpiness`, in the logarithm of the radius), stretched to `radii` and
// turned by `turn` radians. Its angles only grow along it, so the loop is
// star-shaped and simple.
std::vector<Point> lumpyLoop(Point centre, Point radii, double turn, int vertices,
                             double lumpiness, int harmonics, SceneRandom& random);

// A closed outline of exactly `count` vertices through the vertices of
// `coarse` (the closing segment implied), refined from it; `count` below
// the coarse outline's size keeps its first `count` vertices.
std::vector<Point> raggedRing(std::span<const Point> coarse, size_t count, SceneRandom& random,
                              double roughness = kDefaultRoughness);

// An open line of exactly `count` vertices (2 or more) from `from` to `to`.
std::vector<Point> raggedLine(Point from, Point to, size_t count, SceneRandom& random,
                              double roughness = kDefaultRoughness);

}  // namespace qmv::bench
