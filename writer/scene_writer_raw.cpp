// The escape hatch: bytes, bits and operands in an encoding named by the
// caller, for files that probe how a reader copes with odd input.
#include "qmv/writer/scene_writer.h"

namespace qmv {

namespace {

std::string rawCommand(size_t offset) { return "raw write at byte " + std::to_string(offset); }

}  // namespace

void SceneWriter::rawOpcode(uint8_t opcode) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.byte(opcode, "opcode");
}

void SceneWriter::rawByte(uint8_t value) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.byte(value, "byte");
}

void SceneWriter::rawBytes(std::span<const uint8_t> values) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    for (uint8_t value : values) operands_.byte(value, "byte");
}

void SceneWriter::rawBytes(std::initializer_list<uint8_t> values) {
    rawBytes(std::span<const uint8_t>(values.begin(), values.size()));
}

void SceneWriter::rawBits(uint64_t value, int count) { bits_.putBits(value, count); }

void SceneWriter::rawAlign() { bits_.alignToByte(); }

void SceneWriter::rawPoint(Point p, int sizeBits) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.point(p, sizeBits, "point");
}

void SceneWriter::rawSize(int64_t value, SizeForm form) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.size(value, "size", form);
}

void SceneWriter::rawSignedSize(int64_t value, SizeForm form) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.signedSize(value, "signed size", form);
}

void SceneWriter::rawString(std::string_view text) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.string(text, "text");
}

void SceneWriter::rawColor(const Color& color, int colorSize) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.color(color, colorSize, walk_.now.palette, "colour");
}

// The index is written whatever the palette holds: a reader must cope with
// indices past its end.
void SceneWriter::rawPaletteIndex(int64_t index, int colorSize) {
    operands_.setCommand(rawCommand(bits_.nextByteIndex()));
    operands_.paletteIndex(index, colorSize, 256, "palette index");
}

}  // namespace qmv
