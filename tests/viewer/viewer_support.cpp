#include "viewer_support.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "qmv/headless_gl.h"

namespace qmv::viewer::test {

namespace {

// The process's context, created current with the renderer's callbacks.
void ensureContext() {
    static HeadlessGl* gl = [] {
        auto* made = new HeadlessGl(200, 200);
        if (made->ok()) {
            initGlState();
            registerRendererCallbacks();
        }
        return made;
    }();
    ASSERT_TRUE(gl->ok()) << gl->error();
}

}  // namespace

bool anyGlContextCurrent() { return eglGetCurrentContext() != EGL_NO_CONTEXT; }

RecordingWindow::RecordingWindow()
    : display_((ensureContext(), eglGetCurrentDisplay())),
      surface_(eglGetCurrentSurface(EGL_DRAW)),
      context_(eglGetCurrentContext()) {}

void RecordingWindow::makeGlCurrent() {
    eglMakeCurrent(display_, surface_, surface_, context_);
}

void RecordingWindow::releaseGl() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void RecordingWindow::invertRubberBand(const RubberBand& band) {
    ++inversions;
    const auto shown = std::find(bandsShown.begin(), bandsShown.end(), band);
    if (shown != bandsShown.end()) {
        bandsShown.erase(shown);
    } else {
        bandsShown.push_back(band);
    }
}

void ViewerTest::SetUp() {
    state.window = &window;
    state.clientWidth = 100;
    state.clientHeight = 100;
    state.worldWindow = {0, 0, 100, 100};
}

void ViewerTest::TearDown() {
    closeDocument(state);
    waitForLoad(state);  // lets cancelled loads go
    // The next test finds the context current.
    window.makeGlCurrent();
}

SceneFile::SceneFile(const std::vector<uint8_t>& bytes) {
    static int made = 0;
    path_ = "/tmp/qmv-viewer-test-" + std::to_string(getpid()) + "-" + std::to_string(made++) + ".qmv";
    FILE* file = std::fopen(path_.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void openAndWait(ViewerState& state, const std::string& path) {
    loadDocument(state, path);
    waitForLoad(state);
}

std::vector<uint8_t> twoLayerScene(bool broken) {
    SceneHeader header;
    header.upperRight = {100, 50};
    SceneWriter w(header);
    w.layer("left");
    w.setFillColor({1, 0, 0});
    w.fillBox({0, 0}, {50, 50});
    w.layer("right");
    w.setFillColor({0, 0, 1});
    w.fillBox({50, 0}, {50, 50});
    if (broken) w.rawOpcode(200);
    w.finish();
    EXPECT_TRUE(w.ok()) << w.error();
    return w.bytes();
}

void HeadlessSurface::clearToBlack() {
    ++clears;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void HeadlessSurface::beginScene(const ReaderContext* context, RenderScene* scene, const View& view) {
    context_ = context;
    scene_ = scene;
    lastView = view;
    slicesLeft_ = slicesPerFrame;
}

bool HeadlessSurface::continueScene(double) {
    if (--slicesLeft_ > 0) return false;
    ++draws;
    paintScene(context_, scene_, lastView);
    return true;
}

Rgba HeadlessSurface::pixel(int x, int y) const {
    uint8_t rgba[4] = {};
    glFinish();
    glReadPixels(x, 99 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

}  // namespace qmv::viewer::test
