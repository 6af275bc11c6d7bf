#include "qmv/offscreen_image.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qmv {

OffscreenImage::OffscreenImage(int width, int height, bool withStencil) : width_(width), height_(height) {
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    if (withStencil) {
        glGenRenderbuffers(1, &stencil_);
        glBindRenderbuffer(GL_RENDERBUFFER, stencil_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, stencil_);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    complete_ = framebuffer_ != 0 && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
}

OffscreenImage::~OffscreenImage() {
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    if (framebuffer_ != 0 && static_cast<GLuint>(bound) == framebuffer_) glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
    if (colour_ != 0) glDeleteRenderbuffers(1, &colour_);
    if (stencil_ != 0) glDeleteRenderbuffers(1, &stencil_);
}

RgbaImage OffscreenImage::read(int width, int height) const {
    width = std::clamp(width, 0, width_);
    height = std::clamp(height, 0, height_);
    RgbaImage image;
    image.width = width;
    image.height = height;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    // GL counts rows from the bottom; pictures from the top.
    image.pixels.resize(bottomUp.size());
    for (int row = 0; row < height; ++row) {
        std::memcpy(&image.pixels[static_cast<size_t>(row) * rowBytes],
                    &bottomUp[static_cast<size_t>(height - 1 - row) * rowBytes], rowBytes);
    }
    return image;
}

}  // namespace qmv
