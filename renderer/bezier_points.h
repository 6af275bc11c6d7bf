// The points a cubic Bézier segment is drawn through: its curve at the 101
// parameters 0 to 100 of a one-dimensional map from 0 to 100, computed as
// the GL's evaluators do it (single precision, Horner's scheme on the
// Bernstein form), so that a segment looks as a glMap1f evaluator drew it.
// Plain arithmetic: the renderer compiles the points like any other
// vertices, and tests check them without a GL.
#pragma once

#include <array>

namespace qmv::renderer {

inline constexpr int kBezierPoints = 101;
using BezierPoints = std::array<std::array<float, 2>, kBezierPoints>;

inline BezierPoints bezierPoints(const float (&control)[4][3]) {
    BezierPoints points{};
    constexpr float kParameterScale = 1.0f / 100.0f;
    for (int i = 0; i < kBezierPoints; ++i) {
        const float t = static_cast<float>(i) * kParameterScale;
        const float s = 1.0f - t;
        for (int k = 0; k < 2; ++k) {
            // (s + t)^3 expanded term by term: binomial coefficients 3, 3, 1.
            float out = s * control[0][k] + 3.0f * t * control[1][k];
            out = s * out + 3.0f * (t * t) * control[2][k];
            out = s * out + (t * t * t) * control[3][k];
            points[static_cast<size_t>(i)][static_cast<size_t>(k)] = out;
        }
    }
    return points;
}

}  // namespace qmv::renderer
