// The opcode vocabulary: class letters, handlers and names.
#include "opcode_table.h"

#include "bit_reader.h"
#include "handlers.h"

namespace qmv {

namespace {

struct OpcodeDefinition {
    int opcode;
    char cls;
    Handler handler;
    const char* name;
};

// Opcode 110 is named but has no class and no handler: the file may not use
// it, yet the trace can name it.
constexpr OpcodeDefinition kOpcodes[] = {
    {QMVR_Extension, 'c', MakeExtension, "QMVR_Extension"},
    {QMVR_Layer, 'l', MakeLayer, "QMVR_Layer"},
    {QMVR_Object, 'o', MakeObject, "QMVR_Object"},
    {QMVR_Polyline, 'c', MakePolyline, "QMVR_Polyline"},
    {QMVR_DrawPolygon, 'c', MakeDrawPolygon, "QMVR_DrawPolygon"},
    {QMVR_DrawCubicBezier, 'c', MakeDrawCubicBezier, "QMVR_DrawCubicBezier"},
    {QMVR_DrawArc, 'c', MakeDrawArc, "QMVR_DrawArc"},
    {QMVR_FillPolygon, 'c', MakeFillPolygon, "QMVR_FillPolygon"},
    {QMVR_FillCubicBezier, 'c', MakeFillCubicBezier, "QMVR_FillCubicBezier"},
    {QMVR_FillArc, 'c', MakeFillArc, "QMVR_FillArc"},
    {QMVR_Text, 'c', MakeText, "QMVR_Text"},
    {QMVR_Shape, 'c', MakeShape, "QMVR_Shape"},
    {QMVR_Image, 'c', MakeImage, "QMVR_Image"},
    {QMVR_Mark, 'c', MakeMark, "QMVR_Mark"},
    {QMVR_Line, 'c', MakeLine, "QMVR_Line"},
    {QMVR_DrawBox, 'c', MakeDrawBox, "QMVR_DrawBox"},
    {QMVR_DrawCircle, 'c', MakeDrawCircle, "QMVR_DrawCircle"},
    {QMVR_DrawEllipse, 'c', MakeDrawEllipse, "QMVR_DrawEllipse"},
    {QMVR_FillBox, 'c', MakeFillBox, "QMVR_FillBox"},
    {QMVR_FillCircle, 'c', MakeFillCircle, "QMVR_FillCircle"},
    {QMVR_FillEllipse, 'c', MakeFillEllipse, "QMVR_FillEllipse"},
    {QMVR_StampShape, 'c', MakeStampShape, "QMVR_StampShape"},
    {QMVR_RepeatShape, 'c', MakeRepeatShape, "QMVR_RepeatShape"},
    {QMVR_FullImage, 'c', MakeFullImage, "QMVR_FullImage"},
    {QMVR_SetEdge, 'm', MakeSetEdge, "QMVR_SetEdge"},
    {QMVR_SetFace, 'm', MakeSetFace, "QMVR_SetFace"},
    {QMVR_DrawEdge, 'c', MakeDrawEdge, "QMVR_DrawEdge"},
    {QMVR_DrawEdgeRange, 'c', MakeDrawEdgeRange, "QMVR_DrawEdgeRange"},
    {QMVR_FillFace, 'c', MakeFillFace, "QMVR_FillFace"},
    {QMVR_SetPointSize16, 'a', MakeSetPointSize16, "QMVR_SetPointSize16"},
    {QMVR_SetPointSize24, 'a', MakeSetPointSize24, "QMVR_SetPointSize24"},
    {QMVR_SetPointSize32, 'a', MakeSetPointSize32, "QMVR_SetPointSize32"},
    {QMVR_SetPointSize64, 'a', MakeSetPointSize64, "QMVR_SetPointSize64"},
    {QMVR_SetPointSize128, 'a', MakeSetPointSize128, "QMVR_SetPointSize128"},
    {QMVR_SetRelPointSize3, 'a', MakeSetRelPointSize3, "QMVR_SetRelPointSize3"},
    {QMVR_SetRelPointSize6, 'a', MakeSetRelPointSize6, "QMVR_SetRelPointSize6"},
    {QMVR_SetRelPointSize8, 'a', MakeSetRelPointSize8, "QMVR_SetRelPointSize8"},
    {QMVR_SetRelPointSize16, 'a', MakeSetRelPointSize16, "QMVR_SetRelPointSize16"},
    {QMVR_SetRelPointSize24, 'a', MakeSetRelPointSize24, "QMVR_SetRelPointSize24"},
    {QMVR_SetRelPointSize32, 'a', MakeSetRelPointSize32, "QMVR_SetRelPointSize32"},
    {QMVR_SetRelPointSize64, 'a', MakeSetRelPointSize64, "QMVR_SetRelPointSize64"},
    {QMVR_SetRelPointSize128, 'a', MakeSetRelPointSize128, "QMVR_SetRelPointSize128"},
    {QMVR_SetColorSize, 'a', MakeSetColorSize, "QMVR_SetColorSize"},
    {QMVR_SetBlendMode, 'a', MakeSetBlendMode, "QMVR_SetBlendMode"},
    {QMVR_SetLineColor, 'a', MakeSetLineColor, "QMVR_SetLineColor"},
    {QMVR_SetLineDashes, 'a', MakeSetLineDashes, "QMVR_SetLineDashes"},
    {QMVR_SetLineStyle, 'a', MakeSetLineStyle, "QMVR_SetLineStyle"},
    {QMVR_SetMarkColor, 'a', MakeSetMarkColor, "QMVR_SetMarkColor"},
    {QMVR_SetMarkStyle, 'a', MakeSetMarkStyle, "QMVR_SetMarkStyle"},
    {QMVR_SetFillColor, 'a', MakeSetFillColor, "QMVR_SetFillColor"},
    {QMVR_SetGradientFill, 'a', MakeSetGradientFill, "QMVR_SetGradientFill"},
    {QMVR_SetTextureFill, 'a', MakeSetTextureFill, "QMVR_SetTextureFill"},
    {QMVR_SetStrechedTextureFill, 'a', MakeSetStrechedTextureFill, "QMVR_SetStrechedTextureFill"},
    {QMVR_SetImageStretchMode, 'a', MakeSetImageStretchMode, "QMVR_SetImageStretchMode"},
    {QMVR_SetTextColor, 'a', MakeSetTextColor, "QMVR_SetTextColor"},
    {QMVR_SetFont, 'a', MakeSetFont, "QMVR_SetFont"},
    {QMVR_SetTextAlignment, 'a', MakeSetTextAlignment, "QMVR_SetTextAlignment"},
    {QMVR_SetPalette, 'a', MakeSetPalette, "QMVR_SetPalette"},
    {QMVR_SetImage, 'i', MakeSetImage, "QMVR_SetImage"},
    {QMVR_SetMIMEImage, 0, nullptr, "QMVR_SetMIMEImage"},
    {QMVR_BeginSetShape, 's', MakeBeginSetShape, "QMVR_BeginSetShape"},
    {QMVR_EndSetShape, 's', MakeEndSetShape, "QMVR_EndSetShape"},
};

struct NameTable {
    const char* names[256] = {};
    NameTable() {
        for (const auto& def : kOpcodes) names[def.opcode] = def.name;
    }
};

const NameTable& nameTable() {
    static const NameTable table;
    return table;
}

}  // namespace

void fillOpcodeTable() {
    for (OpcodeEntry& entry : g_reader.opcodes) entry = {};
    for (const auto& def : kOpcodes) g_reader.opcodes[def.opcode] = {def.cls, def.handler};
}

// The names are fixed data; nothing needs refilling.
void fillOpcodeNames() { (void)nameTable(); }

const char* opcodeName(int opcode) {
    if (opcode < 0 || opcode > 255) return "";
    const char* name = nameTable().names[opcode];
    return name != nullptr ? name : "";
}

char opcodeClass(int opcode) {
    if (opcode < 0 || opcode > 255) return 0;
    for (const auto& def : kOpcodes) {
        if (def.opcode == opcode) return def.cls;
    }
    return 0;
}

int peekOpcode() { return peekUbyte(); }

int takeOpcode() { return takeUbyte(); }

bool nextOpcodeHasClass(char cls) {
    int opcode = peekRaw();
    if (opcode < 0) return false;
    return g_reader.opcodes[opcode].cls == cls && cls != 0;
}

void dispatchOpcode(int opcode) {
    Handler handler = g_reader.opcodes[opcode & 0xFF].handler;
    if (handler != nullptr) handler();
}

}  // namespace qmv
