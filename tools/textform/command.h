// The command model shared by both directions. Values hold the fields exactly
// as the file stores them (a 3-bit point is its direction code, a 64-bit
// coordinate its float bit pattern, a colour its levels), so that decoding
// and encoding are plain copies and only the text side converts to and from
// what the fields mean.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grammar.h"

namespace qmv::textform {

struct TextPos {
    int line = 0;
    int column = 0;
};

// Details of one element that the canonical text leaves implicit.
struct Annotation {
    // Bytes of the SIZE this element starts with (its value, or the length of
    // its list or text): 0 for the shortest form, else 1 to 3.
    int sizeForm = 0;
    // The bits the reader skips inside this element, up to the next written
    // element, in file order, most significant first: alignment padding and
    // the high bits of a byte that a bit read enters part-way.
    uint64_t filler = 0;
    TextPos at;        // where the element begins in the text
    TextPos formAt;    // where its @ annotation is
    TextPos fillerAt;  // where its ~ annotation is
};

// x and y as stored in the point size in force (direction code in x for 3
// bits, two's complement patterns, float or double bit patterns).
struct PointField {
    uint64_t x = 0;
    uint64_t y = 0;
};

// A colour as stored in the colour size in force: a palette index, a grey
// level, grey and alpha, or red, green, blue (and alpha).
struct ColorLevels {
    uint32_t level[4] = {0, 0, 0, 0};
};

// `count` equal steps in a row: files with many identical steps (or steps
// in a size that holds nothing) stay small in memory and in the text.
struct StepRun {
    PointField step;
    uint32_t count = 1;
    TextPos at;
};

// One segment of a Bezier figure: its chained steps, then alignment.
// `repeat` equal segments in a row.
struct Segment {
    std::vector<StepRun> steps;
    uint32_t repeat = 1;
    Annotation note;
};

// One polyline of an edge set: the relative point size of its steps (a byte
// stored before them), the steps and the alignment after them.
struct Edge {
    int relPointSize = 24;
    std::vector<StepRun> steps;
    Annotation note;  // its sizeForm is the form of the step count
};

struct SizeItem {
    int64_t value = 0;
    Annotation note;
};

struct ColorItem {
    ColorLevels color;
    Annotation note;
};

// One operand; which fields are used follows from `kind`.
struct Value {
    OperandKind kind = OperandKind::Byte;
    int64_t number = 0;             // Byte, U16, Pattern16, LayerFlags, Size, SignedSize
    PointField point;               // Abs, Rel, Angle
    std::string text;               // String
    ColorLevels color;              // Color
    std::vector<StepRun> steps;     // Steps
    std::vector<Segment> segments;  // BezierDraw, BezierFill
    std::vector<Edge> edges;        // Edges
    std::vector<SizeItem> sizes;    // SizeList, SignedSizeList
    std::vector<ColorItem> colors;  // Palette, Pixels
    Annotation note;
};

// The number of steps the runs stand for.
inline uint64_t stepCount(const std::vector<StepRun>& runs) {
    uint64_t n = 0;
    for (const StepRun& run : runs) n += run.count;
    return n;
}

struct Command {
    int opcode = 0;
    std::vector<Value> operands;  // one per written kind of its grammar, in order
    TextPos at;
};

// The header after the five magic bytes.
struct Header {
    int reserved = 0;
    int version = 0;
    int release = 0;
    int absPointSize = 32;
    int relPointSize = 24;
    PointField resolution;
    PointField lowerLeft;
    PointField upperRight;
    PointField mm;
    ColorLevels background;  // three bytes: red, green, blue
};

}  // namespace qmv::textform
