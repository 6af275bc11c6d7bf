// Real-valued draws on top of the scenes' SceneRandom, so that the drawings
// come out the same from the same seed on every machine (the standard
// distributions may differ between library versions).
#pragma once

#include <cmath>
#include <numbers>

#include "qmv/scene_types.h"
#include "qmv/scenes/scene_random.h"

namespace qmv::bench {

using scenes::SceneRandom;

// Angles are drawn as shares of a turn.
inline constexpr double kTwoPi = 2 * std::numbers::pi;

// From 0 (included) to 1 (excluded), the top 53 bits of one number.
inline double unitDraw(SceneRandom& random) {
    return static_cast<double>(random.next() >> 11) * 0x1.0p-53;
}

inline double uniformDraw(SceneRandom& random, double low, double high) {
    return low + (high - low) * unitDraw(random);
}

// From -1 to 1, most often near 0: the mean of three uniform draws, moved.
// Displacements drawn this way make ragged outlines with few wild spikes.
inline double bellDraw(SceneRandom& random) {
    return (unitDraw(random) + unitDraw(random) + unitDraw(random)) / 1.5 - 1.0;
}

// Spread evenly over the orders of magnitude between `low` and `high`.
inline double logUniformDraw(SceneRandom& random, double low, double high) {
    return low * std::pow(high / low, unitDraw(random));
}

// A pair of independent standard normal draws (Box-Muller), for scattering
// things about a centre.
inline Point gaussianPairDraw(SceneRandom& random) {
    const double radius = std::sqrt(-2.0 * std::log(1.0 - unitDraw(random)));
    const double angle = kTwoPi * unitDraw(random);
    return {radius * std::cos(angle), radius * std::sin(angle)};
}

}  // namespace qmv::bench
