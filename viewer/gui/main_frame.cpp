#include "main_frame.h"

#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include <vector>

#include "dialogs.h"
#include "icons.h"
#include "qmv/viewer/commands.h"
#include "qmv/viewer/document.h"
#include "qmv/viewer/navigation.h"
#include "qmv/viewer/status.h"
#include "scene_canvas.h"
#include "text.h"

namespace qmv::viewer {

namespace {

constexpr const char* kWrongPixelFormat =
    "SetUpOpenGL: Wrong pixel format. Please verify OpenGL32 instalation.";
constexpr const char* kUnsupportedPixelFormat =
    "SetUpOpenGL: Unsuported pixel format. Please verify OpenGL32 instalation.";

// wxWidgets takes menu ids below 0x7fff; the commands numbered from 40001
// are offset into that range and back.
constexpr int kHighCommandOffset = 20000;
constexpr int kHighCommands = 40000;

// The status bar's fields: StatusField's, in its order, then the Cancel
// button's place.
constexpr int kCancelField = static_cast<int>(StatusField::Message) + 1;
constexpr int kStatusFields = kCancelField + 1;

// A LoadJob's thread asks for onLoadWake through this event.
wxDEFINE_EVENT(kLoadWakeEvent, wxThreadEvent);

int menuIdFor(int command) { return command > kHighCommands ? command - kHighCommandOffset : command; }

int commandFor(int menuId) {
    return menuId > kHighCommands - kHighCommandOffset ? menuId + kHighCommandOffset : menuId;
}

void showErrorText(wxWindow* owner, const char* text) {
    wxMessageBox(text, "QMV", wxOK | wxICON_ERROR, owner);
}

// Arrows and Home also from the keypad (its keys send them with Num Lock
// off); plus and minus only from the keypad.
NavigationKey navigationKeyFor(int code) {
    switch (code) {
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT: return NavigationKey::Left;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT: return NavigationKey::Right;
        case WXK_UP:
        case WXK_NUMPAD_UP: return NavigationKey::Up;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN: return NavigationKey::Down;
        case WXK_HOME:
        case WXK_NUMPAD_HOME: return NavigationKey::Home;
        case WXK_NUMPAD_ADD: return NavigationKey::ZoomIn;
        case WXK_NUMPAD_SUBTRACT: return NavigationKey::ZoomOut;
        default: return NavigationKey::Other;
    }
}

// Dropped files open once the drop has ended, so that a load (and its
// error box) never runs inside the window system's drag and drop.
class FileDropTarget final : public wxFileDropTarget {
public:
    FileDropTarget(wxWindow* window, ViewerState& state) : window_(window), state_(state) {}

    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
        std::vector<std::string> paths;
        for (const wxString& name : names) paths.push_back(fileNameBytes(name));
        ViewerState& state = state_;
        window_->CallAfter([&state, paths] { dropFiles(state, paths); });
        return true;
    }

private:
    wxWindow* window_;
    ViewerState& state_;
};

}  // namespace

MainFrame::MainFrame(ViewerState& state)
    : wxFrame(nullptr, wxID_ANY, kNoDocumentTitle, wxPoint(0, 0), wxSize(400, 400),
              wxDEFAULT_FRAME_STYLE | wxCLIP_CHILDREN, "QmvViewer"),
      state_(state) {
    SetIcons(windowIcons());
    createMenus();
    createCanvas();
    createStatusBar();
    bindInput();
    canvas_->SetDropTarget(new FileDropTarget(this, state_));
    state_.window = this;
    registerRendererCallbacks();
    watchTimer_.Start(kWatchTickMilliseconds);
}

MainFrame::~MainFrame() {
    if (state_.window == this) state_.window = nullptr;
}

void MainFrame::createMenus() {
    auto* bar = new wxMenuBar;
    for (const Menu& menu : menuBar()) {
        auto* items = new wxMenu;
        for (const MenuItem& item : menu.items) {
            if (item.id == 0) {
                items->AppendSeparator();
            } else {
                items->Append(menuIdFor(item.id), item.label);
            }
        }
        bar->Append(items, menu.title);
    }
    SetMenuBar(bar);

    for (const MenuItem& item : navigationPopupItems()) {
        if (item.id == 0) {
            navigationPopup_.AppendSeparator();
        } else if (item.checkable) {
            navigationPopup_.AppendCheckItem(menuIdFor(item.id), item.label);
        } else {
            navigationPopup_.Append(menuIdFor(item.id), item.label);
        }
    }
    navigationPopup_.Check(menuIdFor(state_.navigationMode), true);
}

void MainFrame::createCanvas() {
    // Double-buffered RGBA with 8-bit colours and a stencil buffer, which
    // the renderer fills outlines with; no depth or accumulation buffer.
    // Without a stencil buffer the renderer tessellates every fill.
    wxGLAttributes wanted;
    wanted.PlatformDefaults().RGBA().DoubleBuffer().MinRGBA(8, 8, 8, 0).Stencil(8).EndList();
    if (!wxGLCanvas::IsDisplaySupported(wanted)) {
        wanted.Reset();
        wanted.PlatformDefaults().RGBA().DoubleBuffer().MinRGBA(8, 8, 8, 0).EndList();
    }
    const bool supported = wxGLCanvas::IsDisplaySupported(wanted);
    if (!supported) showErrorText(this, kWrongPixelFormat);
    wxGLAttributes fallback;
    fallback.Defaults().EndList();
    canvas_ = new SceneCanvas(this, state_, supported ? wanted : fallback);
    if (!canvas_->createContext()) showErrorText(this, kUnsupportedPixelFormat);
}

void MainFrame::createStatusBar() {
    wxStatusBar* bar = CreateStatusBar(kStatusFields);
    cancelButton_ = new wxButton(bar, wxID_CANCEL, "Cancel");
    cancelButton_->Hide();
    layoutStatusBar();
    cancelButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { cancelLoad(state_); });
    bar->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        placeCancelButton();
        event.Skip();
    });
}

// The zoom text and the button (while it shows) take what they need; the
// pointer and the message share the rest, most of it the message's while
// a file is read.
void MainFrame::layoutStatusBar() {
    wxStatusBar* bar = GetStatusBar();
    const bool reading = cancelButton_->IsShown();
    const int button = reading ? cancelButton_->GetBestSize().x + 8 : 0;
    const int widths[kStatusFields] = {reading ? -1 : -3, bar->GetTextExtent("zoom 99999 %").x + 12,
                                       reading ? -4 : -2, button};
    bar->SetStatusWidths(kStatusFields, widths);
}

void MainFrame::placeCancelButton() {
    wxRect field;
    // A hidden button's field has no width to take.
    if (cancelButton_->IsShown() && GetStatusBar()->GetFieldRect(kCancelField, field) && field.width > 0 &&
        field.height > 0) {
        cancelButton_->SetSize(field.x, field.y, field.width, field.height);
    }
}

void MainFrame::bindInput() {
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::onClose, this);
    Bind(wxEVT_MENU_OPEN, &MainFrame::onMenuOpen, this);
    Bind(wxEVT_MENU, &MainFrame::onCommand, this);
    canvas_->Bind(wxEVT_KEY_DOWN, &MainFrame::onKeyDown, this);
    canvas_->Bind(wxEVT_CHAR, &MainFrame::onChar, this);
    canvas_->Bind(wxEVT_LEFT_DOWN, &MainFrame::onLeftDown, this);
    // A quick second press arrives as a double-click: it is a press too.
    canvas_->Bind(wxEVT_LEFT_DCLICK, &MainFrame::onLeftDown, this);
    canvas_->Bind(wxEVT_LEFT_UP, &MainFrame::onLeftUp, this);
    canvas_->Bind(wxEVT_MOTION, &MainFrame::onMotion, this);
    canvas_->Bind(wxEVT_RIGHT_DOWN, &MainFrame::onRightDown, this);
    canvas_->Bind(wxEVT_MIDDLE_DOWN, &MainFrame::onMiddleDown, this);
    canvas_->Bind(wxEVT_MIDDLE_DCLICK, &MainFrame::onMiddleDown, this);
    canvas_->Bind(wxEVT_MIDDLE_UP, &MainFrame::onMiddleUp, this);
    canvas_->Bind(wxEVT_MOUSEWHEEL, &MainFrame::onWheel, this);
    canvas_->Bind(wxEVT_LEAVE_WINDOW, &MainFrame::onLeave, this);
    canvas_->Bind(wxEVT_MOUSE_CAPTURE_LOST, &MainFrame::onCaptureLost, this);
    Bind(kLoadWakeEvent, [this](wxThreadEvent&) { onLoadWake(state_); });
    watchTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { onWatchTick(state_); });
}

// ------------------------------------------------------------- events

void MainFrame::onClose(wxCloseEvent&) {
    watchTimer_.Stop();
    // The document's GL objects go while the GL context still exists, and
    // the loads' threads end before the window they wake.
    onWindowDestroyed(state_);
    Destroy();
}

void MainFrame::onMenuOpen(wxMenuEvent& event) {
    if (event.IsPopup() || event.GetMenu() == nullptr) return;
    wxMenuBar* bar = GetMenuBar();
    for (size_t position = 0; position < bar->GetMenuCount(); ++position) {
        if (bar->GetMenu(position) == event.GetMenu()) {
            updateMenuState(state_, static_cast<int>(position));
            return;
        }
    }
}

void MainFrame::onCommand(wxCommandEvent& event) { onMenuCommand(state_, commandFor(event.GetId())); }

void MainFrame::onKeyDown(wxKeyEvent& event) {
    const NavigationKey key = navigationKeyFor(event.GetKeyCode());
    if (key == NavigationKey::Other) {
        event.Skip();  // on to the character event (Escape)
        return;
    }
    viewer::onKeyDown(state_, key);
}

void MainFrame::onChar(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && state_.drag.dragging) {
        cancelDrag(state_);
        return;
    }
    event.Skip();
}

void MainFrame::onLeftDown(wxMouseEvent& event) {
    canvas_->SetFocus();
    onButtonDown(state_, event.ControlDown(), event.GetX(), event.GetY());
}

void MainFrame::onLeftUp(wxMouseEvent& event) {
    // The toolkit may hold the last motion back; the release says where the
    // pointer is, and the band ends there.
    onMouseMove(state_, event.GetX(), event.GetY());
    onButtonUp(state_);
}

void MainFrame::onMotion(wxMouseEvent& event) { onMouseMove(state_, event.GetX(), event.GetY()); }

void MainFrame::onRightDown(wxMouseEvent& event) {
    onRightButtonDown(state_, event.GetX(), event.GetY());
}

void MainFrame::onMiddleDown(wxMouseEvent& event) {
    canvas_->SetFocus();
    onMiddleButtonDown(state_, event.GetX(), event.GetY());
}

void MainFrame::onMiddleUp(wxMouseEvent& event) { onMiddleButtonUp(state_, event.GetX(), event.GetY()); }

void MainFrame::onWheel(wxMouseEvent& event) {
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || event.GetWheelDelta() == 0) return;
    const double notches = static_cast<double>(event.GetWheelRotation()) / event.GetWheelDelta();
    viewer::onWheel(state_, event.GetX(), event.GetY(), notches);
}

void MainFrame::onLeave(wxMouseEvent& event) {
    onPointerMoved(state_, std::nullopt);
    event.Skip();
}

void MainFrame::onCaptureLost(wxMouseCaptureLostEvent&) { viewer::onCaptureLost(state_); }

// --------------------------------------------------------- ViewerHost

void MainFrame::setTitle(const std::string& title) { SetTitle(toWx(title)); }

void MainFrame::invalidate(bool erase) { canvas_->Refresh(erase); }

void MainFrame::activate() {
    Raise();
    canvas_->SetFocus();
}

void MainFrame::makeGlCurrent() { canvas_->makeCurrent(); }

void MainFrame::releaseGl() { canvas_->releaseCurrent(); }

void MainFrame::setCursor(CursorShape shape) {
    wxStockCursor cursor = wxCURSOR_ARROW;
    switch (shape) {
        case CursorShape::Arrow: cursor = wxCURSOR_ARROW; break;
        case CursorShape::Cross: cursor = wxCURSOR_CROSS; break;
        case CursorShape::Hand: cursor = wxCURSOR_HAND; break;
        case CursorShape::Wait: cursor = wxCURSOR_WAIT; break;
    }
    canvas_->SetCursor(wxCursor(cursor));
}

void MainFrame::captureMouse() {
    if (!canvas_->HasCapture()) canvas_->CaptureMouse();
}

void MainFrame::releaseMouse() {
    if (canvas_->HasCapture()) canvas_->ReleaseMouse();
}

void MainFrame::invertRubberBand(const RubberBand& band) { canvas_->invertRubberBand(band); }

void MainFrame::showErrorBox(const std::string& text) {
    // The box has no owner.
    wxMessageBox(toWx(text), "QMV", wxOK | wxICON_ERROR, nullptr);
}

void MainFrame::beep() { wxBell(); }

void MainFrame::closeWindow() { Close(); }

std::optional<std::string> MainFrame::chooseFileToOpen() {
    wxFileDialog dialog(this, "Open File", wxEmptyString, wxEmptyString,
                        "QMV Files (*.qmv)|*.qmv;*.dat|All Files (*.*)|*.*",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    dialog.SetFilterIndex(0);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return fileNameBytes(dialog.GetPath());
}

std::optional<std::string> MainFrame::chooseExportPath(const std::string& suggestedName) {
    wxFileDialog dialog(this, "Export view as PNG", wxEmptyString, toWx(suggestedName),
                        "PNG images (*.png)|*.png|All Files (*.*)|*.*", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return fileNameBytes(dialog.GetPath());
}

void MainFrame::showLayerDialog() {
    LayerDialog dialog(this, state_);
    dialog.ShowModal();
}

void MainFrame::showFileStatusDialog() {
    FileStatusDialog dialog(this, state_);
    dialog.ShowModal();
}

void MainFrame::showAboutDialog() {
    AboutDialog dialog(this);
    dialog.ShowModal();
}

void MainFrame::showNavigationPopup(int x, int y) { canvas_->PopupMenu(&navigationPopup_, x, y); }

void MainFrame::enableMenuItem(int id, bool enabled) { GetMenuBar()->Enable(menuIdFor(id), enabled); }

void MainFrame::checkMenuItem(int id, bool checked) { navigationPopup_.Check(menuIdFor(id), checked); }

void MainFrame::setStatusText(StatusField field, const std::string& text) {
    SetStatusText(toWx(text), static_cast<int>(field));
}

void MainFrame::showCancelButton(bool shown) {
    cancelButton_->Show(shown);
    layoutStatusBar();
    placeCancelButton();
}

void MainFrame::wakeForLoad() { wxQueueEvent(this, new wxThreadEvent(kLoadWakeEvent)); }

}  // namespace qmv::viewer
