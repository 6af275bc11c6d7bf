#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

namespace {

// Stands in for the window before it exists and after it is gone.
class NoWindow final : public ViewerHost {
public:
    void setTitle(const std::string&) override {}
    void invalidate(bool) override {}
    void activate() override {}
    void makeGlCurrent() override {}
    void releaseGl() override {}
    void setCursor(CursorShape) override {}
    void captureMouse() override {}
    void releaseMouse() override {}
    void invertRubberBand(const RubberBand&) override {}
    void showErrorBox(const std::string&) override {}
    void beep() override {}
    void closeWindow() override {}
    std::optional<std::string> chooseFileToOpen() override { return std::nullopt; }
    std::optional<std::string> chooseExportPath(const std::string&) override { return std::nullopt; }
    void showLayerDialog() override {}
    void showFileStatusDialog() override {}
    void showAboutDialog() override {}
    void showNavigationPopup(int, int) override {}
    void enableMenuItem(int, bool) override {}
    void checkMenuItem(int, bool) override {}
    void setStatusText(StatusField, const std::string&) override {}
    void showCancelButton(bool) override {}
    void wakeForLoad() override {}
};

}  // namespace

ViewerState& viewerState() {
    static ViewerState state;
    return state;
}

ViewerHost& windowOf(ViewerState& state) {
    static NoWindow none;
    return state.window != nullptr ? *state.window : none;
}

bool documentOpen(const ViewerState& state) {
    return readerHasScene(state.document.context.get());
}

CursorShape restingCursor(const ViewerState& state) {
    return state.loading ? CursorShape::Wait : CursorShape::Arrow;
}

GlCurrent::GlCurrent(ViewerState& state) : state_(state) {
    if (state_.glCurrentDepth++ == 0) windowOf(state_).makeGlCurrent();
}

void GlCurrent::release() {
    if (!active_) return;
    active_ = false;
    if (--state_.glCurrentDepth == 0) windowOf(state_).releaseGl();
}

}  // namespace qmv::viewer
