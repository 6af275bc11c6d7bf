// The menus: their items, which of them are enabled, and what each command
// does; the navigation popup and the command line.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

// One item of a menu; id 0 is a separator.
struct MenuItem {
    int id = 0;
    const char* label = "";
    bool checkable = false;
};

struct Menu {
    const char* title = "";
    std::span<const MenuItem> items;
};

// The menu bar, in order: File, View, About.
std::span<const Menu> menuBar();
// The navigation popup, shown on the right button.
std::span<const MenuItem> navigationPopupItems();

// A menu of the menu bar is opening: its document-dependent item follows
// whether a document is open. Other positions change nothing.
void updateMenuState(ViewerState& state, int menuPosition);
// The right button at client pixel (x, y): the popup, only with a document.
void onRightButtonDown(ViewerState& state, int x, int y);
// A command from the menu bar or the popup; unknown ids do nothing.
void onMenuCommand(ViewerState& state, int id);
// Checks the item of the chosen mode (kZoomMode or kMoveMode) only.
void chooseNavigationMode(ViewerState& state, int id);

// The program's arguments joined by single spaces: the whole text is one
// path.
std::string joinArguments(std::span<const char* const> arguments);
// The path a command-line text names: a text that starts with a double
// quote loses its first and its last character.
std::string pathFromCommandLine(std::string_view text);

}  // namespace qmv::viewer
