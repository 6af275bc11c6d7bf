// Images: each definition becomes one texture object (the image rescaled to
// power-of-two sizes inside a one-texel border), made once; each use binds
// it and draws a textured quad, whole or in part, with nearest or bilinear
// filtering.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <vector>

#include "callbacks.h"
#include "texture_layout.h"

namespace qmv::renderer {

namespace {

// Makes the image the current texture and sets how it is sampled. False,
// after the list and environment, for a stretch mode other than 0 and 1.
bool setUpTexture(const ReaderContext* ctx, const ImageEntry& image) {
    glBindTexture(GL_TEXTURE_2D, image.texture.name());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const int stretch = readerImageStretchMode(ctx);
    if (stretch != 0 && stretch != 1) return false;
    const GLint filter = stretch == 0 ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    // The border texels repeat the edge so that clamped bilinear sampling
    // never reaches the border colour. Mesa drops texture borders, and
    // there GL_CLAMP would blend a transparent fringe into every edge; the
    // edge clamp gives what the border was for on every implementation.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glEnable(GL_TEXTURE_2D);
    return true;
}

// The rectangle from (x, y) with extent (width, height), texture coordinates
// s0..s1 along x and t0..t1 along y.
void texturedQuad(double s0, double t0, double s1, double t1, double x, double y, double width,
                  double height) {
    glBegin(GL_QUADS);
    glTexCoord2d(s0, t0);
    glVertex2d(x, y);
    glTexCoord2d(s1, t0);
    glVertex2d(x + width, y);
    glTexCoord2d(s1, t1);
    glVertex2d(x + width, y + height);
    glTexCoord2d(s0, t1);
    glVertex2d(x, y + height);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

}  // namespace

// The pixels stay the reader's: returning 2 has it free them.
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
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    maxSize = std::min<GLint>(maxSize, kMaxTextureSide + 2);
    image.textureWidth = textureSide(image.width, maxSize);
    image.textureHeight = textureSide(image.height, maxSize);
    const int w = image.textureWidth;
    const int h = image.textureHeight;
    if (!scene.limits.storeTexels(ctx, textureTexels(image))) {
        image.textureWidth = image.textureHeight = 0;
        return CALLBACK_FAILED;
    }

    TextureObject texture = TextureObject::generate();
    std::vector<float> texels(static_cast<size_t>(w + 2) * static_cast<size_t>(h + 2) * 4);
    gluScaleImage(GL_RGBA, image.width, image.height, GL_FLOAT, pixels, w, h, GL_FLOAT,
                  texels.data());
    spreadWithBorder(texels, w, h);
    // Definitions come in the global layer, where no list is compiling, so
    // the texture is made at once; the lists that use it bind it. The
    // binding of texture 0 is left as it was.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w + 2, h + 2, 1, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    image.texture = std::move(texture);
    return CALLBACK_FREE_PIXELS;
}

int drawFullImage(ReaderContext* ctx, int number, double x, double y, double width,
                  double height) {
    const ImageEntry* image = definedImage(sceneOf(ctx), number);
    if (image == nullptr) return 1;
    if (!sceneOf(ctx).limits.store(ctx, 5.0)) return CALLBACK_FAILED;
    sceneOf(ctx).limits.fill(width * height);
    if (!setUpTexture(ctx, *image)) return CALLBACK_FAILED;
    // The image's bottom row lies along y, its first column along x.
    texturedQuad(0.0, 0.0, 1.0, 1.0, x, y, width, height);
    return 1;
}

// Pixel coordinate p maps to p / (size - 1): 0 is the first pixel's edge and
// size - 1 the last one's. A side of one pixel maps p to p itself.
int drawImagePart(ReaderContext* ctx, int number, double sx, double sy, double sw, double sh,
                  double x, double y, double width, double height) {
    const ImageEntry* image = definedImage(sceneOf(ctx), number);
    if (image == nullptr) return 1;
    if (!sceneOf(ctx).limits.store(ctx, 5.0)) return CALLBACK_FAILED;
    sceneOf(ctx).limits.fill(width * height);
    if (!setUpTexture(ctx, *image)) return CALLBACK_FAILED;
    const double spanX = std::max(image->width - 1, 1);
    const double spanY = std::max(image->height - 1, 1);
    texturedQuad(sx / spanX, sy / spanY, (sx + sw) / spanX, (sy + sh) / spanY, x, y, width,
                 height);
    return 1;
}

}  // namespace qmv::renderer
