// Where a string stands relative to its anchor: the alignment codes as
// offsets in font units, from the anchor to the left end of the baseline.
#pragma once

namespace qmv::renderer {

// Font heights shared by both stroke fonts, in font units.
inline constexpr double kTextTop = 119.05;
inline constexpr double kTextBottom = -33.33;
inline constexpr double kTextMiddle = 42.86;

struct TextOffset {
    double x = 0.0;  // anchor to the left end of the string
    double y = 0.0;  // height of the anchor above the baseline
};

// halfWidth is half the string's advance in font units. Codes outside 0 to
// 11 anchor at the left end of the baseline.
inline TextOffset textOffset(int alignment, double halfWidth) {
    const double h = halfWidth;
    switch (alignment) {
    case 0: return {h, kTextTop};
    case 1: return {h, kTextBottom};
    case 2: return {2 * h, kTextMiddle};
    case 3: return {0, kTextMiddle};
    case 4: return {2 * h, kTextTop};
    case 5: return {0, kTextTop};
    case 6: return {2 * h, kTextBottom};
    case 7: return {0, kTextBottom};
    case 8: return {h, kTextMiddle};
    case 10: return {h, 0};
    case 11: return {2 * h, 0};
    default: return {0, 0};  // 9 and unknown codes: baseline, left end
    }
}

}  // namespace qmv::renderer
