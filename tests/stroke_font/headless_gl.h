// A compatibility-profile GL context on an offscreen pbuffer, made current
// for the object's lifetime, so drawing tests need no window system.
#pragma once

#include <EGL/egl.h>

#include <string>

namespace qmv::test {

class HeadlessGl {
public:
    HeadlessGl(int width, int height);
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    // False when no context could be made; error() then says which step failed.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

private:
    void fail(const char* step);

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
    std::string error_;
};

}  // namespace qmv::test
