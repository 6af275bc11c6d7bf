// The fill attribute as drawn: reading the current fill from the reader,
// binding a fill texture, and giving a vertex its colour or texture
// coordinate.
#include <cmath>

#include "callbacks.h"

namespace qmv::renderer {

namespace {

Color readColour(const ReaderContext* ctx, int kind) {
    return {readerColor(ctx, kind, 0), readerColor(ctx, kind, 1), readerColor(ctx, kind, 2),
            readerColor(ctx, kind, 3)};
}

Point readFillPoint(const ReaderContext* ctx, int selector) {
    return {readerFillPoint(ctx, selector, 0), readerFillPoint(ctx, selector, 1)};
}

// Makes the fill image the current texture. The filters follow the image
// stretch mode; an unknown mode sets neither filters nor wrapping.
void bindFillTexture(GeometryRecorder& recorder, const FillSpec& fill) {
    TextureState state;
    state.image = fill.textureImage;
    if (fill.stretchMode == 0 || fill.stretchMode == 1) {
        state.linear = static_cast<int8_t>(fill.stretchMode);
        state.repeat = 1;
    }
    recorder.bindTexture(state);
}

}  // namespace

FillSpec readFillSpec(const ReaderContext* ctx, const RenderScene& scene) {
    FillSpec fill;
    fill.mode = readerFillMode(ctx);
    switch (fill.mode) {
    case FILL_GRADIENT:
        fill.gradientFrom = readFillPoint(ctx, 2);
        fill.gradientTo = readFillPoint(ctx, 3);
        fill.colourFrom = readColour(ctx, COLOR_GRADIENT1);
        fill.colourTo = readColour(ctx, COLOR_GRADIENT2);
        break;
    case FILL_SOLID:
        fill.fillColour = readColour(ctx, COLOR_FILL);
        break;
    case FILL_TEXTURE:
    case FILL_STRETCHED_TEXTURE: {
        const ImageEntry* image = definedImage(scene, readerTextureImage(ctx));
        fill.textureDefined = image != nullptr;
        fill.textureImage = image != nullptr ? readerTextureImage(ctx) : -1;
        fill.stretchMode = readerImageStretchMode(ctx);
        fill.textureOrigin = readFillPoint(ctx, 0);
        if (fill.mode == FILL_TEXTURE) {
            // One copy of the image per texture-size scene units.
            fill.textureWidth = image != nullptr ? image->textureWidth : 0;
            fill.textureHeight = image != nullptr ? image->textureHeight : 0;
        } else {
            // One copy stretched over the rectangle of the two texture points.
            const Point corner = readFillPoint(ctx, 1);
            fill.textureWidth = std::fabs(corner.x - fill.textureOrigin.x);
            fill.textureHeight = std::fabs(corner.y - fill.textureOrigin.y);
        }
        break;
    }
    default:
        break;
    }
    return fill;
}

void applyFillFirst(GeometryRecorder& recorder, const FillSpec& fill) {
    if (fill.textured() && fill.textureDefined) bindFillTexture(recorder, fill);
}

void issueFillColour(GeometryRecorder& recorder, const FillSpec& fill) {
    if (fill.mode != FILL_SOLID) return;
    recorder.colour(fill.fillColour.r, fill.fillColour.g, fill.fillColour.b, fill.fillColour.a);
}

void applyFillVertex(GeometryRecorder& recorder, const FillSpec& fill, double x, double y) {
    if (fill.mode == FILL_SOLID) return;
    issueFillValue(recorder, fill.at(x, y));
}

void issueFillValue(GeometryRecorder& recorder, const FillValue& value) {
    switch (value.kind) {
    case FillValue::Kind::Colour:
        recorder.colour(value.colour.r, value.colour.g, value.colour.b, value.colour.a);
        break;
    case FillValue::Kind::TexCoord:
        recorder.texCoord(value.s, value.t);
        break;
    case FillValue::Kind::None:
        break;
    }
}

void fillRectangle(GeometryRecorder& recorder, const FillSpec& fill, double x0, double y0,
                   double x1, double y1) {
    const double corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    recorder.begin(DrawKind::Quads);
    issueFillColour(recorder, fill);
    for (const auto& corner : corners) {
        applyFillVertex(recorder, fill, corner[0], corner[1]);
        recorder.vertex(corner[0], corner[1]);
    }
    recorder.end();
}

}  // namespace qmv::renderer
