// The main window's client area: an OpenGL canvas that keeps the drawn scene
// as an image (a framebuffer object), shows it on every paint, and inverts
// the rubber band over it. The scene itself is drawn again only when the
// viewer's state asks for it.
#pragma once

#include <wx/glcanvas.h>

#include <memory>
#include <vector>

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

    // PaintSurface
    void clearToBlack() override;
    void drawScene(const ReaderContext* context, RenderScene* scene, const View& view) override;
    void showKeptScene() override;
    void present() override;

    // Whether the kept image lives in a framebuffer object (else every paint
    // draws the scene).
    bool keepsImage() const { return framebuffer_ != 0; }

private:
    void onPaint(wxPaintEvent& event);
    void onSize(wxSizeEvent& event);
    // Sizes the framebuffer object for the client area; false when the
    // context cannot have one.
    bool prepareFramebuffer(int width, int height);
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
    unsigned framebuffer_ = 0;
    unsigned colourBuffer_ = 0;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
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
