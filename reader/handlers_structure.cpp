// Handlers of the structure commands: extensions, layers, objects, text, the
// image and shape definitions of the global layer and the commands that place
// them.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "bit_reader.h"
#include "decoders.h"
#include "handlers.h"
#include "input_limits.h"
#include "qmv/format.h"
#include "qmv/opcodes.h"
#include "trace.h"

namespace qmv {

namespace {

ReaderContext& ctx() { return *g_reader.ctx; }

// Copies a decoded string out of the scratch buffer (which the next string
// reuses); `present` tells an empty string from none.
struct OwnedText {
    std::string text;
    bool present = false;
    const char* get() const { return present ? text.c_str() : nullptr; }
};

OwnedText readOwnedString() {
    OwnedText owned;
    if (const char* s = getString()) {
        owned.text = s;
        owned.present = true;
    }
    return owned;
}

// Pixel storage handed to the client: malloc'd so that it can grow with the
// data (realloc) and be released with readerFreePixels.
struct PixelBuffer {
    float* data = nullptr;
    size_t size = 0;
    size_t capacity = 0;
    PixelBuffer() = default;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    ~PixelBuffer() { std::free(data); }
    bool reserve(size_t wanted) {
        if (data != nullptr && wanted <= capacity) return true;
        auto* grown = static_cast<float*>(std::realloc(data, (wanted + 1) * sizeof(float)));
        if (grown == nullptr) return false;
        data = grown;
        capacity = wanted;
        return true;
    }
    float* release() {
        float* out = data;
        data = nullptr;
        size = capacity = 0;
        return out;
    }
};

// Reads the rows of an image, storage growing as the data arrives (a short
// file claiming a large image allocates little). Each row is taken from the
// context's allowance of decoded items before it is read; `taken` counts
// them. Returns false when the data ended before the last pixel: the image
// is then not delivered.
bool readImageRows(int width, int height, PixelBuffer& pixels, uint64_t& taken) {
    const size_t rowFloats = static_cast<size_t>(width) * 4;
    const size_t total = rowFloats * static_cast<size_t>(height);
    const uint64_t missedBefore = in().missedReads();
    if (!pixels.reserve(total < (size_t{1} << 16) ? total : (size_t{1} << 16))) return false;
    for (int r = 0; r < height; ++r) {
        if (width > 0 && in().atEnd()) return false;
        if (!takeDecoded(ctx(), static_cast<uint64_t>(width))) {
            readerError("SetImage: Image too large.");
            return false;
        }
        taken += static_cast<uint64_t>(width);
        if (pixels.size + rowFloats > pixels.capacity) {
            size_t grown = pixels.capacity * 2;
            if (grown < pixels.size + rowFloats) grown = pixels.size + rowFloats;
            if (grown > total) grown = total;
            if (!pixels.reserve(grown)) {
                readerError("SetImage: Image too large.");
                return false;
            }
        }
        for (int c = 0; c < width; ++c) {
            Color color;
            getcolorAligned(color);
            float* out = pixels.data + pixels.size;
            out[0] = static_cast<float>(color.r);
            out[1] = static_cast<float>(color.g);
            out[2] = static_cast<float>(color.b);
            out[3] = static_cast<float>(color.a);
            pixels.size += 4;
        }
    }
    if (in().missedReads() != missedBefore) return false;
    // The first row of the file is the top row of the image; row 0 of the
    // array is the bottom one.
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels.data + static_cast<size_t>(top) * rowFloats,
                         pixels.data + static_cast<size_t>(top + 1) * rowFloats,
                         pixels.data + static_cast<size_t>(bottom) * rowFloats);
    }
    return true;
}

// Hands the pixels to the client, which keeps them unless it returns 2.
void deliverImage(int width, int height, PixelBuffer& pixels) {
    if (ctx().callbacksEnabled != 1) return;
    ReaderCallback fn = readerGetCallback(QMVR_setImage);
    if (fn == nullptr) return;
    int result = reinterpret_cast<CallbackType<QMVR_setImage>::Fn>(fn)(
        g_reader.ctx, width, height, pixels.data, static_cast<int>(ctx().gs.imageCount));
    if (result == CALLBACK_FAILED) readerError("Error returned by Callback called for QMVR_setImage");
    if (result != CALLBACK_FREE_PIXELS) pixels.release();
}

void placeShape(int opcode) {
    GraphicState& gs = ctx().gs;
    int number = gs.lastShape;
    Point position;
    double angle = 0.0;
    Point scale;
    if (opcode == QMVR_RepeatShape) {
        position = getpoint(ABSPOINT);
    } else {
        number = getsize();
        position = getpoint(ABSPOINT);
        if (opcode == QMVR_Shape) {
            angle = getAngle(ABSPOINT);
            scale = getpoint(ABSPOINT);
        }
    }
    // Placing saves the state afresh; the placement changes nothing else.
    ctx().walk.placeShape();
    if (opcode == QMVR_RepeatShape && gs.lastShape == -1) {
        readerError("Repeate shape found, but no shape has been ever found");
    } else if (opcode == QMVR_Shape) {
        invokeChecked<QMVR_shape>("Error returned by Callback called for QMVR_shape", number,
                                  position.x, position.y, angle, scale.x, scale.y);
    } else if (opcode == QMVR_StampShape) {
        invokeChecked<QMVR_stampshape>("Error returned by Callback called for QMVR_stampshape",
                                       number, position.x, position.y);
    } else {
        invokeChecked<QMVR_stampshape>(
            "Error returned by Callback called for QMVR_stampshape Repeate shape", number,
            position.x, position.y);
    }
    if (opcode != QMVR_RepeatShape) ctx().gs.lastShape = number;
}

}  // namespace

void MakeExtension() {
    OwnedText first = readOwnedString();
    OwnedText second = readOwnedString();
    invokeChecked<QMVR_extension>("Error returned by Callback called for Extension", first.get(),
                                  second.get());
    traceItem(first.get());
    traceItem(second.get());
}

void MakeLayer() {
    ReaderContext& c = ctx();
    ++c.layerCount;
    if (c.gs.objectOpen == 1) {
        invokeChecked<QMVR_endObject>("Error returned by Callback called for EndObject");
        c.gs.objectOpen = 0;
    }
    int flags = in().take();
    const char* name = getString();
    int visible = testBit(flags, 8) ? 1 : 0;
    int detectable = testBit(flags, 7) ? 1 : 0;
    traceItem(visible ? "Visible" : "Not_Visible");
    traceItem(detectable ? "Detectable" : "Not_Detectable");
    traceItem(name);
    invokeChecked<QMVR_layer>("Error returned by Callback called for Layer", name, visible,
                              detectable);
}

void MakeObject() {
    GraphicState& gs = ctx().gs;
    const char* name = getString();
    if (ctx().callbacksEnabled == 1) {
        if (gs.objectOpen != 1 && name != nullptr) {
            invokeChecked<QMVR_beginObject>("Error returned by Callback called for BeginObject", name);
            gs.objectOpen = 1;
        } else if (gs.objectOpen == 1 && name == nullptr) {
            invokeChecked<QMVR_endObject>("Error returned by Callback called for Object");
            gs.objectOpen = 0;
        }
        // A name while an object is open, or none while none is, changes
        // nothing: objects do not nest and the calls stay balanced.
    }
    traceItem(name);
}

void MakeText() {
    Point position = getpoint(ABSPOINT);
    const char* text = getString();
    invokeChecked<QMVR_text>("Error returned by Callback called for QMVR_text", position.x,
                             position.y, text);
    traceItem(text);
}

void MakeShape() { placeShape(QMVR_Shape); }
void MakeStampShape() { placeShape(QMVR_StampShape); }
void MakeRepeatShape() { placeShape(QMVR_RepeatShape); }

void MakeImage() {
    int number = getsize();
    Point sourceCorner = getpoint(ABSPOINT);
    Point sourceExtent = getpoint(RELPOINT);
    in().align();
    Point corner = getpoint(ABSPOINT);
    Point extent = getpoint(RELPOINT);
    in().align();
    // An image not defined yet draws nothing; its operands are read all the
    // same so that the next opcode is read where it stands.
    if (number >= ctx().gs.imageCount) return;
    invokeChecked<QMVR_image>("Error returned by Callback called for QMVR_image", number,
                              sourceCorner.x, sourceCorner.y, sourceExtent.x, sourceExtent.y,
                              corner.x, corner.y, extent.x, extent.y);
}

void MakeFullImage() {
    int number = getsize();
    Point corner = getpoint(ABSPOINT);
    Point extent = getpoint(RELPOINT);
    in().align();
    if (number >= ctx().gs.imageCount) return;
    invokeChecked<QMVR_fullImage>("Error returned by Callback called for QMVR_image FullImage",
                                  number, corner.x, corner.y, extent.x, extent.y);
}

void MakeSetImage() {
    GraphicState& gs = ctx().gs;
    const int width = in().sixteenBits(false);
    const int height = in().sixteenBits(false);
    const uint64_t pixelCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixelCount > kMaxImagePixels) {
        readerError("SetImage: Image too large.");
        ++gs.imageCount;
        return;
    }
    PixelBuffer pixels;
    uint64_t taken = 0;
    if (readImageRows(width, height, pixels, taken)) deliverImage(width, height, pixels);
    // Pixels the client did not keep are freed here and no longer held.
    if (pixels.data != nullptr) giveBackDecoded(ctx(), taken);
    ++ctx().gs.imageCount;
}

void MakeBeginSetShape() {
    Point reference = getpoint(ABSPOINT);
    ctx().walk.beginShape();
    invokeChecked<QMVR_beginSetShape>("Error returned by Callback called for BeginSetShape",
                                      reference.x, reference.y, ctx().gs.shapeCount);
}

void MakeEndSetShape() {
    invokeCallback<QMVR_endSetShape>();
    ctx().walk.endShape();
    ++ctx().gs.shapeCount;
}

}  // namespace qmv
