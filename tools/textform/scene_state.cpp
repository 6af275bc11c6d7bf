#include "scene_state.h"

#include "qmv/opcodes.h"

namespace qmv::textform {

void SceneState::startAfterHeader(const Header& header) {
    now_ = Encodings{};
    now_.absPointSize = header.absPointSize;
    now_.relPointSize = header.relPointSize;
    region_ = Region::Global;
}

Placement SceneState::placement(int opcode) const {
    const OpcodeClass cls = opcodeClass(opcode);
    if (cls == OpcodeClass::None) return Placement::Undefined;
    switch (region_) {
    case Region::Global:
        if (cls == OpcodeClass::Attribute || cls == OpcodeClass::Definition || cls == OpcodeClass::Image ||
            cls == OpcodeClass::Layer) {
            return Placement::Accepted;
        }
        if (opcode == QMVR_BeginSetShape) return Placement::Accepted;
        if (opcode == QMVR_EndSetShape) return Placement::EndsNothing;
        return Placement::NotInGlobal;
    case Region::ShapeBody:
        if (isBodyClass(cls) || opcode == QMVR_EndSetShape) return Placement::Accepted;
        if (cls == OpcodeClass::Layer) return Placement::LayerInShape;
        if (opcode == QMVR_BeginSetShape) return Placement::ShapeInShape;
        return Placement::OnlyInGlobal;
    case Region::Layer:
        if (isBodyClass(cls) || cls == OpcodeClass::Layer) return Placement::Accepted;
        return Placement::OnlyInGlobal;
    }
    return Placement::Undefined;
}

void SceneState::apply(const Command& command) {
    switch (command.opcode) {
    case QMVR_Layer:
        // The first layer ends the global layer; every layer starts from there.
        if (region_ == Region::Global) layerStart_ = now_;
        now_ = layerStart_;
        region_ = Region::Layer;
        break;
    case QMVR_BeginSetShape:
        shapeSaved_ = now_;
        region_ = Region::ShapeBody;
        break;
    case QMVR_EndSetShape:
        now_ = shapeSaved_;
        region_ = Region::Global;
        break;
    case QMVR_Shape:
    case QMVR_StampShape:
        // Placing saves the state afresh (EndSetShape restores this copy).
        shapeSaved_ = now_;
        now_.lastShape = command.operands[0].number;
        break;
    case QMVR_RepeatShape:
        shapeSaved_ = now_;
        break;
    case QMVR_SetPointSize16:
        now_.absPointSize = 16;
        break;
    case QMVR_SetPointSize24:
        now_.absPointSize = 24;
        break;
    case QMVR_SetPointSize32:
        now_.absPointSize = 32;
        break;
    case QMVR_SetPointSize64:
        now_.absPointSize = 64;
        break;
    case QMVR_SetPointSize128:
        now_.absPointSize = 128;
        break;
    case QMVR_SetRelPointSize3:
        now_.relPointSize = 3;
        break;
    case QMVR_SetRelPointSize6:
        now_.relPointSize = 6;
        break;
    case QMVR_SetRelPointSize8:
        now_.relPointSize = 8;
        break;
    case QMVR_SetRelPointSize16:
        now_.relPointSize = 16;
        break;
    case QMVR_SetRelPointSize24:
        now_.relPointSize = 24;
        break;
    case QMVR_SetRelPointSize32:
        now_.relPointSize = 32;
        break;
    case QMVR_SetRelPointSize64:
        now_.relPointSize = 64;
        break;
    case QMVR_SetRelPointSize128:
        now_.relPointSize = 128;
        break;
    case QMVR_SetColorSize:
        now_.colorSize = static_cast<int>(command.operands[0].number);
        break;
    case QMVR_SetPalette:
        now_.hasPalette = true;
        break;
    default:
        break;
    }
}

std::string readerObjection(const Command& command, const Encodings& encodings) {
    switch (command.opcode) {
    case QMVR_SetImageStretchMode: {
        const int64_t mode = command.operands[0].number;
        if (mode != 0 && mode != 1) {
            return "Error in MakeSetImageStretchMode: Image stretch mode is neither nearest nor "
                   "bilinear";
        }
        return {};
    }
    case QMVR_RepeatShape:
        if (encodings.lastShape == -1)
            return "Repeate shape found, but no shape has been ever found";
        return {};
    case QMVR_SetImage: {
        const uint64_t pixels = static_cast<uint64_t>(command.operands[0].number) *
                                static_cast<uint64_t>(command.operands[1].number);
        if (pixels > kMaxImagePixels) return "SetImage: Image too large.";
        return {};
    }
    default:
        return {};
    }
}

}  // namespace qmv::textform
