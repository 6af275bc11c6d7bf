// The viewer's one process-wide record: the open document, the client size,
// the world window that navigation changes, the drag in progress and the
// flags that tie input to painting. Everything the viewer does reads or
// changes it; the functions of this library take it as their first argument
// so that the tests can drive fresh ones.
#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qmv/renderer.h"
#include "qmv/scene_document.h"
#include "qmv/view.h"
#include "qmv/viewer/file_signature.h"
#include "qmv/viewer/load_job.h"
#include "qmv/viewer/viewer_host.h"

namespace qmv::viewer {

// Command ids of the menus; the two navigation modes are the ids of their
// items.
enum CommandId : int {
    kMoveMode = 11,
    kZoomMode = 12,
    kInitialView = 15,
    kLayerVisibility = 16,
    kOpen = 20,
    kClose = 30,
    kExit = 50,
    kZoomOut = 40001,
    kZoomIn = 40006,
    kMoveLeft = 40007,
    kMoveRight = 40008,
    kMoveUp = 40009,
    kMoveDown = 40010,
    kAboutAuthor = 40012,
    kAboutFile = 40013,
    // The viewer's own, past the original ones.
    kReload = 101,
    kExportView = 102,
};

inline constexpr const char* kNoDocumentTitle = "QMV viewer OpenGL/Win32";

// The open scene: the reader's context, kept for the queries that painting
// and the dialogs make, and the renderer's compiled scene (the context's
// client data). Both are released together, with the GL context current.
struct Document {
    RenderScenePtr scene;
    ReaderContextPtr context;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The finished drag in client pixels: start (x0, y0), end (x1, y1).
struct DragRect {
    double x0 = 0.0;
    double y0 = 0.0;
    double x1 = 0.0;
    double y1 = 0.0;
};

struct DragState {
    bool dragging = false;
    PixelPoint start;
    PixelPoint end;
    // The band on the screen while `dragging`: erasing inverts exactly it.
    RubberBand drawn;
};

// A middle-button drag: where it began, and the world window then.
struct PanState {
    bool panning = false;
    PixelPoint start;
    WorldWindow startWindow;
};

// What the status bar's fields show now.
struct StatusTexts {
    std::string pointer;
    std::string zoom;
    std::string message;
};

struct ViewerState {
    // The main window; nullptr before it exists and after it is gone, when
    // requests to it are dropped.
    ViewerHost* window = nullptr;
    // Set when the next paint must draw the scene again.
    bool redrawPending = false;
    // Set by a Ctrl+click so that its own button release ends no drag.
    bool ignoreNextButtonUp = false;
    Document document;
    // The open document's path, as it was opened (and is reloaded).
    std::string documentPath;
    // Set while a file is being opened (and its error box shows): a paint
    // then shows no scene. A reload leaves the document shown meanwhile.
    bool loading = false;
    // The file being read in the background, and whether it replaces the
    // open document (a reload) or opens one.
    std::unique_ptr<LoadJob> load;
    bool loadIsReload = false;
    // Cancelled jobs still winding down; each goes once it has finished.
    std::vector<std::unique_ptr<LoadJob>> cancelledLoads;
    // The file as the last load found it, and a change seen since, which
    // reloads once it holds still.
    FileSignature loadedSignature;
    std::optional<FileSignature> changeSeen;
    // Counts the documents opened, so that a dialog can tell whether the
    // document it was opened for is still the open one.
    unsigned documentSerial = 0;
    double clientWidth = 0.0;
    double clientHeight = 0.0;
    DragRect dragRect;
    // The world window as last fitted to the client's proportions.
    Point viewCentre;
    Point viewSize;  // x: width, y: height
    // The rectangle of the scene the user asked to see.
    WorldWindow worldWindow;
    // Calendar seconds around the last complete scene draw (the "File
    // Status" dialog).
    std::time_t renderStart = 0;
    std::time_t renderEnd = 0;
    // The same draw measured with the steady clock, in seconds: its slices'
    // time, not the waits between them.
    double lastDrawSeconds = 0.0;
    // A frame being drawn in slices, between the paint that began it and
    // its last slice, for `drawingView`; the window shows the kept image
    // moved to that view meanwhile.
    bool drawing = false;
    // Whether that frame's drawing has begun (a pan defers it to the idle
    // slices, so that the moved image follows the pointer).
    bool frameBegun = false;
    View drawingView;
    double drawingSeconds = 0.0;
    std::time_t drawingStart = 0;
    // The view of the kept image, and the document it shows (its serial; 0
    // for none).
    View keptView;
    unsigned keptSerial = 0;
    int navigationMode = kZoomMode;
    DragState drag;
    PanState pan;
    // The pointer over the canvas, in client pixels; nothing when outside.
    std::optional<PixelPoint> pointer;
    StatusTexts status;
    // How deeply GlCurrent scopes are nested.
    int glCurrentDepth = 0;
};

// The process's one ViewerState.
ViewerState& viewerState();

// The window, or a stand-in that ignores every request when there is none.
ViewerHost& windowOf(ViewerState& state);

// True when a document is open.
bool documentOpen(const ViewerState& state);

// Makes the window's GL context current for the scope's life. Nested scopes
// leave it current until the outermost one ends.
class GlCurrent {
public:
    explicit GlCurrent(ViewerState& state);
    ~GlCurrent() { release(); }
    GlCurrent(const GlCurrent&) = delete;
    GlCurrent& operator=(const GlCurrent&) = delete;
    // Ends the scope early; the destructor then does nothing.
    void release();

private:
    ViewerState& state_;
    bool active_ = true;
};

// The canvas's cursor when no gesture is under way: the wait cursor while
// a file is opened.
CursorShape restingCursor(const ViewerState& state);

}  // namespace qmv::viewer
