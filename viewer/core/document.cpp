#include "qmv/viewer/document.h"

#include <GL/gl.h>

#include <chrono>

#include "qmv/viewer/navigation.h"
#include "qmv/viewer/status.h"

namespace qmv::viewer {

void showLoadError(ViewerState& state, const std::string& message) {
    ViewerHost& window = windowOf(state);
    window.activate();
    window.showErrorBox(message);
    closeDocument(state);
}

void closeDocument(ViewerState& state) {
    ViewerHost& window = windowOf(state);
    if (state.load) {
        // An open in progress ends here, with no document and no box.
        if (!state.loadIsReload) state.loading = false;
        stopLoadInBackground(state);
    }
    {
        // GL objects are deleted only in the context that made them.
        GlCurrent gl(state);
        // Whatever is held goes, also a context that names no file.
        state.drawing = false;  // its frame goes with the scene
        state.document.scene.reset();
        state.document.context.reset();
        glDisable(GL_LINE_STIPPLE);
    }
    state.documentPath.clear();
    state.changeSeen.reset();
    state.redrawPending = true;
    window.invalidate(true);
    window.setTitle(kNoDocumentTitle);
    // A failed open's box is still up; its end restores the cursor.
    if (!state.loading) window.setCursor(restingCursor(state));
    setStatusMessage(state, "");
    updateViewStatus(state);
}

void dropFiles(ViewerState& state, std::span<const std::string> paths) {
    if (paths.empty()) return;
    closeDocument(state);
    loadDocument(state, paths.front());
    windowOf(state).invalidate(false);
}

void onWindowDestroyed(ViewerState& state) {
    closeDocument(state);
    {
        // The jobs' scenes were made in the window's context.
        GlCurrent gl(state);
        state.cancelledLoads.clear();  // each waits for its thread
    }
    state.window = nullptr;
}

void resizeViewport(ViewerState& state, int width, int height) {
    state.clientWidth = width;
    state.clientHeight = height;
    state.redrawPending = true;
}

View applyProjection(ViewerState& state) {
    const ShownWindow shown = fitToClient(state.worldWindow, state.clientWidth, state.clientHeight);
    state.viewCentre = {shown.centreX, shown.centreY};
    state.viewSize = {shown.width, shown.height};
    return View{state.worldWindow, static_cast<int>(state.clientWidth),
                static_cast<int>(state.clientHeight)};
}

PixelRect keptImagePlacement(const View& kept, const View& wanted) {
    const ShownWindow from = fitToClient(kept.world, kept.width, kept.height);
    const ShownWindow to = fitToClient(wanted.world, wanted.width, wanted.height);
    auto x = [&](double scene) { return (scene - to.left()) / to.width * wanted.width; };
    auto y = [&](double scene) { return (scene - to.bottom()) / to.height * wanted.height; };
    return {x(from.left()), y(from.bottom()), x(from.right()), y(from.top())};
}

namespace {

// One slice; on the frame's end, the File Status figures and the kept
// image's view.
bool drawSlice(ViewerState& state, PaintSurface& surface) {
    const auto start = std::chrono::steady_clock::now();
    const bool whole = surface.continueScene(kSliceSeconds);
    state.drawingSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!whole) return false;
    state.drawing = false;
    state.lastDrawSeconds = state.drawingSeconds;
    state.renderStart = state.drawingStart;
    state.renderEnd = std::time(nullptr);
    state.keptView = state.drawingView;
    state.keptSerial = state.documentSerial;
    return true;
}

void beginFrame(ViewerState& state, PaintSurface& surface) {
    state.frameBegun = true;
    surface.beginScene(state.document.context.get(), state.document.scene.get(), state.drawingView);
}

}  // namespace

void paintWindow(ViewerState& state, PaintSurface& surface) {
    if (!documentOpen(state) || state.loading) {
        state.drawing = false;
        surface.clearToBlack();
        surface.present();
        return;
    }
    const ReaderContext* context = state.document.context.get();
    // A client area without pixels has nothing to draw into; the draw
    // waits for a real size.
    const bool drawable = state.clientWidth >= 1.0 && state.clientHeight >= 1.0;
    if (state.redrawPending && drawable) {
        const View view = applyProjection(state);
        state.redrawPending = false;
        updateViewStatus(state);
        // The step shows at once: what was drawn last, moved to the new view.
        if (state.keptSerial == state.documentSerial) {
            surface.showKeptSceneMoved(context, state.keptView, view);
            surface.present();
        }
        state.drawing = true;
        state.frameBegun = false;
        state.drawingView = view;
        state.drawingSeconds = 0.0;
        state.drawingStart = std::time(nullptr);
        // During a pan the moved image follows the pointer; the frame waits
        // for the idle slices between its steps.
        if (!state.pan.panning) {
            beginFrame(state, surface);
            drawSlice(state, surface);
        }
    }
    if (state.keptSerial != state.documentSerial) {
        // Nothing of this document is drawn yet (the kept image, and what the
        // surface remembers, may be of a document gone since).
        surface.clearToBlack();
    } else if (state.drawing) {
        surface.showKeptSceneMoved(context, state.keptView, state.drawingView);
    } else {
        surface.showKeptScene();
    }
    surface.present();
}

bool continueDrawing(ViewerState& state, PaintSurface& surface) {
    if (!state.drawing) return false;
    if (!documentOpen(state) || state.loading) {
        state.drawing = false;
        return false;
    }
    if (!state.frameBegun) beginFrame(state, surface);
    if (!drawSlice(state, surface)) return true;
    surface.showKeptScene();
    surface.present();
    return false;
}

}  // namespace qmv::viewer
