// Levels of detail for long strips and outlines.
//
// Problem: a coastline of a million points drawn at a view where a pixel
// spans a hundred of them costs a hundred times what the picture needs.
//
// Method: radial thinning. Walking the points in order, a point is kept
// when it lies more than the tolerance from the last kept one; the first
// and the last are always kept. The points dropped between two kept ones
// all lie within the tolerance of the first of them, so the thinned strip
// stays within the tolerance of the original. Levels are made on a ladder
// of tolerances, each from the next finer level, so that the work is about
// that of two passes over the points.
//
// Invariant: a level's points are a subsequence of the original points
// with the same first and last point, and every original point lies within
// twice the level's tolerance of the level's strip.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "qmv/scene_types.h"

namespace qmv::renderer {

// Strips and outlines with fewer points keep only their full level.
inline constexpr size_t kDetailPoints = 8;
// The ladder's rungs: tolerance j is extent / 2^(kFirstRung + j).
inline constexpr int kFirstRung = 8;
inline constexpr int kRungs = 12;
// A level is kept only when it keeps at most this share of the points of
// the finer level kept before it (of the full strip for the first), so
// that all the levels together hold no more points than the strip.
inline constexpr double kLevelShare = 0.5;
// Line strips are cut into pieces of at most this many points, sharing
// their end points, for culling.
inline constexpr size_t kPiecePoints = 256;

inline double rungTolerance(double extent, int rung) {
    return extent / double(uint64_t{1} << (kFirstRung + rung));
}

// Indexes into `points` of what thinning `from` (indexes too) at
// `tolerance` keeps.
void thinRadially(std::span<const Point> points, std::span<const uint32_t> from, double tolerance,
                  std::vector<uint32_t>& kept);

// One coarser level: its tolerance and the indexes of its points.
struct DetailLevel {
    double tolerance = 0.0;
    std::vector<uint32_t> kept;
};

// The coarser levels of a strip, finest first: those on the ladder that
// keep at most kLevelShare of the points of the level before. None for
// strips shorter than kDetailPoints or an extent of 0.
std::vector<DetailLevel> detailLevels(std::span<const Point> points, double extent);

}  // namespace qmv::renderer
