// The fill attribute on the GL side: reading the current fill from the
// reader, binding a fill texture, and issuing a vertex's colour or texture
// coordinate.
#include <GL/gl.h>

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
void bindFillTexture(const FillSpec& fill) {
    glBindTexture(GL_TEXTURE_2D, fill.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    if (fill.stretchMode != 0 && fill.stretchMode != 1) return;
    const GLint filter = fill.stretchMode == 0 ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
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
        fill.texture = image != nullptr ? image->texture.name() : 0;
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

void applyFillFirst(const FillSpec& fill) {
    if (fill.textured() && fill.textureDefined) bindFillTexture(fill);
}

void issueFillColour(const FillSpec& fill) {
    if (fill.mode != FILL_SOLID) return;
    glColor4d(fill.fillColour.r, fill.fillColour.g, fill.fillColour.b, fill.fillColour.a);
}

void applyFillVertex(const FillSpec& fill, double x, double y) {
    if (fill.mode == FILL_SOLID) return;
    issueFillValue(fill.at(x, y));
}

void issueFillValue(const FillValue& value) {
    switch (value.kind) {
    case FillValue::Kind::Colour:
        glColor4d(value.colour.r, value.colour.g, value.colour.b, value.colour.a);
        break;
    case FillValue::Kind::TexCoord:
        glTexCoord2d(value.s, value.t);
        break;
    case FillValue::Kind::None:
        break;
    }
}

void fillRectangle(const FillSpec& fill, double x0, double y0, double x1, double y1) {
    const double corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    glBegin(GL_QUADS);
    issueFillColour(fill);
    for (const auto& corner : corners) {
        applyFillVertex(fill, corner[0], corner[1]);
        glVertex2d(corner[0], corner[1]);
    }
    glEnd();
}

}  // namespace qmv::renderer
