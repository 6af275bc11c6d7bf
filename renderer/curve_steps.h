// The angular step every circle, ellipse and arc is drawn with. The full
// turn is this exact decimal, not 2*pi to full precision: with it, stepping
// from 0 by CURVE_STEP while below FULL_TURN gives exactly 44 vertices.
#pragma once

#include "qmv/format.h"

namespace qmv::renderer {

inline constexpr double FULL_TURN = kFormatFullTurn;
inline constexpr double CURVE_STEP = FULL_TURN / 44.0;

}  // namespace qmv::renderer
