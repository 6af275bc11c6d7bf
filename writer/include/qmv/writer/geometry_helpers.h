// Conversions from what a caller has (absolute vertices, angles in radians)
// to what the scene file stores (relative steps, direction vectors).
#pragma once

#include <span>
#include <vector>

#include "qmv/scene_types.h"

namespace qmv {

// The steps that lead from `start` through each of `vertices` in turn.
std::vector<Point> stepsBetween(Point start, std::span<const Point> vertices);

// A direction vector whose angle is `radians`, as exact as an absolute point
// of `absPointSize` bits can make it: for the integral sizes the larger
// coordinate is the largest magnitude the size holds and the other one is
// rounded, for 64 bits the cosine and sine as floats, for 128 as doubles.
// Sizes that hold no absolute points get the cosine and sine, which the
// writer then rejects when the point is written.
Point directionVector(double radians, int absPointSize);

}  // namespace qmv
