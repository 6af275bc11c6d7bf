// Images: each definition keeps the reader's pixels until the upload makes
// its texture object (the image rescaled to power-of-two sizes inside a
// one-texel border), made once; each use binds it and draws a textured
// quad, whole or in part, with nearest or bilinear filtering.
#include <algorithm>

#include "callbacks.h"
#include "texture_layout.h"

namespace qmv::renderer {

namespace {

// Makes the image the current texture and sets how it is sampled. False,
// after the binding and environment, for a stretch mode other than 0 and 1.
bool setUpTexture(GeometryRecorder& rec, const ReaderContext* ctx, int number) {
    TextureState state;
    state.image = number;
    const int stretch = readerImageStretchMode(ctx);
    const bool known = stretch == 0 || stretch == 1;
    if (known) {
        state.linear = static_cast<int8_t>(stretch);
        // The border texels repeat the edge so that clamped bilinear
        // sampling never reaches the border colour. Mesa drops texture
        // borders, and there GL_CLAMP would blend a transparent fringe into
        // every edge; the edge clamp gives what the border was for on every
        // implementation.
        state.repeat = 0;
    }
    rec.bindTexture(state);
    if (!known) return false;
    rec.texturing(true);
    return true;
}

// The rectangle from (x, y) with extent (width, height), texture coordinates
// s0..s1 along x and t0..t1 along y.
void texturedQuad(GeometryRecorder& rec, double s0, double t0, double s1, double t1, double x,
                  double y, double width, double height) {
    rec.begin(DrawKind::Quads);
    rec.texCoord(s0, t0);
    rec.vertex(x, y);
    rec.texCoord(s1, t0);
    rec.vertex(x + width, y);
    rec.texCoord(s1, t1);
    rec.vertex(x + width, y + height);
    rec.texCoord(s0, t1);
    rec.vertex(x, y + height);
    rec.end();
    rec.texturing(false);
}

}  // namespace

// The scene keeps the pixels (the callback's result 1) until the upload.
int defineImage(ReaderContext* ctx, int width, int height, float* pixels, int number) {
    RenderScene& scene = sceneOf(ctx);
    if (number < 0) return CALLBACK_FREE_PIXELS;
    // Image numbers count definitions, so the table grows one row at a time.
    if (static_cast<size_t>(number) >= scene.images.size()) {
        scene.images.resize(static_cast<size_t>(number) + 1);
    }
    ImageEntry& image = scene.images[static_cast<size_t>(number)];
    image.width = width & 0xFFFF;
    image.height = height & 0xFFFF;
    if (image.width == 0 || image.height == 0 || pixels == nullptr) return CALLBACK_FREE_PIXELS;

    // Textures stay within the limits' side, whatever the GL could hold:
    // a larger image is scaled down like one larger than the GL's limit.
    const int maxSize = std::min<int>(scene.maxTextureSize, kMaxTextureSide + 2);
    image.textureWidth = textureSide(image.width, maxSize);
    image.textureHeight = textureSide(image.height, maxSize);
    if (!scene.limits.storeTexels(ctx, textureTexels(image))) {
        image.textureWidth = image.textureHeight = 0;
        readerFreePixels(pixels);  // the reader leaves a failed callback the pixels
        return CALLBACK_FAILED;
    }
    image.pixels.reset(pixels);
    return 1;
}

int drawFullImage(ReaderContext* ctx, int number, double x, double y, double width,
                  double height) {
    RenderScene& scene = sceneOf(ctx);
    const ImageEntry* image = definedImage(scene, number);
    if (image == nullptr) return 1;
    if (!scene.limits.store(ctx, 5.0)) return CALLBACK_FAILED;
    scene.limits.fill(width * height);
    if (!setUpTexture(scene.recorder, ctx, number)) return CALLBACK_FAILED;
    // The image's bottom row lies along y, its first column along x.
    texturedQuad(scene.recorder, 0.0, 0.0, 1.0, 1.0, x, y, width, height);
    return 1;
}

// Pixel coordinate p maps to p / (size - 1): 0 is the first pixel's edge and
// size - 1 the last one's. A side of one pixel maps p to p itself.
int drawImagePart(ReaderContext* ctx, int number, double sx, double sy, double sw, double sh,
                  double x, double y, double width, double height) {
    RenderScene& scene = sceneOf(ctx);
    const ImageEntry* image = definedImage(scene, number);
    if (image == nullptr) return 1;
    if (!scene.limits.store(ctx, 5.0)) return CALLBACK_FAILED;
    scene.limits.fill(width * height);
    if (!setUpTexture(scene.recorder, ctx, number)) return CALLBACK_FAILED;
    const double spanX = std::max(image->width - 1, 1);
    const double spanY = std::max(image->height - 1, 1);
    texturedQuad(scene.recorder, sx / spanX, sy / spanY, (sx + sw) / spanX, (sy + sh) / spanY, x,
                 y, width, height);
    return 1;
}

}  // namespace qmv::renderer
