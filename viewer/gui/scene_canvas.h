// The main window's client area: an OpenGL canvas that keeps the drawn scene
// as an image (a framebuffer object), shows it on every paint, and inverts
// the rubber band over it. The scene itself is drawn again only when the
// viewer's state asks for it, into a second framebuffer object and in
// slices while the window is idle; the kept image, moved to the new view,
// shows meanwhile.
#pragma once

#include <wx/glcanvas.h>

#include <chrono>
#include <memory>
#include <vector>

#include "qmv/offscreen_image.h"
#include "qmv/viewer/document.h"
#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

class SceneCanvas final : public wxGLCanvas, public PaintSurface {
public:
    SceneCanvas(wxWindow* parent, ViewerState& state, const wxGLAttributes& attributes);
    ~SceneCanvas() override;

    // Creates the GL context; false (and no context) when that fails.
    bool createContext();
    // Makes the context current here; the first time also sets the fixed
    // drawing state. False when there is no context or no window yet.
    bool makeCurrent();
    // Leaves no context current.
    void releaseCurrent();

    // Inverts the band's pixels: a band inverted twice is gone again.
    void invertRubberBand(const RubberBand& band);

    // One paint, as the window system's paint request runs it.
    void paintFrame();
    // The next slice of a frame in progress, as the idle handler runs it:
    // true while more remain.
    bool drawNextSlice();

    // PaintSurface
    void clearToBlack() override;
    void beginScene(const ReaderContext* context, RenderScene* scene, const View& view) override;
    bool continueScene(double seconds) override;
    void showKeptScene() override;
    void showKeptSceneMoved(const ReaderContext* context, const View& kept, const View& wanted) override;
    void present() override;

    // Whether the kept image lives in a framebuffer object (else every paint
    // draws the scene).
    bool keepsImage() const { return kept_ != nullptr; }
    // When the last moved kept image was on the screen (for the bench).
    std::chrono::steady_clock::time_point movedImageShown() const { return movedShownAt_; }

private:
    void onPaint(wxPaintEvent& event);
    void onSize(wxSizeEvent& event);
    void onIdle(wxIdleEvent& event);
    // Sizes the framebuffer object for the client area; false when the
    // context cannot have one.
    bool prepareFramebuffer(int width, int height);
    bool prepareKeptImage(int width, int height);
    void deleteFramebuffer();
    void drawBands() const;

    ViewerState& state_;
    std::unique_ptr<wxGLContext> context_;
    bool glReady_ = false;
    // Whether makeCurrent succeeded and no release followed.
    bool current_ = false;
    // Whether this frame's drawScene drew straight into the window.
    bool drawnThisFrame_ = false;
    bool framebuffersAvailable_ = false;
    // The kept image, and the frame being drawn (with a stencil buffer for
    // the fills).
    std::unique_ptr<OffscreenImage> kept_;
    std::unique_ptr<OffscreenImage> work_;
    bool previewing_ = false;
    bool movedShownTimed_ = false;
    std::chrono::steady_clock::time_point movedShownAt_;
    // Whether the kept image holds the open document's scene.
    bool keptValid_ = false;
    // Without a framebuffer object: what to draw again on each paint.
    const ReaderContext* lastContext_ = nullptr;
    RenderScene* lastScene_ = nullptr;
    View lastView_;
    // The bands inverted over the scene now; one inverted again leaves.
    std::vector<RubberBand> bands_;
};

}  // namespace qmv::viewer
