// The placements drawing: a busy map of symbols. The global layer defines
// the symbol library (symbol_library.h); three layers place it 200 000
// times over towns and the country between them: "stamped" (StampShape,
// with RepeatShape runs along streets), "turned" (Shape, turned and scaled)
// and "clusters" (clusters and groups, which place further symbols from
// inside their definitions).
#pragma once

#include <cstdint>

#include "symbol_library.h"

namespace qmv::bench {

inline constexpr uint64_t kPlacementsSeed = 20240918;

struct PlacementCounts {
    SymbolLibrary library;
    int64_t stamped = 0;
    int64_t repeated = 0;
    int64_t turned = 0;
    int64_t clusters = 0;  // of these placements, the ones of clusters and groups
};

// Writes the whole scene, header included, into an empty writer. The same
// seed gives the same bytes.
PlacementCounts writePlacementsScene(SceneWriter& writer, uint64_t seed);

}  // namespace qmv::bench
