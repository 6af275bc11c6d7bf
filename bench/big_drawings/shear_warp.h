// Smooth bends for coarse outlines and border grids: a chain of shears, each
// moving points across one direction by a sine of where they lie along the
// perpendicular one. A shear of that kind maps the plane one to one
// whatever its strength, and so does a chain of them, so a simple outline
// stays simple and a grid's lines do not cross; the bends turn star-shaped
// blobs into continents with gulfs and curving coasts.
#pragma once

#include <vector>

#include "drawing_random.h"
#include "qmv/scene_types.h"

namespace qmv::bench {

struct Shear {
    Point along{};   // unit vector: where a point lies, along it, sets its move
    double frequency = 0.0;  // radians per unit along
    double phase = 0.0;
    double amplitude = 0.0;  // scene units, across `along` (anticlockwise)
};

class ShearWarp {
public:
    // `count` shears of wavelengths from `shortest` to `longest`, each
    // moving points up to `share` of its wavelength.
    ShearWarp(int count, double shortest, double longest, double share, SceneRandom& random);

    // The shears applied one after another.
    Point operator()(Point p) const;
    // The farthest any point moves.
    double reach() const;

private:
    std::vector<Shear> shears_;
};

}  // namespace qmv::bench
