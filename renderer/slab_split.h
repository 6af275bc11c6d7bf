// Large filled outlines are cut into vertical slabs before they reach the
// tessellator. GLU's tessellator relabels a whole face loop at each diagonal
// it adds and each pair of faces it joins, so some outlines cost it the
// square of their size: a comb of 40 000 points takes four seconds. Cut into
// slabs that each hold a bounded number of the outline's points, every
// piece costs at most the square of that bound.
//
// A piece is the outline clipped to its slab: the parts of its edges inside
// the slab, joined along the slab's sides where the outline leaves and comes
// back. Clipping keeps the winding number of every point inside the slab,
// so the pieces, which meet only along the cut lines, fill exactly what the
// whole outline fills by the odd winding rule. A point where an edge meets
// a cut line is computed from the edge's left end in both slabs beside it,
// so neighbouring pieces share the very same points and no seam opens.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "qmv/scene_types.h"

namespace qmv::renderer {

// Outlines of more points than this are cut.
inline constexpr size_t kSlabPoints = 128;

// The x of the cut lines, increasing: one after every `pointsPerSlab`
// points in order of x. Points of one x stay in one slab, so a slab may
// hold more.
std::vector<double> slabCuts(std::span<const Point> outline, size_t pointsPerSlab);

// The pieces, one closed outline each, in order of slab; slabs the outline
// only touches give no piece. False, leaving `pieces` incomplete, when they
// would hold more than `maxPoints` points.
bool cutIntoSlabs(std::span<const Point> outline, std::span<const double> cuts, double maxPoints,
                  std::vector<std::vector<Point>>& pieces);

}  // namespace qmv::renderer
