// The slice of the reader's graphic state that decides how later operands are
// encoded, plus the counters and flags that decide whether a command is
// allowed at all. SceneWriter walks the scene with it by the reader's rules
// (qmv/scene_walk.h), so both agree on every encoding.
#pragma once

#include <vector>

#include "qmv/scene_types.h"

namespace qmv {

struct EncodingState {
    int absPointSize = 32;
    int relPointSize = 24;
    int colorSize = 6;
    // The palette as the reader decodes it; empty when none is set.
    std::vector<Color> palette;
    int lastShape = -1;  // the shape that a repeat places; -1 before any
    int shapeCount = 0;
    int imageCount = 0;
    bool objectOpen = false;
};

}  // namespace qmv
