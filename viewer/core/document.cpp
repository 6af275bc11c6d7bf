#include "qmv/viewer/document.h"

#include <GL/gl.h>

#include <chrono>

#include "qmv/viewer/navigation.h"

namespace qmv::viewer {

void loadDocument(ViewerState& state, const std::string& path) {
    ViewerHost& window = windowOf(state);
    // Callers close the document first; should one still be held, its lists
    // must not be lost.
    if (state.document.context || state.document.scene) closeDocument(state);
    BusyCursor busy(state);
    // The renderer compiles its display lists while the file is read.
    GlCurrent gl(state);
    state.loading = true;
    window.setTitle(path);
    ++state.documentSerial;
    state.document.scene.reset(renderSceneCreate());
    state.document.context.reset(readerOpen(path.c_str(), state.document.scene.get(), 1, nullptr));
    if (const char* error = readerErrorText(state.document.context.get())) {
        // The text belongs to the context, which the close releases.
        showLoadError(state, error);
        state.loading = false;
        return;
    }
    state.loading = false;
    state.redrawPending = true;
    window.activate();
    gl.release();
    initialView(state);
    window.invalidate(false);
}

void showLoadError(ViewerState& state, const std::string& message) {
    ViewerHost& window = windowOf(state);
    window.activate();
    window.showErrorBox(message);
    closeDocument(state);
}

void closeDocument(ViewerState& state) {
    ViewerHost& window = windowOf(state);
    {
        // Display lists are deleted only in the context that made them.
        GlCurrent gl(state);
        // Whatever is held goes, also a context that names no file.
        state.drawing = false;  // its frame goes with the scene
        state.document.scene.reset();
        state.document.context.reset();
        glDisable(GL_LINE_STIPPLE);
    }
    state.redrawPending = true;
    window.invalidate(true);
    window.setTitle(kNoDocumentTitle);
}

void dropFiles(ViewerState& state, std::span<const std::string> paths) {
    if (paths.empty()) return;
    closeDocument(state);
    loadDocument(state, paths.front());
    windowOf(state).invalidate(false);
}

void onWindowDestroyed(ViewerState& state) {
    closeDocument(state);
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
        // The step shows at once: what was drawn last, moved to the new view.
        if (state.keptSerial == state.documentSerial) {
            surface.showKeptSceneMoved(context, state.keptView, view);
            surface.present();
        }
        state.drawing = true;
        state.drawingView = view;
        state.drawingSeconds = 0.0;
        state.drawingStart = std::time(nullptr);
        surface.beginScene(context, state.document.scene.get(), view);
        drawSlice(state, surface);
    }
    if (state.drawing && state.keptSerial == state.documentSerial) {
        surface.showKeptSceneMoved(context, state.keptView, state.drawingView);
    } else if (state.drawing) {
        surface.clearToBlack();
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
    if (!drawSlice(state, surface)) return true;
    surface.showKeptScene();
    surface.present();
    return false;
}

}  // namespace qmv::viewer
