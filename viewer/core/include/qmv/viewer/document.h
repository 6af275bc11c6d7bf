// The document's lifecycle: opening a scene file (with the renderer
// compiling it while the reader reads it), reporting a failed open, closing,
// and painting what is open.
#pragma once

#include <span>
#include <string>

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

// Opens `path` as the document; the caller has closed any open one. A
// failure shows the reader's text in the error box and leaves no document.
void loadDocument(ViewerState& state, const std::string& path);
// The error box with `message`, then closeDocument.
void showLoadError(ViewerState& state, const std::string& message);
// Releases the document's display lists (with the window's GL context
// current, so that they are really deleted) and its reader context; resets
// the title. Safe when nothing is open.
void closeDocument(ViewerState& state);
// Files dropped on the window: the first one replaces the document.
void dropFiles(ViewerState& state, std::span<const std::string> paths);
// The window is going away: the document goes first, while the GL context
// still exists; afterwards requests to the window are dropped.
void onWindowDestroyed(ViewerState& state);

// The client area's new size; the next paint draws the scene again.
void resizeViewport(ViewerState& state, int width, int height);

// Where a paint draws. The desktop canvas keeps the drawn scene as an image
// and shows it on every paint; the scene is drawn again only on request.
class PaintSurface {
public:
    virtual ~PaintSurface() = default;
    // The window shows opaque black.
    virtual void clearToBlack() = 0;
    // Draws the scene into the kept image and waits for the drawing to end.
    virtual void drawScene(const ReaderContext* context, RenderScene* scene, const View& view) = 0;
    // The window shows the kept image.
    virtual void showKeptScene() = 0;
    // Ends the frame: the rubber band, if any, over it, and on the screen.
    virtual void present() = 0;
};

// One paint: black without a document; otherwise the kept scene, drawn
// again first when redrawPending is set (timed into renderStart, renderEnd
// and lastDrawSeconds).
void paintWindow(ViewerState& state, PaintSurface& surface);
// Fits the world window to the client's proportions: stores viewCentre and
// viewSize and returns the view to paint.
View applyProjection(ViewerState& state);

}  // namespace qmv::viewer
