// Small tests shared by the operand encoders: whether a double is a whole
// number of a range, and the level n whose n/255 a colour component is.
#pragma once

#include <cmath>
#include <cstdint>

namespace qmv {

inline bool isWholeIn(double value, int64_t low, int64_t high) {
    return std::isfinite(value) && std::trunc(value) == value &&
           value >= static_cast<double>(low) && value <= static_cast<double>(high);
}

// The reader turns a level n into the component n * (1/255). Components are
// matched with a tolerance far below the 1/255 spacing, so that 128 / 255.0
// and 128 * (1 / 255.0), which may differ in the last bit, both pass.
inline constexpr double kComponentScale = 0.00392156862745098;
inline constexpr double kComponentTolerance = 1e-9;

// The level 0 to maxLevel that reads back as `component`, or -1.
inline int64_t componentLevel(double component, int64_t maxLevel) {
    if (!std::isfinite(component)) return -1;
    const double level = std::round(component * 255.0);
    if (level < 0.0 || level > static_cast<double>(maxLevel)) return -1;
    if (std::fabs(level * kComponentScale - component) > kComponentTolerance) return -1;
    return static_cast<int64_t>(level);
}

inline bool sameComponent(double a, double b) { return std::fabs(a - b) <= kComponentTolerance; }

}  // namespace qmv
