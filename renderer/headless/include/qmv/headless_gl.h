// A GL context without a display: Mesa's surfaceless EGL platform, desktop
// GL in the compatibility profile (display lists, immediate mode, evaluators
// and the GLU tessellator all work there), drawing into a framebuffer object
// with colour and stencil.
//
//   HeadlessGl gl(800, 600);
//   if (!gl.ok()) { fputs(gl.error().c_str(), stderr); ... }
//   ... draw ...
//   RgbaImage image = gl.readPixels();
#pragma once

#include <memory>
#include <string>

#include "qmv/offscreen_image.h"
#include "qmv/rgba_image.h"

namespace qmv {

class HeadlessGl {
public:
    // Creates the context and makes it current. The colour buffer has 8 bits
    // of red, green and blue and, like a viewer's window, no alpha: blend
    // factors that read the destination alpha see 1. There are 8 stencil
    // bits for the renderer's fills.
    HeadlessGl(int width, int height);
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    bool ok() const { return error_.empty(); }
    // What went wrong, naming the EGL call; empty when ok.
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Waits for the drawing to finish and reads the whole buffer back.
    RgbaImage readPixels() const;
    // The same for the width x height corner at the lower left, which a
    // viewport of that size at the origin draws into (clamped to the buffer).
    RgbaImage readPixels(int width, int height) const;

private:
    // nullptr when the context is current, else what failed.
    const char* open();
    const char* bindFramebuffer();

    int width_;
    int height_;
    std::string error_;
    void* display_ = nullptr;  // EGLDisplay
    void* surface_ = nullptr;  // EGLSurface
    void* context_ = nullptr;  // EGLContext
    std::unique_ptr<OffscreenImage> image_;  // what is drawn into
};

}  // namespace qmv
