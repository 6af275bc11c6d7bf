// Opcode numbers of the scene file format (one byte each) and their names.
#pragma once

namespace qmv {

enum Opcode : int {
    QMVR_Extension = 0,
    QMVR_Layer = 1,
    QMVR_Object = 2,
    QMVR_Polyline = 16,
    QMVR_DrawPolygon = 17,
    QMVR_DrawCubicBezier = 18,
    QMVR_DrawArc = 19,
    QMVR_FillPolygon = 20,
    QMVR_FillCubicBezier = 21,
    QMVR_FillArc = 22,
    QMVR_Text = 23,
    QMVR_Shape = 24,
    QMVR_Image = 25,
    QMVR_Mark = 48,
    QMVR_Line = 49,
    QMVR_DrawBox = 50,
    QMVR_DrawCircle = 51,
    QMVR_DrawEllipse = 52,
    QMVR_FillBox = 53,
    QMVR_FillCircle = 54,
    QMVR_FillEllipse = 55,
    QMVR_StampShape = 56,
    QMVR_RepeatShape = 57,
    QMVR_FullImage = 58,
    QMVR_SetEdge = 59,
    QMVR_SetFace = 60,
    QMVR_DrawEdge = 61,
    QMVR_DrawEdgeRange = 62,
    QMVR_FillFace = 63,
    QMVR_SetPointSize16 = 80,
    QMVR_SetPointSize24 = 81,
    QMVR_SetPointSize32 = 82,
    QMVR_SetPointSize64 = 83,
    QMVR_SetPointSize128 = 84,
    QMVR_SetRelPointSize3 = 85,
    QMVR_SetRelPointSize6 = 86,
    QMVR_SetRelPointSize8 = 87,
    QMVR_SetRelPointSize16 = 88,
    QMVR_SetRelPointSize24 = 89,
    QMVR_SetRelPointSize32 = 90,
    QMVR_SetRelPointSize64 = 91,
    QMVR_SetRelPointSize128 = 92,
    QMVR_SetColorSize = 93,
    QMVR_SetBlendMode = 94,
    QMVR_SetLineColor = 95,
    QMVR_SetLineDashes = 96,
    QMVR_SetLineStyle = 97,
    QMVR_SetMarkColor = 98,
    QMVR_SetMarkStyle = 99,
    QMVR_SetFillColor = 100,
    QMVR_SetGradientFill = 101,
    QMVR_SetTextureFill = 102,
    QMVR_SetStrechedTextureFill = 103,
    QMVR_SetImageStretchMode = 104,
    QMVR_SetTextColor = 105,
    QMVR_SetFont = 106,
    QMVR_SetTextAlignment = 107,
    QMVR_SetPalette = 108,
    QMVR_SetImage = 109,
    QMVR_SetMIMEImage = 110,
    QMVR_BeginSetShape = 111,
    QMVR_EndSetShape = 112,
};

// The opcode's name ("QMVR_Line"), or an empty text for an unnamed opcode.
const char* opcodeName(int opcode);

// What kind of command an opcode is, which decides where it may stand. The
// values are the class letters of the format's description.
enum class OpcodeClass : char {
    None = 0,          // undefined: no file may use it
    Command = 'c',     // drawing: in a layer or a shape definition
    Attribute = 'a',   // anywhere
    Object = 'o',      // object brackets: in a layer or a shape definition
    Definition = 'm',  // edge sets and faces: anywhere
    Layer = 'l',       // a layer's start: after the global layer
    Image = 'i',       // image definitions: in the global layer
    Shape = 's',       // shape definition brackets: in the global layer
    GlobalOnly = 'g',  // the global layer alone (no opcode has it today)
};

// What a layer's or a shape definition's body holds: commands, attributes,
// objects and definitions.
constexpr bool isBodyClass(OpcodeClass c) {
    return c == OpcodeClass::Command || c == OpcodeClass::Attribute || c == OpcodeClass::Object ||
           c == OpcodeClass::Definition;
}

// The opcode's class; None for an undefined one.
OpcodeClass opcodeClass(int opcode);

}  // namespace qmv
