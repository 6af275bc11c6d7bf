// The bundled example scene "tour": a 1000 x 750 drawing in labelled panels
// that together use every command of the format, every point encoding and
// every colour size, on several named layers.
#pragma once

#include "qmv/writer/scene_writer.h"

namespace qmv::scenes {

// Writes the whole scene, header included, into an empty writer. The caller
// checks writer.ok() and writer.error() afterwards.
void writeTourScene(SceneWriter& writer);

}  // namespace qmv::scenes
