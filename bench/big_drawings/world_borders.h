// The world map's borders: a network of province boundaries over each
// continent but the ice cap, every boundary a ragged line between two
// junctions that it shares with its neighbours.
#pragma once

#include <cstdint>
#include <vector>

#include "world_layout.h"

namespace qmv::bench {

struct Border {
    Point from{};
    Point to{};
    int64_t points = 0;  // of the finished line, both ends included
    uint64_t seed = 0;   // of its refinement
};

// 49 000 borders at scale 1 (scale multiplies the count), each of 24 to
// 100 points.
std::vector<Border> planBorders(const WorldLayout& layout, double scale, uint64_t seed);

}  // namespace qmv::bench
