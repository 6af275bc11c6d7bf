// Stroke fonts: text drawn as GL line strips in font units, so that it scales,
// rotates and shears with the current matrix like any other line drawing.
//
// Both fonts hold the printable ASCII characters 32..126. Any other character
// value (control characters, 127, negative values of signed chars) has no
// glyph: it draws nothing, does not advance and has width 0.
#pragma once

#include <cstdint>
#include <span>

namespace qmv {

enum class StrokeFont { Roman, MonoRoman };

// Vertical metrics of both fonts, in font units above the baseline: the top
// of the tallest glyphs, the bottom of the deepest descenders, and the line
// halfway between them.
inline constexpr float kStrokeFontTop = 119.05f;
inline constexpr float kStrokeFontBottom = -33.33f;
inline constexpr float kStrokeFontMiddle = 42.86f;

// The advance of every glyph of the monospaced font.
inline constexpr float kMonoRomanAdvance = 104.76f;

struct StrokePoint {
    float x;
    float y;
};

// One glyph in font units: x from the left edge of its advance, y up from the
// baseline. The points of all strokes are stored back to back; strokeLengths
// says how many points each stroke takes, in drawing order.
struct StrokeGlyph {
    std::span<const StrokePoint> points;
    std::span<const std::uint16_t> strokeLengths;
    float width;
};

// The glyph of character c, or nullptr when the font has none.
const StrokeGlyph* strokeGlyph(StrokeFont font, int c);

// Draws character c as one GL line strip per stroke, then translates the
// current matrix by its width along x so the next character follows it.
// Must be called with a current GL context, outside glBegin/glEnd. With
// `rgba` (red, green, blue, alpha), each strip starts with that colour,
// given inside glBegin as the renderer gives every colour.
void strokeCharacter(StrokeFont font, int c, const double* rgba = nullptr);

// The advance of character c in font units; 0 when the font has no glyph.
float strokeWidth(StrokeFont font, int c);

}  // namespace qmv
