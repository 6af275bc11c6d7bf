// The world map drawing: the class of map a converter makes from coastline
// and border data. Every land and lake polygon is written twice, filled and
// then outlined, on the layers "continents", "islands" and "lakes"; the
// borders are polylines on "borders", over a sea-blue background. Steps are
// 16-bit where they fit; points are 32-bit floats, which hold the world's
// whole units exactly.
#pragma once

#include <cstdint>

#include "path_sizes.h"
#include "qmv/writer/scene_writer.h"

namespace qmv::bench {

inline constexpr uint64_t kWorldSeed = 20240917;

struct WorldMapOptions {
    double scale = 1.0;  // multiplies the polygons, borders and points
    uint64_t seed = kWorldSeed;
};

// Each polygon's two paths are counted in its layer's tally.
struct WorldMapCounts {
    PathTally continents;
    PathTally islands;
    PathTally lakes;
    PathTally borders;
    int64_t misplaced = 0;  // see WorldLayout
};

// Writes the whole scene, header included, into an empty writer. The same
// options give the same bytes.
WorldMapCounts writeWorldMap(SceneWriter& writer, const WorldMapOptions& options);

}  // namespace qmv::bench
