#include "grammar.h"

#include <array>
#include <cstring>
#include <vector>

#include "qmv/opcodes.h"

namespace qmv::textform {

namespace {

using K = OperandKind;

struct Row {
    int opcode;
    std::vector<OperandKind> kinds;
};

// Operands in file order, as the reader's handlers read them.
const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {QMVR_Extension, {K::String, K::String}},
        {QMVR_Layer, {K::LayerFlags, K::String}},
        {QMVR_Object, {K::String}},
        {QMVR_Polyline, {K::Abs, K::Steps}},
        {QMVR_DrawPolygon, {K::Abs, K::Steps}},
        {QMVR_FillPolygon, {K::Abs, K::Steps}},
        {QMVR_DrawCubicBezier, {K::Size, K::Abs, K::BezierDraw}},
        {QMVR_FillCubicBezier, {K::Size, K::Abs, K::BezierFill}},
        {QMVR_DrawArc, {K::Abs, K::Rel, K::Angle, K::Angle}},
        {QMVR_FillArc, {K::Abs, K::Rel, K::Angle, K::Angle}},
        {QMVR_Text, {K::Abs, K::String}},
        {QMVR_Shape, {K::Size, K::Abs, K::Angle, K::Abs}},
        {QMVR_Image, {K::Size, K::Abs, K::Rel, K::Align, K::Abs, K::Rel, K::Align}},
        {QMVR_Mark, {K::Abs}},
        {QMVR_Line, {K::Abs, K::Rel, K::Align}},
        {QMVR_DrawBox, {K::Abs, K::Rel, K::Align}},
        {QMVR_FillBox, {K::Abs, K::Rel, K::Align}},
        {QMVR_DrawCircle, {K::Abs, K::Size}},
        {QMVR_FillCircle, {K::Abs, K::Size}},
        {QMVR_DrawEllipse, {K::Abs, K::Rel, K::Align}},
        {QMVR_FillEllipse, {K::Abs, K::Rel, K::Align}},
        {QMVR_StampShape, {K::Size, K::Abs}},
        {QMVR_RepeatShape, {K::Abs}},
        {QMVR_FullImage, {K::Size, K::Abs, K::Rel, K::Align}},
        {QMVR_SetEdge, {K::Abs, K::Edges}},
        {QMVR_SetFace, {K::SignedSizeList, K::SizeList}},
        {QMVR_DrawEdge, {K::SignedSize}},
        {QMVR_DrawEdgeRange, {K::SignedSize, K::SignedSize}},
        {QMVR_FillFace, {K::Size}},
        {QMVR_SetPointSize16, {}},
        {QMVR_SetPointSize24, {}},
        {QMVR_SetPointSize32, {}},
        {QMVR_SetPointSize64, {}},
        {QMVR_SetPointSize128, {}},
        {QMVR_SetRelPointSize3, {}},
        {QMVR_SetRelPointSize6, {}},
        {QMVR_SetRelPointSize8, {}},
        {QMVR_SetRelPointSize16, {}},
        {QMVR_SetRelPointSize24, {}},
        {QMVR_SetRelPointSize32, {}},
        {QMVR_SetRelPointSize64, {}},
        {QMVR_SetRelPointSize128, {}},
        {QMVR_SetColorSize, {K::Byte}},
        {QMVR_SetBlendMode, {K::Byte}},
        {QMVR_SetLineColor, {K::Color}},
        {QMVR_SetLineDashes, {K::Pattern16}},
        {QMVR_SetLineStyle, {K::Byte, K::Byte, K::Byte, K::Byte}},
        {QMVR_SetMarkColor, {K::Color}},
        {QMVR_SetMarkStyle, {K::Byte, K::Size}},
        {QMVR_SetFillColor, {K::Color}},
        {QMVR_SetGradientFill, {K::Abs, K::Color, K::Abs, K::Color}},
        {QMVR_SetTextureFill, {K::Abs, K::Size}},
        {QMVR_SetStrechedTextureFill, {K::Abs, K::Rel, K::Align, K::Size}},
        {QMVR_SetImageStretchMode, {K::Byte}},
        {QMVR_SetTextColor, {K::Color}},
        {QMVR_SetFont, {K::Byte, K::Byte, K::Size}},
        {QMVR_SetTextAlignment, {K::Byte, K::Angle, K::Align}},
        {QMVR_SetPalette, {K::Palette}},
        {QMVR_SetImage, {K::U16, K::U16, K::Pixels}},
        {QMVR_BeginSetShape, {K::Abs}},
        {QMVR_EndSetShape, {}},
    };
    return table;
}

struct Lookup {
    std::array<const Row*, 256> byOpcode{};
};

const Lookup& lookup() {
    static const Lookup built = [] {
        Lookup l;
        for (const Row& row : rows()) l.byOpcode[static_cast<size_t>(row.opcode)] = &row;
        return l;
    }();
    return built;
}

constexpr std::string_view kPrefix = "QMVR_";

}  // namespace

std::span<const OperandKind> operandKinds(int opcode) {
    if (opcode < 0 || opcode > 255) return {};
    const Row* row = lookup().byOpcode[static_cast<size_t>(opcode)];
    if (row == nullptr) return {};
    return row->kinds;
}

std::string_view commandName(int opcode) {
    std::string_view name = opcodeName(opcode);
    if (name.starts_with(kPrefix)) name.remove_prefix(kPrefix.size());
    return name;
}

int opcodeForName(std::string_view name) {
    if (name.empty()) return -1;
    for (int opcode = 0; opcode < 256; ++opcode) {
        if (commandName(opcode) == name) return opcode;
    }
    return -1;
}

}  // namespace qmv::textform
