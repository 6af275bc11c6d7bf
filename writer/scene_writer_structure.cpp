// The header, layers, objects, extensions, texts and the shape and image
// definitions with the commands that place them.
#include <charconv>

#include "qmv/format.h"
#include "qmv/writer/scene_writer.h"

namespace qmv {

namespace {

constexpr int kHeaderColorSize = 6;  // the header's colour is always three bytes

}  // namespace

void SceneWriter::header(const SceneHeader& header) {
    operands_.setCommand("header");
    if (!bits_.bytes().empty()) commandError("the header must be the first bytes of the file");
    for (uint8_t b : kSceneMagic) operands_.byte(b, "magic");
    operands_.byte(header.reserved, "reserved");
    operands_.byte(header.version, "version");
    operands_.byte(header.release, "release");
    operands_.byte(header.absPointSize, "absolute point size");
    operands_.byte(header.relPointSize, "relative point size");
    walk_.now.absPointSize = header.absPointSize;
    walk_.now.relPointSize = header.relPointSize;
    absPoint(header.resolution, "resolution");
    absPoint(header.lowerLeft, "lower left");
    absPoint(header.upperRight, "upper right");
    absPoint(header.mm, "mm");
    operands_.color(header.background, kHeaderColorSize, {}, "background");
    bits_.alignToByte();
}

void SceneWriter::layer(std::string_view name, bool visible, bool detectable) {
    beginCommand(QMVR_Layer);
    // The first layer ends the global layer: its state is where every layer
    // starts. An object left open is closed by the layer itself.
    walk_.beginLayer();
    walk_.now.objectOpen = false;
    const int flags = (visible ? 0x80 : 0) | (detectable ? 0x40 : 0);
    operands_.byte(flags, "flags");
    operands_.string(name, "name");
}

void SceneWriter::beginObject(std::string_view name) {
    beginCommand(QMVR_Object);
    if (name.empty()) {
        commandError("an object needs a name; the unnamed form closes one");
    } else if (walk_.now.objectOpen) {
        commandError("an object is already open, and objects do not nest");
    }
    operands_.string(name, "name");
    walk_.now.objectOpen = true;
}

void SceneWriter::endObject() {
    beginCommand(QMVR_Object);
    if (!walk_.now.objectOpen) commandError("no object is open");
    operands_.string({}, "name");
    walk_.now.objectOpen = false;
}

void SceneWriter::extension(std::string_view first, std::string_view second) {
    beginCommand(QMVR_Extension);
    operands_.string(first, "first text");
    operands_.string(second, "second text");
}

void SceneWriter::text(Point position, std::string_view text) {
    beginCommand(QMVR_Text);
    absPoint(position, "position");
    operands_.string(text, "text");
}

int SceneWriter::beginShape(Point reference) {
    beginCommand(QMVR_BeginSetShape);
    if (walk_.region() == SceneRegion::ShapeBody) {
        commandError("shape definitions do not nest");
    } else if (walk_.region() == SceneRegion::Layer) {
        commandError("shapes are defined only in the global layer");
    }
    absPoint(reference, "reference point");
    walk_.beginShape();
    return walk_.now.shapeCount;
}

void SceneWriter::endShape() {
    beginCommand(QMVR_EndSetShape);
    if (walk_.region() != SceneRegion::ShapeBody) {
        commandError("no shape definition is open");
        return;
    }
    // Back to the saved state: the one before the definition, or before the
    // last shape placed inside it, since placing a shape saves afresh.
    walk_.endShape();
    ++walk_.now.shapeCount;
}

// The reader saves its state before reporting a placed shape and restores it
// right after, so the placement itself changes nothing but the saved copy and
// the shape that a repeat places.
void SceneWriter::placeShape(int64_t number) {
    walk_.placeShape();
    if (number >= 0 && number <= kMaxSize) walk_.now.lastShape = static_cast<int>(number);
}

void SceneWriter::shape(int64_t number, Point position, Point angleDirection, Point scale) {
    beginCommand(QMVR_Shape);
    operands_.size(number, "shape number");
    absPoint(position, "position");
    absPoint(angleDirection, "angle direction");
    absPoint(scale, "scale");
    placeShape(number);
}

void SceneWriter::stampShape(int64_t number, Point position) {
    beginCommand(QMVR_StampShape);
    operands_.size(number, "shape number");
    absPoint(position, "position");
    placeShape(number);
}

void SceneWriter::repeatShape(Point position) {
    beginCommand(QMVR_RepeatShape);
    absPoint(position, "position");
    if (walk_.now.lastShape < 0) {
        commandError(
            "no shape has been placed to repeat (each layer starts with the last "
            "shape of the global layer)");
    }
    walk_.placeShape();
}

bool SceneWriter::beginImage(int width, int height, size_t pixelCount) {
    beginCommand(QMVR_SetImage);
    operands_.u16(width, "width");
    operands_.u16(height, "height");
    const int64_t expected = static_cast<int64_t>(width) * height;
    if (expected >= 0 && static_cast<int64_t>(pixelCount) == expected) return true;
    commandError(std::to_string(pixelCount) + " pixels given for " + std::to_string(width) + " x " +
                 std::to_string(height));
    return false;
}

// Each pixel is one colour followed by alignment, so even one-bit palette
// indices take a byte each.
int SceneWriter::setImage(int width, int height, const std::vector<Color>& pixelsTopRowFirst) {
    if (beginImage(width, height, pixelsTopRowFirst.size())) {
        char operand[32] = "pixel ";
        for (size_t i = 0; i < pixelsTopRowFirst.size(); ++i) {
            char* end = std::to_chars(operand + 6, operand + sizeof operand, i).ptr;
            operands_.color(pixelsTopRowFirst[i], walk_.now.colorSize, walk_.now.palette,
                            std::string_view(operand, static_cast<size_t>(end - operand)));
            bits_.alignToByte();
        }
    }
    return walk_.now.imageCount++;
}

int SceneWriter::setImage(int width, int height,
                          const std::vector<PaletteIndex>& pixelsTopRowFirst) {
    if (beginImage(width, height, pixelsTopRowFirst.size())) {
        for (const PaletteIndex& pixel : pixelsTopRowFirst) {
            operands_.paletteIndex(pixel.value, walk_.now.colorSize, walk_.now.palette.size(), "pixel");
            bits_.alignToByte();
        }
    }
    return walk_.now.imageCount++;
}

bool SceneWriter::imageDefined(int64_t number) {
    if (number >= 0 && number < walk_.now.imageCount) return true;
    commandError("image " + std::to_string(number) + " is not defined (" +
                 std::to_string(walk_.now.imageCount) +
                 " so far); the reader would skip the rest of the command");
    return false;
}

void SceneWriter::image(int64_t number, Point sourceCorner, Point sourceExtent, Point corner,
                        Point extent) {
    beginCommand(QMVR_Image);
    operands_.size(number, "image number");
    imageDefined(number);
    absPoint(sourceCorner, "source corner");
    relPoint(sourceExtent, "source extent");
    bits_.alignToByte();
    absPoint(corner, "corner");
    relPoint(extent, "extent");
    bits_.alignToByte();
}

void SceneWriter::fullImage(int64_t number, Point corner, Point extent) {
    beginCommand(QMVR_FullImage);
    operands_.size(number, "image number");
    imageDefined(number);
    absPoint(corner, "corner");
    relPoint(extent, "extent");
    bits_.alignToByte();
}

}  // namespace qmv
