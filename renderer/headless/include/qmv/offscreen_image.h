// A picture drawn off the screen: a framebuffer object with an 8-bit RGB
// colour buffer (no alpha, as in a window: blend factors that read the
// destination alpha see 1) and, when asked, a depth and stencil buffer for
// the renderer's fills. The GL context it was made in must be current for
// its whole life.
#pragma once

#include "qmv/rgba_image.h"

namespace qmv {

class OffscreenImage {
public:
    OffscreenImage(int width, int height, bool withStencil);
    ~OffscreenImage();
    OffscreenImage(const OffscreenImage&) = delete;
    OffscreenImage& operator=(const OffscreenImage&) = delete;

    // False when the framebuffer object is incomplete (or could not be made).
    bool ok() const { return complete_; }
    int width() const { return width_; }
    int height() const { return height_; }
    unsigned framebuffer() const { return framebuffer_; }

    // Waits for the drawing to finish and reads the width x height corner at
    // the lower left (clamped to the image), top row first.
    RgbaImage read(int width, int height) const;

private:
    int width_;
    int height_;
    bool complete_ = false;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned stencil_ = 0;
};

}  // namespace qmv
