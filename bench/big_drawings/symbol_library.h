// The placements drawing's shape definitions, all in the global layer: map
// symbols (stars, blobs, pins, signs, tracks and a few labels of 20 to 200
// points each; polygons filled and outlined, polylines, circles, boxes and
// text), then clusters that place five symbols each, then groups that place
// clusters, so that every shape places only shapes defined before it.
#pragma once

#include <cstdint>

#include "drawing_random.h"
#include "path_sizes.h"
#include "qmv/writer/scene_writer.h"

namespace qmv::bench {

// Every shape's reference point: a placement's scale of (100, 100) draws
// the shape as defined.
inline constexpr double kShapeReference = 100;

// Places shape `number` at `at` turned by a random angle and scaled to
// `lowPercent` to `highPercent` of its own size, across up to `stretch` of
// that more or less.
void placeTurned(SceneWriter& writer, int number, Point at, double lowPercent, double highPercent,
                 double stretch, SceneRandom& random);

// The symbols' size in scene units across: what a symbol spans at most, but
// for a blob's lumps.
inline constexpr double kSymbolSize = 140;

struct SymbolLibrary {
    int symbols = 0;   // shapes 0 to symbols - 1
    int clusters = 0;  // the next shapes
    int groups = 0;    // the last ones
    PathTally paths;   // the symbols' point lists, each as often as written
    int64_t placements = 0;  // inside the clusters and groups

    int firstCluster() const { return symbols; }
    int firstGroup() const { return symbols + clusters; }
    int shapes() const { return symbols + clusters + groups; }
};

// 1700 symbols, 250 clusters and 50 groups.
//
// Here and in the layers every random draw is a statement of its own:
// arguments of one call are evaluated in no set order, and the same seed
// must give the same bytes whatever the compiler.
SymbolLibrary defineSymbols(SceneWriter& writer, uint64_t seed);

}  // namespace qmv::bench
