// What stored fields mean, and back: the text of points, colours, strings
// and numbers. The disassembler writes with these; the parser converts the
// text back with the same tables, checking that each value fits the encoding
// in force.
#pragma once

#include <cstdint>
#include <string>

#include "command.h"
#include "qmv/scene_types.h"

namespace qmv::textform {

// One coordinate as written: a number, inf, -inf, nan, or bits(0x...) (the
// exact pattern of a 64- or 128-bit coordinate).
struct Coordinate {
    enum class Form { Number, Inf, NegativeInf, NaN, Bits };
    Form form = Form::Number;
    std::string text;   // the number as written (Number)
    uint64_t bits = 0;  // the pattern (Bits)
    TextPos at;
};

// "(x, y)" for a point stored in `sizeBits`.
std::string formatPoint(const PointField& point, int sizeBits);

// The fields of (x, y) in `sizeBits`. Returns "" or the problem; `which` is
// 0 when x is at fault, 1 for y.
std::string pointFromCoordinates(const Coordinate& x, const Coordinate& y, int sizeBits,
                                 PointField& out, int& which);

// The point as the reader decodes the fields.
Point pointValue(const PointField& point, int sizeBits);

// The fields of the step that leads from `from` to `to` in a relative point
// of `sizeBits`: "" when the step holds it exactly (the reader adds steps in
// doubles), else the problem.
std::string stepBetween(Point from, Point to, int sizeBits, PointField& out);

// index(n), grey(n), grey(n, a), #rrggbb or #rrggbbaa, by colour size.
std::string formatColor(const ColorLevels& color, int colorSize);

// Double quotes; printable ASCII as it is except \" and \\; every other
// byte as \xHH.
std::string formatString(const std::string& bytes);

// The shortest text that reads back as the same double.
std::string formatNumber(double value);

}  // namespace qmv::textform
