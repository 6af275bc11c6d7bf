// What the viewer's logic asks of the window it runs in. The desktop program
// implements it with its main window; the tests implement it with a recorder.
// Every operation is a request that the logic has decided on: the window
// does it and decides nothing.
#pragma once

#include <optional>
#include <string>

namespace qmv::viewer {

// An inverted outline (zoom mode) or line (move mode) between two client
// pixels. Inverting the same band twice restores the pixels under it.
struct RubberBand {
    enum class Kind { Rectangle, Line };
    Kind kind = Kind::Rectangle;
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    friend bool operator==(const RubberBand&, const RubberBand&) = default;
};

// Arrow at rest, Cross during a band's drag, Hand during a pan, Wait while
// a file is opened.
enum class CursorShape { Arrow, Cross, Hand, Wait };

// The status bar's fields, left to right: the pointer's scene coordinates,
// the zoom, and messages (a load's progress, a failed reload, an export).
enum class StatusField { Pointer, Zoom, Message };

class ViewerHost {
public:
    virtual ~ViewerHost() = default;

    // The window's title.
    virtual void setTitle(const std::string& title) = 0;
    // Asks for a paint of the whole client area; `erase` as the window
    // system would clear it first (the canvas never shows the erase).
    virtual void invalidate(bool erase) = 0;
    // Brings the window to the front and gives it the input focus.
    virtual void activate() = 0;

    // The window's GL context: current on its canvas, or no context current.
    // The logic pairs them and never nests them (see GlCurrent).
    virtual void makeGlCurrent() = 0;
    virtual void releaseGl() = 0;

    // The canvas's cursor.
    virtual void setCursor(CursorShape shape) = 0;
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;
    // Inverts the band's pixels on the screen at once.
    virtual void invertRubberBand(const RubberBand& band) = 0;

    // A modal error box captioned "QMV" with the error icon and `text` as it
    // stands; returns when the user has closed it.
    virtual void showErrorBox(const std::string& text) = 0;
    virtual void beep() = 0;
    // Ends the program the way the window's close box does.
    virtual void closeWindow() = 0;

    // The open-file dialog: the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> chooseFileToOpen() = 0;
    // The save dialog for an exported picture, offering `suggestedName`,
    // with the usual question before overwriting: the path, or nothing.
    virtual std::optional<std::string> chooseExportPath(const std::string& suggestedName) = 0;
    // The three modal dialogs; each returns when it has ended.
    virtual void showLayerDialog() = 0;
    virtual void showFileStatusDialog() = 0;
    virtual void showAboutDialog() = 0;
    // The navigation popup at client pixel (x, y); returns when it closes
    // (a chosen item arrives as a command).
    virtual void showNavigationPopup(int x, int y) = 0;

    // Menu items by command id.
    virtual void enableMenuItem(int id, bool enabled) = 0;
    virtual void checkMenuItem(int id, bool checked) = 0;

    // A field of the status bar; "" empties it.
    virtual void setStatusText(StatusField field, const std::string& text) = 0;
    // The status bar's Cancel button, shown while a file is read.
    virtual void showCancelButton(bool shown) = 0;
    // The one request made from another thread (a LoadJob's): asks the GUI
    // thread to call onLoadWake soon. It must not wait for the GUI thread.
    virtual void wakeForLoad() = 0;
};

}  // namespace qmv::viewer
