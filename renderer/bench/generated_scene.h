// The benchmark scenes: a given number of primitives of every common kind,
// in turn, spread over a 1000 x 750 drawing and four layers.
#pragma once

#include <cstdint>

#include "qmv/writer/scene_writer.h"

namespace qmv::bench {

// Eight kinds in turn: a five-vertex polyline, a filled box, a circle
// outline, a filled circle, a line, a filled five-vertex polygon (through
// the tessellator), a box outline and a mark. Deterministic for a count.
void writeGeneratedScene(SceneWriter& writer, int64_t primitives);

}  // namespace qmv::bench
