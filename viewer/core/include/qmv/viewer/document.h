// The document's lifecycle: opening a scene file (with the renderer
// compiling it while the reader reads it), reporting a failed open, closing,
// and painting what is open.
#pragma once

#include <span>
#include <string>

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

// Starts opening `path` as the document; the caller has closed any open
// one. The file is read on a thread of its own (LoadJob) while the window
// goes on: the title shows the path, the canvas the wait cursor and the
// status bar the progress with its Cancel button. onLoadWake ends it: the
// document opens at its initial view, or the reader's text shows in the
// error box and no document is left.
void loadDocument(ViewerState& state, const std::string& path);
// Reads the open document's file again in the same way, while the document
// stays shown. The new one keeps the world window, and the visibility of
// each layer whose index and name it keeps; a failure keeps the old one and
// shows the reader's text in the status bar.
void reloadDocument(ViewerState& state);
// On the GUI thread, after a job woke it: the load's progress, or its end.
// Cancelled jobs that have finished go here too.
void onLoadWake(ViewerState& state);
// Waits for the load in progress, then ends it as onLoadWake does.
void waitForLoad(ViewerState& state);
// Stops the load in progress at once (the Cancel button): an open leaves no
// document and shows no error box; a reload keeps the document.
void cancelLoad(ViewerState& state);
// Cancels the load in progress and lets it wind down on its own thread;
// onLoadWake lets it go once it has finished.
void stopLoadInBackground(ViewerState& state);
// The file watch, about four times a second: once the open document's file
// has changed (rewritten or replaced) and then held still for a tick, it is
// reloaded.
void onWatchTick(ViewerState& state);
// How often the window calls onWatchTick.
inline constexpr int kWatchTickMilliseconds = 250;

// The error box with `message`, then closeDocument.
void showLoadError(ViewerState& state, const std::string& message);
// Stops any load in progress, releases the document's GL objects (with the
// window's GL context current, so that they are really deleted) and its
// reader context; resets the title. Safe when nothing is open.
void closeDocument(ViewerState& state);
// Files dropped on the window: the first one replaces the document.
void dropFiles(ViewerState& state, std::span<const std::string> paths);
// The window is going away: loads are stopped and waited for, and the
// document goes, while the GL context still exists; afterwards requests to
// the window are dropped.
void onWindowDestroyed(ViewerState& state);

// The client area's new size; the next paint draws the scene again.
void resizeViewport(ViewerState& state, int width, int height);

// Where a paint draws. The desktop canvas keeps the last whole frame of the
// scene as an image and shows it on every paint; the scene is drawn again
// only on request, into an image of its own and in slices, so that the
// window answers while a large frame is drawn.
class PaintSurface {
public:
    virtual ~PaintSurface() = default;
    // The window shows opaque black.
    virtual void clearToBlack() = 0;
    // Starts drawing the scene for `view`; a frame not drawn whole is
    // abandoned.
    virtual void beginScene(const ReaderContext* context, RenderScene* scene, const View& view) = 0;
    // Draws on for about `seconds`; true once the frame is whole, which is
    // then the kept image.
    virtual bool continueScene(double seconds) = 0;
    // The window shows the kept image.
    virtual void showKeptScene() = 0;
    // The window shows the file's background with the kept image, drawn for
    // `kept`, moved and scaled to where its part of the scene lies in
    // `wanted`.
    virtual void showKeptSceneMoved(const ReaderContext* context, const View& kept,
                                    const View& wanted) = 0;
    // Ends the frame: the rubber band, if any, over it, and on the screen.
    virtual void present() = 0;
};

// Where the image drawn for `kept` lands in `wanted`, in pixels from the
// left and from the bottom, edges exclusive at x1 and y1.
struct PixelRect {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
};
PixelRect keptImagePlacement(const View& kept, const View& wanted);

// How long one slice of a frame draws before the window takes events again.
inline constexpr double kSliceSeconds = 0.03;

// One paint: black without a document; otherwise the kept scene. With
// redrawPending set, the kept image first shows moved to the new view at
// once, then the new frame begins and draws its first slice; a frame drawn
// whole within it shows at once. A frame in progress goes on through
// continueDrawing.
void paintWindow(ViewerState& state, PaintSurface& surface);
// The next slice of the frame in progress (the window is idle): true while
// more remain. The last one shows the new frame and sets the File Status
// times.
bool continueDrawing(ViewerState& state, PaintSurface& surface);
// Fits the world window to the client's proportions: stores viewCentre and
// viewSize and returns the view to paint.
View applyProjection(ViewerState& state);

}  // namespace qmv::viewer
