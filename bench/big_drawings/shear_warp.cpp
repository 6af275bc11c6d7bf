#include "shear_warp.h"

#include <cmath>

namespace qmv::bench {

ShearWarp::ShearWarp(int count, double shortest, double longest, double share,
                     SceneRandom& random) {
    for (int i = 0; i < count; ++i) {
        const double angle = kTwoPi * unitDraw(random);
        const double wavelength = logUniformDraw(random, shortest, longest);
        shears_.push_back({{std::cos(angle), std::sin(angle)},
                           kTwoPi / wavelength,
                           kTwoPi * unitDraw(random),
                           share * wavelength * uniformDraw(random, 0.5, 1.0)});
    }
}

Point ShearWarp::operator()(Point p) const {
    for (const Shear& s : shears_) {
        const double move =
            s.amplitude * std::sin(s.frequency * (p.x * s.along.x + p.y * s.along.y) + s.phase);
        p = {p.x - s.along.y * move, p.y + s.along.x * move};
    }
    return p;
}

double ShearWarp::reach() const {
    double total = 0.0;
    for (const Shear& s : shears_) total += s.amplitude;
    return total;
}

}  // namespace qmv::bench
