// Relative steps decoded in runs: the problem is that a point list of
// millions of steps went through the per-value reads, a call and a test per
// byte. Here the step size is chosen once per list; whole steps that lie in
// the cursor's current block are decoded straight from its bytes by a loop
// per size that keeps the running point in registers, and only a step that
// straddles two blocks (or runs past the end of the data) takes the per-value
// path. Invariant: the points, the bytes and bits consumed and the end-of-data
// behaviour are those of reading every step with the per-value reads.
#pragma once

#include <vector>

#include "qmv/bit_cursor.h"
#include "qmv/scene_types.h"

namespace qmv {

// One point of `size` bits (x then y) read the per-value way; sizes outside
// the known set read nothing and give (0, 0).
Point readPointOfSize(BitCursor& in, int size);

// Reads up to `count` steps of `size` bits chained from `start` into `out`
// (replacing its points), stopping where the data ends before a step.
// Returns the running point after the last step read.
Point readSteps(BitCursor& in, int size, size_t count, Point start, std::vector<Point>& out);

}  // namespace qmv
