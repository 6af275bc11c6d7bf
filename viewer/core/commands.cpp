#include "qmv/viewer/commands.h"

#include <array>

#include "qmv/viewer/document.h"
#include "qmv/viewer/export_view.h"
#include "qmv/viewer/navigation.h"

namespace qmv::viewer {

namespace {

constexpr std::array kFileItems{
    MenuItem{kOpen, "&Open..."},
    MenuItem{kClose, "&Close"},
    MenuItem{kExportView, "&Export view as PNG..."},
    MenuItem{},
    MenuItem{kExit, "E&xit"},
};
constexpr std::array kViewItems{
    MenuItem{kLayerVisibility, "&Layer visibility..."},
    MenuItem{kReload, "&Reload"},
};
constexpr std::array kAboutItems{
    MenuItem{kAboutAuthor, "&Author"},
    MenuItem{kAboutFile, "&File"},
};
constexpr std::array kMenuBar{
    Menu{"&File", kFileItems},
    Menu{"&View", kViewItems},
    Menu{"&About", kAboutItems},
};

constexpr std::array kPopupItems{
    MenuItem{kZoomMode, "&Zoom mode", true},
    MenuItem{kMoveMode, "&Move mode", true},
    MenuItem{},
    MenuItem{kZoomIn, "Zoom &In (+)"},
    MenuItem{kZoomOut, "Zoom &Out (-)"},
    MenuItem{kInitialView, "Initial View (&Home)"},
    MenuItem{},
    MenuItem{kMoveLeft, "Move &Left (left arrow)"},
    MenuItem{kMoveRight, "Move &Right (right arrow)"},
    MenuItem{kMoveUp, "Move &Up (up arrow)"},
    MenuItem{kMoveDown, "Move &Down (down arrow)"},
    MenuItem{},
    MenuItem{kLayerVisibility, "Layer &visibility..."},
};

// The items that need an open document, by menu bar position. Close also
// ends a file being opened.
struct DocumentItem {
    int menuPosition;
    int id;
};
constexpr std::array kDocumentItems{
    DocumentItem{0, kClose},  DocumentItem{0, kExportView}, DocumentItem{1, kLayerVisibility},
    DocumentItem{1, kReload}, DocumentItem{2, kAboutFile},
};

void redraw(ViewerState& state) {
    windowOf(state).invalidate(false);
    state.redrawPending = true;
}

void openFromDialog(ViewerState& state) {
    const std::optional<std::string> path = windowOf(state).chooseFileToOpen();
    if (!path) return;
    closeDocument(state);
    loadDocument(state, *path);
    windowOf(state).invalidate(false);
}

}  // namespace

std::span<const Menu> menuBar() { return kMenuBar; }

std::span<const MenuItem> navigationPopupItems() { return kPopupItems; }

void updateMenuState(ViewerState& state, int menuPosition) {
    const bool open = documentOpen(state);
    for (const DocumentItem& item : kDocumentItems) {
        if (item.menuPosition != menuPosition) continue;
        const bool opening = item.id == kClose && state.load && !state.loadIsReload;
        windowOf(state).enableMenuItem(item.id, open || opening);
    }
}

void onRightButtonDown(ViewerState& state, int x, int y) {
    if (documentOpen(state)) windowOf(state).showNavigationPopup(x, y);
}

void chooseNavigationMode(ViewerState& state, int id) {
    if (id != kZoomMode && id != kMoveMode) return;
    ViewerHost& window = windowOf(state);
    window.checkMenuItem(state.navigationMode, false);
    state.navigationMode = id;
    window.checkMenuItem(id, true);
}

void onMenuCommand(ViewerState& state, int id) {
    ViewerHost& window = windowOf(state);
    switch (id) {
        case kOpen: openFromDialog(state); break;
        case kClose:
            closeDocument(state);
            window.beep();
            break;
        case kExit: window.closeWindow(); break;
        case kLayerVisibility: window.showLayerDialog(); break;
        case kReload: reloadDocument(state); break;
        case kExportView: exportViewFromDialog(state); break;
        case kAboutAuthor: window.showAboutDialog(); break;
        case kAboutFile: window.showFileStatusDialog(); break;
        case kZoomMode:
        case kMoveMode: chooseNavigationMode(state, id); break;
        case kInitialView:
            initialView(state);
            redraw(state);
            break;
        case kZoomIn:
            zoomIn(state);
            redraw(state);
            break;
        case kZoomOut:
            zoomOut(state);
            redraw(state);
            break;
        case kMoveLeft:
            moveStep(state, Direction::Left);
            redraw(state);
            break;
        case kMoveRight:
            moveStep(state, Direction::Right);
            redraw(state);
            break;
        case kMoveUp:
            moveStep(state, Direction::Up);
            redraw(state);
            break;
        case kMoveDown:
            moveStep(state, Direction::Down);
            redraw(state);
            break;
        default: break;
    }
}

std::string joinArguments(std::span<const char* const> arguments) {
    std::string text;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += ' ';
        text += arguments[i];
    }
    return text;
}

std::string pathFromCommandLine(std::string_view text) {
    if (text.empty() || text.front() != '"') return std::string(text);
    // Without its first and its last character, whatever the last one is.
    if (text.size() < 2) return {};
    return std::string(text.substr(1, text.size() - 2));
}

}  // namespace qmv::viewer
