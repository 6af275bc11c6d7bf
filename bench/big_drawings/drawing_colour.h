// Colours given as the 0 to 255 components a designer picks them in.
#pragma once

#include "qmv/scene_types.h"

namespace qmv::bench {

constexpr Color rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1.0}; }

}  // namespace qmv::bench
