#include "scene_state.h"

#include "qmv/opcodes.h"

namespace qmv::textform {

void SceneState::startAfterHeader(const Header& header) {
    Encodings start;
    start.absPointSize = header.absPointSize;
    start.relPointSize = header.relPointSize;
    walk_.restart(start);
}

void SceneState::apply(const Command& command) {
    switch (command.opcode) {
    case QMVR_Layer:
        walk_.beginLayer();
        break;
    case QMVR_BeginSetShape:
        walk_.beginShape();
        break;
    case QMVR_EndSetShape:
        walk_.endShape();
        break;
    case QMVR_Shape:
    case QMVR_StampShape:
        walk_.placeShape();
        walk_.now.lastShape = command.operands[0].number;
        break;
    case QMVR_RepeatShape:
        walk_.placeShape();
        break;
    case QMVR_SetPointSize16:
        walk_.now.absPointSize = 16;
        break;
    case QMVR_SetPointSize24:
        walk_.now.absPointSize = 24;
        break;
    case QMVR_SetPointSize32:
        walk_.now.absPointSize = 32;
        break;
    case QMVR_SetPointSize64:
        walk_.now.absPointSize = 64;
        break;
    case QMVR_SetPointSize128:
        walk_.now.absPointSize = 128;
        break;
    case QMVR_SetRelPointSize3:
        walk_.now.relPointSize = 3;
        break;
    case QMVR_SetRelPointSize6:
        walk_.now.relPointSize = 6;
        break;
    case QMVR_SetRelPointSize8:
        walk_.now.relPointSize = 8;
        break;
    case QMVR_SetRelPointSize16:
        walk_.now.relPointSize = 16;
        break;
    case QMVR_SetRelPointSize24:
        walk_.now.relPointSize = 24;
        break;
    case QMVR_SetRelPointSize32:
        walk_.now.relPointSize = 32;
        break;
    case QMVR_SetRelPointSize64:
        walk_.now.relPointSize = 64;
        break;
    case QMVR_SetRelPointSize128:
        walk_.now.relPointSize = 128;
        break;
    case QMVR_SetColorSize:
        walk_.now.colorSize = static_cast<int>(command.operands[0].number);
        break;
    case QMVR_SetPalette:
        walk_.now.hasPalette = true;
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
