// The framebuffer object calls are declared only on request, before the
// first GL header (which the canvas's header brings in).
#define GL_GLEXT_PROTOTYPES 1
#include "scene_canvas.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <wx/dcclient.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "qmv/renderer.h"

namespace qmv::viewer {

namespace {

// Framebuffer objects are core from OpenGL 3.0 and an extension before.
bool framebuffersSupported() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && version[0] >= '3' && version[0] <= '9' && version[1] == '.') return true;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr && std::strstr(extensions, "GL_ARB_framebuffer_object") != nullptr;
}

// The pixels of a band, as axis-aligned rectangles that never overlap, so
// that one inversion touches each pixel once. Coordinates are pixel edges,
// y down.
void bandRectangle(int x0, int y0, int x1, int y1) {
    const int left = std::min(x0, x1);
    const int right = std::max(x0, x1) + 1;
    const int top = std::min(y0, y1);
    const int bottom = std::max(y0, y1) + 1;
    if (right - left <= 2 || bottom - top <= 2) {
        glRecti(left, top, right, bottom);
        return;
    }
    glRecti(left, top, right, top + 1);
    glRecti(left, bottom - 1, right, bottom);
    glRecti(left, top + 1, left + 1, bottom - 1);
    glRecti(right - 1, top + 1, right, bottom - 1);
}

}  // namespace

SceneCanvas::SceneCanvas(wxWindow* parent, ViewerState& state, const wxGLAttributes& attributes)
    : wxGLCanvas(parent, attributes, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE),
      state_(state) {
    // The canvas covers its whole area on every paint: no erase.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &SceneCanvas::onPaint, this);
    Bind(wxEVT_SIZE, &SceneCanvas::onSize, this);
    Bind(wxEVT_IDLE, &SceneCanvas::onIdle, this);
}

SceneCanvas::~SceneCanvas() {
    if (context_ && (kept_ || work_) && makeCurrent()) deleteFramebuffer();
    releaseCurrent();
}

bool SceneCanvas::createContext() {
    wxGLContextAttrs attributes;
    attributes.CompatibilityProfile().EndList();
    // The software rasteriser's context creation has been seen to fail now
    // and then (the library then asks the server for an indirect context,
    // which it refuses); a second try succeeds.
    for (int attempt = 0; attempt < 3 && !context_; ++attempt) {
        auto context = std::make_unique<wxGLContext>(this, nullptr, &attributes);
        if (context->IsOK()) context_ = std::move(context);
    }
    return context_ != nullptr;
}

bool SceneCanvas::makeCurrent() {
    current_ = false;
    if (!context_ || !IsShownOnScreen()) return false;
    if (!SetCurrent(*context_)) return false;
    current_ = true;
    if (!glReady_) {
        glReady_ = true;
        initGlState();
        framebuffersAvailable_ = framebuffersSupported();
    }
    return true;
}

void SceneCanvas::releaseCurrent() {
    current_ = false;
    if (glXGetCurrentContext() == nullptr) return;
    glXMakeCurrent(glXGetCurrentDisplay(), None, nullptr);
}

void SceneCanvas::invertRubberBand(const RubberBand& band) {
    const auto drawn = std::find(bands_.begin(), bands_.end(), band);
    if (drawn != bands_.end()) {
        bands_.erase(drawn);
    } else {
        bands_.push_back(band);
    }
    // On the screen at once, as the pointer moves: a paint request would
    // wait for the toolkit's next frame, which lags behind the pointer.
    if (IsShownOnScreen()) {
        wxClientDC dc(this);
        paintFrame();
    } else {
        Refresh(false);
    }
}

void SceneCanvas::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    paintFrame();
}

void SceneCanvas::paintFrame() {
    movedShownTimed_ = false;
    // A paint that arrives while a document is being read (behind its error
    // box) finds the context current already and leaves it so.
    GlCurrent gl(state_);
    if (!current_) return;
    paintWindow(state_, *this);
}

// A frame in slices goes on while nothing else waits; events that arrive
// are handled between slices, and a newer view begins a new frame.
void SceneCanvas::onIdle(wxIdleEvent& event) {
    if (drawNextSlice()) event.RequestMore();
}

bool SceneCanvas::drawNextSlice() {
    if (!state_.drawing || !IsShownOnScreen()) return false;
    wxClientDC dc(this);
    GlCurrent gl(state_);
    if (!current_) return false;
    return continueDrawing(state_, *this);
}

void SceneCanvas::onSize(wxSizeEvent& event) {
    const wxSize size = GetClientSize();
    resizeViewport(state_, size.x, size.y);
    Refresh(false);
    event.Skip();
}

// The frame is drawn into the work image, of the view's size; the kept
// image keeps its own size until a whole frame replaces it, so that a
// resize shows it scaled meanwhile.
bool SceneCanvas::prepareFramebuffer(int width, int height) {
    if (!framebuffersAvailable_) return false;
    if (work_ && width == work_->width() && height == work_->height()) return true;
    work_.reset();
    work_ = std::make_unique<OffscreenImage>(width, height, true);
    if (!work_->ok()) {
        deleteFramebuffer();
        framebuffersAvailable_ = false;
        return false;
    }
    return true;
}

bool SceneCanvas::prepareKeptImage(int width, int height) {
    if (kept_ && width == kept_->width() && height == kept_->height()) return true;
    kept_.reset();
    keptValid_ = false;
    kept_ = std::make_unique<OffscreenImage>(width, height, false);
    if (!kept_->ok()) {
        kept_.reset();
        return false;
    }
    return true;
}

void SceneCanvas::deleteFramebuffer() {
    kept_.reset();
    work_.reset();
    keptValid_ = false;
}

void SceneCanvas::clearToBlack() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    keptValid_ = false;
}

void SceneCanvas::beginScene(const ReaderContext* context, RenderScene* scene, const View& view) {
    lastContext_ = context;
    lastScene_ = scene;
    lastView_ = view;
    if (!prepareFramebuffer(view.width, view.height)) {
        // No image to draw into: the whole frame, straight into the window.
        paintScene(context, scene, view);
        glFinish();
        drawnThisFrame_ = true;
        keptValid_ = true;
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, work_->framebuffer());
    paintSceneBegin(context, scene, view);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

bool SceneCanvas::continueScene(double seconds) {
    if (!work_) return true;  // drawn whole by beginScene
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    glBindFramebuffer(GL_FRAMEBUFFER, work_->framebuffer());
    bool whole = false;
    // A few draws at a time until the slice's time is used, then waited
    // for once: each wait makes the rasteriser go over the whole picture.
    while (!whole) {
        whole = paintSceneContinue(lastScene_, 64);
        if (Clock::now() >= until) break;
    }
    glFinish();
    if (whole && prepareKeptImage(lastView_.width, lastView_.height)) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, work_->framebuffer());
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, kept_->framebuffer());
        glBlitFramebuffer(0, 0, lastView_.width, lastView_.height, 0, 0, lastView_.width,
                          lastView_.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glFinish();
        keptValid_ = true;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return whole;
}

void SceneCanvas::showKeptSceneMoved(const ReaderContext* context, const View& kept, const View& wanted) {
    glViewport(0, 0, wanted.width, wanted.height);
    clearToBackground(context);
    previewing_ = true;
    if (!kept_ || !keptValid_ || kept.width != kept_->width() || kept.height != kept_->height()) return;
    const PixelRect to = keptImagePlacement(kept, wanted);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, kept_->framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, kept_->width(), kept_->height(), static_cast<GLint>(std::lround(to.x0)),
                      static_cast<GLint>(std::lround(to.y0)), static_cast<GLint>(std::lround(to.x1)),
                      static_cast<GLint>(std::lround(to.y1)), GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void SceneCanvas::showKeptScene() {
    if (!keptValid_ || lastScene_ != state_.document.scene.get()) {
        clearToBlack();
        return;
    }
    // This frame drew the scene: it is in the window's buffer already.
    if (drawnThisFrame_) return;
    if (!kept_) {
        // No kept image: the scene is drawn again.
        paintScene(lastContext_, lastScene_, lastView_);
        return;
    }
    const int width = kept_->width(), height = kept_->height();
    glViewport(0, 0, width, height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, kept_->framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void SceneCanvas::present() {
    drawBands();
    SwapBuffers();
    drawnThisFrame_ = false;
    // The first moved image of a paint is what its step shows at once.
    if (previewing_ && !movedShownTimed_) {
        glFinish();
        movedShownAt_ = std::chrono::steady_clock::now();
        movedShownTimed_ = true;
    }
    previewing_ = false;
}

void SceneCanvas::drawBands() const {
    if (bands_.empty()) return;
    const wxSize size = GetClientSize();
    // Everything the scene's display lists rely on comes back afterwards.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT |
                 GL_TRANSFORM_BIT | GL_LINE_BIT | GL_POLYGON_BIT);
    glViewport(0, 0, size.x, size.y);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, size.x, size.y, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (GLenum capability : {GL_BLEND, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_LINE_STIPPLE, GL_LINE_SMOOTH,
                              GL_POLYGON_STIPPLE, GL_POLYGON_SMOOTH, GL_ALPHA_TEST, GL_SCISSOR_TEST,
                              GL_DITHER}) {
        glDisable(capability);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLineWidth(1.0f);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_INVERT);
    for (const RubberBand& band : bands_) {
        if (band.kind == RubberBand::Kind::Rectangle) {
            bandRectangle(band.x0, band.y0, band.x1, band.y1);
        } else {
            glBegin(GL_LINES);
            glVertex2d(band.x0 + 0.5, band.y0 + 0.5);
            glVertex2d(band.x1 + 0.5, band.y1 + 0.5);
            glEnd();
        }
    }
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace qmv::viewer
