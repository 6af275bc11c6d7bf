// The main window: the menus, the canvas, input, the drop target and the
// dialogs, each handed to the viewer's logic. It also carries out what the
// logic asks of a window (ViewerHost).
#pragma once

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/timer.h>

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

class SceneCanvas;

class MainFrame final : public wxFrame, public ViewerHost {
public:
    // Creates the window with its menus and GL context and makes it the
    // state's window. Errors setting up OpenGL are shown, and the window
    // goes on without drawing.
    explicit MainFrame(ViewerState& state);
    ~MainFrame() override;

    SceneCanvas* canvas() const { return canvas_; }

    // ViewerHost
    void setTitle(const std::string& title) override;
    void invalidate(bool erase) override;
    void activate() override;
    void makeGlCurrent() override;
    void releaseGl() override;
    void setCursor(CursorShape shape) override;
    void captureMouse() override;
    void releaseMouse() override;
    void invertRubberBand(const RubberBand& band) override;
    void showErrorBox(const std::string& text) override;
    void beep() override;
    void closeWindow() override;
    std::optional<std::string> chooseFileToOpen() override;
    std::optional<std::string> chooseExportPath(const std::string& suggestedName) override;
    void showLayerDialog() override;
    void showFileStatusDialog() override;
    void showAboutDialog() override;
    void showNavigationPopup(int x, int y) override;
    void enableMenuItem(int id, bool enabled) override;
    void checkMenuItem(int id, bool checked) override;
    void setStatusText(StatusField field, const std::string& text) override;
    void showCancelButton(bool shown) override;
    void wakeForLoad() override;

private:
    void createMenus();
    void createCanvas();
    void createStatusBar();
    void layoutStatusBar();
    void placeCancelButton();
    void bindInput();

    void onClose(wxCloseEvent& event);
    void onMenuOpen(wxMenuEvent& event);
    void onCommand(wxCommandEvent& event);
    void onKeyDown(wxKeyEvent& event);
    void onChar(wxKeyEvent& event);
    void onLeftDown(wxMouseEvent& event);
    void onLeftUp(wxMouseEvent& event);
    void onMotion(wxMouseEvent& event);
    void onRightDown(wxMouseEvent& event);
    void onMiddleDown(wxMouseEvent& event);
    void onMiddleUp(wxMouseEvent& event);
    void onWheel(wxMouseEvent& event);
    void onLeave(wxMouseEvent& event);
    void onCaptureLost(wxMouseCaptureLostEvent& event);

    ViewerState& state_;
    SceneCanvas* canvas_ = nullptr;
    // In the status bar's last field while a file is read.
    wxButton* cancelButton_ = nullptr;
    // Looks at the open document's file a few times a second.
    wxTimer watchTimer_;
    // The navigation popup, kept for the window's life: it holds the mode's
    // check mark.
    wxMenu navigationPopup_;
};

}  // namespace qmv::viewer
