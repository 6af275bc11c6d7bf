// What every command shares: its opcode byte and the check of where it may
// stand, absolute points, aligned colours, and the results.
#include "qmv/writer/geometry_helpers.h"
#include "qmv/writer/scene_writer.h"

namespace qmv {

void SceneWriter::beginCommand(Opcode opcode) {
    operands_.setCommand(std::string(opcodeName(opcode)) + " at byte " +
                         std::to_string(bits_.nextByteIndex()));
    // Where the reader accepts each class of command; the shape brackets and
    // the layer check their own places.
    switch (placementOf(walk_.region(), opcode)) {
    case Placement::NotInGlobal:
        commandError("drawing commands and objects belong in a layer or a shape definition");
        break;
    case Placement::OnlyInGlobal:
        if (opcodeClass(opcode) == OpcodeClass::Image) {
            commandError("images are defined only in the global layer, outside shapes");
        }
        break;
    case Placement::LayerInShape:
        commandError("a layer cannot begin inside a shape definition");
        break;
    default:
        break;
    }
    // The reader takes an opcode as a whole byte whatever its bit position.
    operands_.byte(opcode, "opcode");
}

void SceneWriter::commandError(std::string_view problem) { operands_.fail({}, problem); }

void SceneWriter::absPoint(Point p, std::string_view operand) {
    if (walk_.now.absPointSize < 16) {
        operands_.fail(operand,
                       "absolute points need at least 16 bits, and the absolute "
                       "point size is " +
                           std::to_string(walk_.now.absPointSize));
        return;
    }
    operands_.point(p, walk_.now.absPointSize, operand);
}

void SceneWriter::colorAligned(const ColorOperand& color, std::string_view operand) {
    if (color.isIndex()) {
        operands_.paletteIndex(color.index(), walk_.now.colorSize, walk_.now.palette.size(), operand);
    } else {
        operands_.color(color.color(), walk_.now.colorSize, walk_.now.palette, operand);
    }
    bits_.alignToByte();
}

Point SceneWriter::directionFor(double radians) const {
    return directionVector(radians, walk_.now.absPointSize);
}

void SceneWriter::finish() {
    if (walk_.region() == SceneRegion::ShapeBody) {
        errors_.record("end of scene: a shape definition is still open");
    }
    if (walk_.region() != SceneRegion::Layer) errors_.record("end of scene: a scene needs at least one layer");
}

}  // namespace qmv
