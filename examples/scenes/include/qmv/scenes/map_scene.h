// The "map" scene: many short polylines in 8-bit relative steps spread over
// several named layers, the kind of file the reader spends most of its life
// on. The benchmarks parse it; make_map writes it to files.
#pragma once

#include <cstdint>

#include "qmv/writer/scene_writer.h"

namespace qmv::scenes {

struct MapSceneOptions {
    int64_t polylines = 300000;
    uint64_t seed = 20240611;
};

struct MapSceneCounts {
    int64_t polylines = 0;
    int64_t vertices = 0;  // start points included
    int layers = 0;
};

// Writes the whole scene, header included, into an empty writer. Each
// polyline has 2 to 50 vertices. The same options give the same bytes.
MapSceneCounts writeMapScene(SceneWriter& writer, const MapSceneOptions& options);

}  // namespace qmv::scenes
