#include "headless_gl.h"

#include <EGL/eglext.h>

#include <cstdio>

namespace qmv::test {

HeadlessGl::HeadlessGl(int width, int height) {
    // Mesa's surfaceless platform renders without any display server.
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        fail("eglGetPlatformDisplayEXT missing");
        return;
    }
    display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY) {
        fail("eglGetPlatformDisplayEXT");
        return;
    }
    if (!eglInitialize(display_, nullptr, nullptr)) {
        display_ = EGL_NO_DISPLAY;  // nothing to terminate
        fail("eglInitialize");
        return;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        fail("eglBindAPI(EGL_OPENGL_API)");
        return;
    }
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
        EGL_BLUE_SIZE,    8,               EGL_ALPHA_SIZE,      8,
        EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(display_, configAttributes, &config, 1, &configCount) ||
        configCount < 1) {
        fail("eglChooseConfig");
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, config, surfaceAttributes);
    if (surface_ == EGL_NO_SURFACE) {
        fail("eglCreatePbufferSurface");
        return;
    }
    // The stroke fonts draw with glBegin/glEnd, which only a compatibility
    // profile offers.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT) {
        fail("eglCreateContext");
        return;
    }
    if (!eglMakeCurrent(display_, surface_, surface_, context_)) {
        fail("eglMakeCurrent");
        return;
    }
}

HeadlessGl::~HeadlessGl() {
    if (display_ == EGL_NO_DISPLAY) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != EGL_NO_CONTEXT) {
        eglDestroyContext(display_, context_);
    }
    if (surface_ != EGL_NO_SURFACE) {
        eglDestroySurface(display_, surface_);
    }
    eglTerminate(display_);
}

void HeadlessGl::fail(const char* step) {
    char text[160];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", step,
                  static_cast<unsigned>(eglGetError()));
    error_ = text;
}

}  // namespace qmv::test
