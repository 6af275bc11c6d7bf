// Attribute commands: the encodings of later operands, colours, line, fill
// and text attributes, and the palette.
#include "qmv/writer/scene_writer.h"

namespace qmv {

namespace {

// Position of `bits` in a list of sizes, or -1.
int indexOf(std::span<const int> sizes, int bits) {
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] == bits) return static_cast<int>(i);
    }
    return -1;
}

constexpr int kAbsoluteSizes[] = {16, 24, 32, 64, 128};
constexpr int kRelativeSizes[] = {3, 6, 8, 16, 24, 32, 64, 128};

}  // namespace

// One opcode per size, in increasing order.
void SceneWriter::setPointSize(int bits) {
    const int index = indexOf(kAbsoluteSizes, bits);
    if (index < 0) {
        operands_.setCommand("absolute point size at byte " +
                             std::to_string(bits_.nextByteIndex()));
        commandError(std::to_string(bits) + " is not an absolute point size (16, 24, 32, 64, 128)");
        return;
    }
    beginCommand(static_cast<Opcode>(QMVR_SetPointSize16 + index));
    walk_.now.absPointSize = bits;
}

void SceneWriter::setRelPointSize(int bits) {
    const int index = indexOf(kRelativeSizes, bits);
    if (index < 0) {
        operands_.setCommand("relative point size at byte " +
                             std::to_string(bits_.nextByteIndex()));
        commandError(std::to_string(bits) +
                     " is not a relative point size (3, 6, 8, 16, 24, 32, 64, 128)");
        return;
    }
    beginCommand(static_cast<Opcode>(QMVR_SetRelPointSize3 + index));
    walk_.now.relPointSize = bits;
}

void SceneWriter::setColorSize(int size) {
    beginCommand(QMVR_SetColorSize);
    if (size < 0 || size > 7) commandError(std::to_string(size) + " is not a colour size (0 to 7)");
    operands_.byte(size, "colour size");
    walk_.now.colorSize = size;
}

void SceneWriter::setBlendMode(int mode) {
    beginCommand(QMVR_SetBlendMode);
    if (mode < 0 || mode > 7) commandError(std::to_string(mode) + " is not a blend mode (0 to 7)");
    operands_.byte(mode, "mode");
}

void SceneWriter::setLineColor(ColorOperand color) {
    beginCommand(QMVR_SetLineColor);
    colorAligned(color, "colour");
}

void SceneWriter::setLineDashes(uint16_t pattern) {
    beginCommand(QMVR_SetLineDashes);
    operands_.byte(pattern >> 8, "pattern high byte");
    operands_.byte(pattern & 0xFF, "pattern low byte");
}

void SceneWriter::setLineStyle(int first, int second, int third, int fourth) {
    beginCommand(QMVR_SetLineStyle);
    operands_.byte(first, "first value");
    operands_.byte(second, "second value");
    operands_.byte(third, "third value");
    operands_.byte(fourth, "fourth value");
}

void SceneWriter::setMarkColor(ColorOperand color) {
    beginCommand(QMVR_SetMarkColor);
    colorAligned(color, "colour");
}

void SceneWriter::setMarkStyle(int style, int64_t size) {
    beginCommand(QMVR_SetMarkStyle);
    operands_.byte(style, "style");
    operands_.size(size, "size");
}

void SceneWriter::setFillColor(ColorOperand color) {
    beginCommand(QMVR_SetFillColor);
    colorAligned(color, "colour");
}

void SceneWriter::setGradientFill(Point from, ColorOperand fromColor, Point to,
                                  ColorOperand toColor) {
    beginCommand(QMVR_SetGradientFill);
    absPoint(from, "first point");
    colorAligned(fromColor, "first colour");
    absPoint(to, "second point");
    colorAligned(toColor, "second colour");
}

void SceneWriter::setTextureFill(Point origin, int64_t image) {
    beginCommand(QMVR_SetTextureFill);
    absPoint(origin, "origin");
    operands_.size(image, "image number");
}

void SceneWriter::setStretchedTextureFill(Point corner, Point extent, int64_t image) {
    beginCommand(QMVR_SetStrechedTextureFill);
    absPoint(corner, "corner");
    relPoint(extent, "extent");
    bits_.alignToByte();
    operands_.size(image, "image number");
}

void SceneWriter::setImageStretchMode(int mode) {
    beginCommand(QMVR_SetImageStretchMode);
    if (mode != 0 && mode != 1) {
        commandError(std::to_string(mode) +
                     " is not an image stretch mode (0 nearest, 1 bilinear)");
    }
    operands_.byte(mode, "mode");
}

void SceneWriter::setTextColor(ColorOperand color) {
    beginCommand(QMVR_SetTextColor);
    colorAligned(color, "colour");
}

void SceneWriter::setFont(int font, int style, int64_t size) {
    beginCommand(QMVR_SetFont);
    // The reader ignores a style above 3 without a word; refuse it here.
    if (style < 0 || style > 3)
        commandError(std::to_string(style) + " is not a font style (0 to 3)");
    operands_.byte(font, "font");
    operands_.byte(style, "style");
    operands_.size(size, "size");
}

void SceneWriter::setTextAlignment(int alignment, Point angleDirection) {
    beginCommand(QMVR_SetTextAlignment);
    operands_.byte(alignment, "alignment");
    absPoint(angleDirection, "angle direction");
    bits_.alignToByte();
}

// The colours follow each other without alignment; only the whole palette
// ends on a byte frontier. The reader drops the old palette before reading
// the new one, so the entries cannot be palette indices themselves.
void SceneWriter::setPalette(const std::vector<Color>& colors) {
    beginCommand(QMVR_SetPalette);
    if (walk_.now.colorSize == 0 || walk_.now.colorSize == 1) {
        commandError("a palette is written in a direct colour size (2 to 7), not in colour size " +
                     std::to_string(walk_.now.colorSize));
    }
    if (colors.empty() || colors.size() > 256) {
        commandError("a palette holds 1 to 256 colours, not " + std::to_string(colors.size()));
        operands_.byte(0, "count");
        bits_.alignToByte();
        return;
    }
    operands_.byte(static_cast<int64_t>(colors.size()) - 1, "count");
    walk_.now.palette.clear();
    for (size_t i = 0; i < colors.size(); ++i) {
        operands_.color(colors[i], walk_.now.colorSize, walk_.now.palette, "colour " + std::to_string(i));
    }
    bits_.alignToByte();
    walk_.now.palette.assign(colors.begin(), colors.end());
}

}  // namespace qmv
