// The opcode vocabulary: classes, handlers and names.
#include "opcode_table.h"

#include "bit_reader.h"
#include "handlers.h"

namespace qmv {

namespace {

struct OpcodeDefinition {
    int opcode;
    OpcodeClass cls;
    Handler handler;
    const char* name;
};

constexpr OpcodeClass kCommand = OpcodeClass::Command, kAttribute = OpcodeClass::Attribute,
                      kObject = OpcodeClass::Object, kDefinition = OpcodeClass::Definition,
                      kLayer = OpcodeClass::Layer, kImage = OpcodeClass::Image, kShape = OpcodeClass::Shape;

// Opcode 110 is named but has no class and no handler: the file may not use
// it, yet the trace can name it.
constexpr OpcodeDefinition kOpcodes[] = {
    {QMVR_Extension, kCommand, MakeExtension, "QMVR_Extension"},
    {QMVR_Layer, kLayer, MakeLayer, "QMVR_Layer"},
    {QMVR_Object, kObject, MakeObject, "QMVR_Object"},
    {QMVR_Polyline, kCommand, MakePolyline, "QMVR_Polyline"},
    {QMVR_DrawPolygon, kCommand, MakeDrawPolygon, "QMVR_DrawPolygon"},
    {QMVR_DrawCubicBezier, kCommand, MakeDrawCubicBezier, "QMVR_DrawCubicBezier"},
    {QMVR_DrawArc, kCommand, MakeDrawArc, "QMVR_DrawArc"},
    {QMVR_FillPolygon, kCommand, MakeFillPolygon, "QMVR_FillPolygon"},
    {QMVR_FillCubicBezier, kCommand, MakeFillCubicBezier, "QMVR_FillCubicBezier"},
    {QMVR_FillArc, kCommand, MakeFillArc, "QMVR_FillArc"},
    {QMVR_Text, kCommand, MakeText, "QMVR_Text"},
    {QMVR_Shape, kCommand, MakeShape, "QMVR_Shape"},
    {QMVR_Image, kCommand, MakeImage, "QMVR_Image"},
    {QMVR_Mark, kCommand, MakeMark, "QMVR_Mark"},
    {QMVR_Line, kCommand, MakeLine, "QMVR_Line"},
    {QMVR_DrawBox, kCommand, MakeDrawBox, "QMVR_DrawBox"},
    {QMVR_DrawCircle, kCommand, MakeDrawCircle, "QMVR_DrawCircle"},
    {QMVR_DrawEllipse, kCommand, MakeDrawEllipse, "QMVR_DrawEllipse"},
    {QMVR_FillBox, kCommand, MakeFillBox, "QMVR_FillBox"},
    {QMVR_FillCircle, kCommand, MakeFillCircle, "QMVR_FillCircle"},
    {QMVR_FillEllipse, kCommand, MakeFillEllipse, "QMVR_FillEllipse"},
    {QMVR_StampShape, kCommand, MakeStampShape, "QMVR_StampShape"},
    {QMVR_RepeatShape, kCommand, MakeRepeatShape, "QMVR_RepeatShape"},
    {QMVR_FullImage, kCommand, MakeFullImage, "QMVR_FullImage"},
    {QMVR_SetEdge, kDefinition, MakeSetEdge, "QMVR_SetEdge"},
    {QMVR_SetFace, kDefinition, MakeSetFace, "QMVR_SetFace"},
    {QMVR_DrawEdge, kCommand, MakeDrawEdge, "QMVR_DrawEdge"},
    {QMVR_DrawEdgeRange, kCommand, MakeDrawEdgeRange, "QMVR_DrawEdgeRange"},
    {QMVR_FillFace, kCommand, MakeFillFace, "QMVR_FillFace"},
    {QMVR_SetPointSize16, kAttribute, MakeSetPointSize16, "QMVR_SetPointSize16"},
    {QMVR_SetPointSize24, kAttribute, MakeSetPointSize24, "QMVR_SetPointSize24"},
    {QMVR_SetPointSize32, kAttribute, MakeSetPointSize32, "QMVR_SetPointSize32"},
    {QMVR_SetPointSize64, kAttribute, MakeSetPointSize64, "QMVR_SetPointSize64"},
    {QMVR_SetPointSize128, kAttribute, MakeSetPointSize128, "QMVR_SetPointSize128"},
    {QMVR_SetRelPointSize3, kAttribute, MakeSetRelPointSize3, "QMVR_SetRelPointSize3"},
    {QMVR_SetRelPointSize6, kAttribute, MakeSetRelPointSize6, "QMVR_SetRelPointSize6"},
    {QMVR_SetRelPointSize8, kAttribute, MakeSetRelPointSize8, "QMVR_SetRelPointSize8"},
    {QMVR_SetRelPointSize16, kAttribute, MakeSetRelPointSize16, "QMVR_SetRelPointSize16"},
    {QMVR_SetRelPointSize24, kAttribute, MakeSetRelPointSize24, "QMVR_SetRelPointSize24"},
    {QMVR_SetRelPointSize32, kAttribute, MakeSetRelPointSize32, "QMVR_SetRelPointSize32"},
    {QMVR_SetRelPointSize64, kAttribute, MakeSetRelPointSize64, "QMVR_SetRelPointSize64"},
    {QMVR_SetRelPointSize128, kAttribute, MakeSetRelPointSize128, "QMVR_SetRelPointSize128"},
    {QMVR_SetColorSize, kAttribute, MakeSetColorSize, "QMVR_SetColorSize"},
    {QMVR_SetBlendMode, kAttribute, MakeSetBlendMode, "QMVR_SetBlendMode"},
    {QMVR_SetLineColor, kAttribute, MakeSetLineColor, "QMVR_SetLineColor"},
    {QMVR_SetLineDashes, kAttribute, MakeSetLineDashes, "QMVR_SetLineDashes"},
    {QMVR_SetLineStyle, kAttribute, MakeSetLineStyle, "QMVR_SetLineStyle"},
    {QMVR_SetMarkColor, kAttribute, MakeSetMarkColor, "QMVR_SetMarkColor"},
    {QMVR_SetMarkStyle, kAttribute, MakeSetMarkStyle, "QMVR_SetMarkStyle"},
    {QMVR_SetFillColor, kAttribute, MakeSetFillColor, "QMVR_SetFillColor"},
    {QMVR_SetGradientFill, kAttribute, MakeSetGradientFill, "QMVR_SetGradientFill"},
    {QMVR_SetTextureFill, kAttribute, MakeSetTextureFill, "QMVR_SetTextureFill"},
    {QMVR_SetStrechedTextureFill, kAttribute, MakeSetStrechedTextureFill, "QMVR_SetStrechedTextureFill"},
    {QMVR_SetImageStretchMode, kAttribute, MakeSetImageStretchMode, "QMVR_SetImageStretchMode"},
    {QMVR_SetTextColor, kAttribute, MakeSetTextColor, "QMVR_SetTextColor"},
    {QMVR_SetFont, kAttribute, MakeSetFont, "QMVR_SetFont"},
    {QMVR_SetTextAlignment, kAttribute, MakeSetTextAlignment, "QMVR_SetTextAlignment"},
    {QMVR_SetPalette, kAttribute, MakeSetPalette, "QMVR_SetPalette"},
    {QMVR_SetImage, kImage, MakeSetImage, "QMVR_SetImage"},
    {QMVR_SetMIMEImage, OpcodeClass::None, nullptr, "QMVR_SetMIMEImage"},
    {QMVR_BeginSetShape, kShape, MakeBeginSetShape, "QMVR_BeginSetShape"},
    {QMVR_EndSetShape, kShape, MakeEndSetShape, "QMVR_EndSetShape"},
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

OpcodeClass opcodeClass(int opcode) {
    if (opcode < 0 || opcode > 255) return OpcodeClass::None;
    for (const auto& def : kOpcodes) {
        if (def.opcode == opcode) return def.cls;
    }
    return OpcodeClass::None;
}

int peekOpcode() { return peekUbyte(); }

int takeOpcode() { return takeUbyte(); }

bool nextOpcodeHasClass(OpcodeClass cls) {
    int opcode = peekRaw();
    if (opcode < 0) return false;
    return g_reader.opcodes[opcode].cls == cls && cls != OpcodeClass::None;
}

void dispatchOpcode(int opcode) {
    Handler handler = g_reader.opcodes[opcode & 0xFF].handler;
    if (handler != nullptr) handler();
}

}  // namespace qmv
