#include "qmv/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

namespace qmv {

namespace {

// An RGB config of 8 bits per colour, no alpha, with a stencil buffer for
// the renderer's fills and the fewest depth bits; the plain RGB config
// when none has a stencil buffer (the renderer then tessellates every
// fill).
EGLConfig chooseConfig(EGLDisplay display) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0) return nullptr;
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    EGLConfig best = nullptr;
    EGLint bestDepth = 0;
    EGLint bestStencil = -1;
    for (EGLConfig config : configs) {
        EGLint red = 0, alpha = 0, depth = 0, stencil = 0;
        eglGetConfigAttrib(display, config, EGL_RED_SIZE, &red);
        eglGetConfigAttrib(display, config, EGL_ALPHA_SIZE, &alpha);
        eglGetConfigAttrib(display, config, EGL_DEPTH_SIZE, &depth);
        eglGetConfigAttrib(display, config, EGL_STENCIL_SIZE, &stencil);
        if (red != 8 || alpha != 0 || (stencil != 0 && stencil != 8)) continue;
        if (stencil == 0 && depth != 0) continue;
        const bool better = stencil > bestStencil || (stencil == bestStencil && depth < bestDepth);
        if (better) best = config, bestDepth = depth, bestStencil = stencil;
    }
    return best;
}

}  // namespace

HeadlessGl::HeadlessGl(int width, int height) : width_(width), height_(height) {
    if (const char* failure = open()) error_ = failure;
}

// Each step keeps what it made in the members, for the destructor.
const char* HeadlessGl::open() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return "eglGetPlatformDisplayEXT is not available";
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) return "no surfaceless EGL display";
    if (!eglInitialize(display, nullptr, nullptr)) return "eglInitialize failed";
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) return "eglBindAPI(EGL_OPENGL_API) failed";
    EGLConfig config = chooseConfig(display);
    if (config == nullptr) return "no 8-bit RGB pbuffer config for desktop GL";

    const EGLint size[] = {EGL_WIDTH, width_, EGL_HEIGHT, height_, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    if (surface == EGL_NO_SURFACE) return "eglCreatePbufferSurface failed (size too large?)";
    surface_ = surface;

    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) return "eglCreateContext failed";
    context_ = context;
    if (!eglMakeCurrent(display, surface, surface, context)) return "eglMakeCurrent failed";
    return bindFramebuffer();
}

// The picture is drawn into a framebuffer object of the pbuffer's size, as
// the viewer draws its frames: the rasteriser settles ties at pixel edges
// by the rows as stored, which run the other way in window-system buffers,
// so drawing both into framebuffer objects gives both the same pixels.
const char* HeadlessGl::bindFramebuffer() {
    image_ = std::make_unique<OffscreenImage>(width_, height_, true);
    if (!image_->ok()) return "the framebuffer object is incomplete";
    glBindFramebuffer(GL_FRAMEBUFFER, image_->framebuffer());
    return nullptr;
}

HeadlessGl::~HeadlessGl() {
    if (display_ == nullptr) return;
    if (context_ != nullptr) image_.reset();
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) eglDestroyContext(display_, context_);
    if (surface_ != nullptr) eglDestroySurface(display_, surface_);
    eglTerminate(display_);
}

RgbaImage HeadlessGl::readPixels() const { return readPixels(width_, height_); }

RgbaImage HeadlessGl::readPixels(int width, int height) const {
    return image_ != nullptr ? image_->read(width, height) : RgbaImage{};
}

}  // namespace qmv
