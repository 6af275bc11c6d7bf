// The operand grammar of every opcode: one table that the decoder, the
// encoder, the text writer and the text parser all walk, so that the two
// directions cannot disagree on what a command holds.
#pragma once

#include <span>
#include <string_view>

namespace qmv::textform {

enum class OperandKind {
    Byte,            // one byte
    U16,             // big-endian 16-bit number (image width and height)
    Pattern16,       // big-endian 16-bit bit pattern (line dashes), shown in hex
    LayerFlags,      // the Layer flag byte, shown as words
    Size,            // SIZE: 1, 2 or 3 bytes, 0 to 4194303
    SignedSize,      // signed SIZE, -2097152 to 2097151
    String,          // SIZE length and that many bytes
    Abs,             // point in the absolute point size
    Rel,             // point in the relative point size, not chained
    Angle,           // absolute point read as a direction
    Color,           // colour in the colour size, then alignment
    Align,           // alignment; never written, its padding goes to the operand before
    Steps,           // SIZE count, chained relative steps, alignment
    BezierDraw,      // segments of three chained steps, each aligned; count from operand 0
    BezierFill,      // as BezierDraw, the last segment of two steps
    Edges,           // SIZE count, per edge: size byte, SIZE count, steps, alignment
    SignedSizeList,  // SIZE count, signed SIZEs
    SizeList,        // SIZE count, SIZEs
    Palette,         // count-1 byte, colours packed, alignment after the last
    Pixels,          // width x height colours (operands 0 and 1), each aligned
};

// The operand kinds of `opcode` in file order; empty for an opcode without
// operands and for one the reader never dispatches.
std::span<const OperandKind> operandKinds(int opcode);

// The text name: the opcode's name without its "QMVR_" prefix, or "" for an
// unnamed opcode.
std::string_view commandName(int opcode);

// The opcode of a text name, or -1.
int opcodeForName(std::string_view name);

// True when the kind appears in the text (every kind but Align).
inline bool isWritten(OperandKind kind) { return kind != OperandKind::Align; }

}  // namespace qmv::textform
