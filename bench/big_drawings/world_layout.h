// Where the world map's land and water go: a handful of continents, medium
// and small islands in archipelagos off their coasts and out at sea, and
// lakes in lake districts inland. Each feature is kept as a coarse outline
// and the size of the outline it becomes; world_map.cpp refines them one at
// a time as it writes, so the whole map never sits in memory as points.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "qmv/scene_types.h"

namespace qmv::bench {

// A world in degrees times 10^4: longitude -180 to 180, latitude -90 to 90.
inline constexpr double kWorldHalfWidth = 1.8e6;
inline constexpr double kWorldHalfHeight = 0.9e6;

// A closed feature before its coastline detail.
struct Landform {
    Point centre{};
    std::vector<Point> coarse;  // star-shaped about `centre`, anticlockwise
    int64_t points = 0;         // vertices of the finished outline
    uint64_t seed = 0;          // of its refinement
    int colour = 0;             // which of its layer's fill colours
    bool polar = false;         // an ice cap: no lakes, no borders
};

// Land is filled in one of these many colours, lakes in one of kLakeColours.
inline constexpr int kLandColours = 8;
inline constexpr int kLakeColours = 2;

struct WorldLayout {
    std::vector<Landform> continents;  // the first is the largest
    std::vector<Landform> islands;     // medium ones first, then the small
    std::vector<Landform> lakes;
    // Medium islands for which no place at sea turned up, and medium lakes
    // for which none inland did: they may lie over land or sea. None with
    // the continents as they are.
    int64_t misplaced = 0;
};

// At scale 1: 6 continents of 110 000 to 1 161 000 points, 400 medium
// islands of 1 000 to 30 000, 30 medium lakes, and small islands and lakes
// of tens to hundreds of points up to 187 000 polygons in all. `scale`
// multiplies every count but the continents', whose points it multiplies.
WorldLayout planWorld(double scale, uint64_t seed);

// The largest scale whose largest continent a path can hold (a path stores
// at most kMaxSize steps); about 3.6.
double largestWorldScale();

// Measures of coarse outlines, which the finished ones stay near.
bool insideOutline(std::span<const Point> outline, Point p);
double distanceToOutline(std::span<const Point> outline, Point p);
double outlineArea(std::span<const Point> outline);

struct OutlineBox {
    Point low{};
    Point high{};
};
OutlineBox outlineBox(std::span<const Point> outline);

}  // namespace qmv::bench
