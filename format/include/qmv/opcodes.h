// The opcodes of the scene file format: one byte each, with the name the
// trace and the text form use and the class that decides where a command may
// stand. The list below is the one source of all three; the reader's handler
// table, the writer's placement checks and the text form derive from it.
#pragma once

#include <cstdint>

namespace qmv {

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

// X(name, opcode, class) for every named opcode. SetMIMEImage is named but
// has no class: a file may not use it, yet the trace can name it.
#define QMV_OPCODES(X) \
    X(Extension, 0, Command)                  \
    X(Layer, 1, Layer)                        \
    X(Object, 2, Object)                      \
    X(Polyline, 16, Command)                  \
    X(DrawPolygon, 17, Command)               \
    X(DrawCubicBezier, 18, Command)           \
    X(DrawArc, 19, Command)                   \
    X(FillPolygon, 20, Command)               \
    X(FillCubicBezier, 21, Command)           \
    X(FillArc, 22, Command)                   \
    X(Text, 23, Command)                      \
    X(Shape, 24, Command)                     \
    X(Image, 25, Command)                     \
    X(Mark, 48, Command)                      \
    X(Line, 49, Command)                      \
    X(DrawBox, 50, Command)                   \
    X(DrawCircle, 51, Command)                \
    X(DrawEllipse, 52, Command)               \
    X(FillBox, 53, Command)                   \
    X(FillCircle, 54, Command)                \
    X(FillEllipse, 55, Command)               \
    X(StampShape, 56, Command)                \
    X(RepeatShape, 57, Command)               \
    X(FullImage, 58, Command)                 \
    X(SetEdge, 59, Definition)                \
    X(SetFace, 60, Definition)                \
    X(DrawEdge, 61, Command)                  \
    X(DrawEdgeRange, 62, Command)             \
    X(FillFace, 63, Command)                  \
    X(SetPointSize16, 80, Attribute)          \
    X(SetPointSize24, 81, Attribute)          \
    X(SetPointSize32, 82, Attribute)          \
    X(SetPointSize64, 83, Attribute)          \
    X(SetPointSize128, 84, Attribute)         \
    X(SetRelPointSize3, 85, Attribute)        \
    X(SetRelPointSize6, 86, Attribute)        \
    X(SetRelPointSize8, 87, Attribute)        \
    X(SetRelPointSize16, 88, Attribute)       \
    X(SetRelPointSize24, 89, Attribute)       \
    X(SetRelPointSize32, 90, Attribute)       \
    X(SetRelPointSize64, 91, Attribute)       \
    X(SetRelPointSize128, 92, Attribute)      \
    X(SetColorSize, 93, Attribute)            \
    X(SetBlendMode, 94, Attribute)            \
    X(SetLineColor, 95, Attribute)            \
    X(SetLineDashes, 96, Attribute)           \
    X(SetLineStyle, 97, Attribute)            \
    X(SetMarkColor, 98, Attribute)            \
    X(SetMarkStyle, 99, Attribute)            \
    X(SetFillColor, 100, Attribute)           \
    X(SetGradientFill, 101, Attribute)        \
    X(SetTextureFill, 102, Attribute)         \
    X(SetStrechedTextureFill, 103, Attribute) \
    X(SetImageStretchMode, 104, Attribute)    \
    X(SetTextColor, 105, Attribute)           \
    X(SetFont, 106, Attribute)                \
    X(SetTextAlignment, 107, Attribute)       \
    X(SetPalette, 108, Attribute)             \
    X(SetImage, 109, Image)                   \
    X(SetMIMEImage, 110, None)                \
    X(BeginSetShape, 111, Shape)              \
    X(EndSetShape, 112, Shape)               

enum Opcode : int {
#define QMV_OPCODE_ENUM(name, number, cls) QMVR_##name = number,
    QMV_OPCODES(QMV_OPCODE_ENUM)
#undef QMV_OPCODE_ENUM
};

namespace detail {

struct OpcodeFacts {
    const char* name[256] = {};
    OpcodeClass cls[256] = {};
    constexpr OpcodeFacts() {
#define QMV_OPCODE_FACT(op, number, c) \
    name[number] = "QMVR_" #op;           \
    cls[number] = OpcodeClass::c;
        QMV_OPCODES(QMV_OPCODE_FACT)
#undef QMV_OPCODE_FACT
    }
};
inline constexpr OpcodeFacts kOpcodeFacts{};

}  // namespace detail

// The opcode's name ("QMVR_Line"), or an empty text for an unnamed opcode.
constexpr const char* opcodeName(int opcode) {
    if (opcode < 0 || opcode > 255) return "";
    const char* name = detail::kOpcodeFacts.name[opcode];
    return name != nullptr ? name : "";
}

// The opcode's class; None for an undefined one.
constexpr OpcodeClass opcodeClass(int opcode) {
    if (opcode < 0 || opcode > 255) return OpcodeClass::None;
    return detail::kOpcodeFacts.cls[opcode];
}

// What a layer's or a shape definition's body holds: commands, attributes,
// objects and definitions.
constexpr bool isBodyClass(OpcodeClass c) {
    return c == OpcodeClass::Command || c == OpcodeClass::Attribute || c == OpcodeClass::Object ||
           c == OpcodeClass::Definition;
}

}  // namespace qmv
