// What the dialogs show and do, apart from their controls.
#pragma once

#include <string>
#include <vector>

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

inline constexpr const char* kVisible = "Visible";
inline constexpr const char* kHidden = "Hidden";

struct LayerRow {
    std::string name;
    std::string visibility;  // kVisible or kHidden
};

// The layer dialog's list: one row per layer of the open document, in file
// order. A double-click toggles the focused row's layer at once; the main
// window shows it at its next paint, which Apply and OK ask for.
class LayerListModel {
public:
    // Remembers the document's layer count for the dialog's life.
    explicit LayerListModel(ViewerState& state);

    int rowCount() const { return rowCount_; }
    std::vector<LayerRow> rows() const;
    // A double-click with `focusedRow` holding the focus (-1: none). Returns
    // the row's new visibility text, or "" when no layer changed.
    std::string onDoubleClick(int focusedRow);
    // "Show all" and "Hide all": every row to that state, as a double-click
    // on each row that is not in it yet would do. Returns the rows.
    std::vector<LayerRow> setAll(bool visible);
    // "&Apply" (and Escape): the main window is painted again.
    void apply();
    // The dialog ends ("OK"): the main window is painted again.
    void ended();

private:
    // The scene the rows stand for, or nullptr when the document changed.
    RenderScene* scene() const;

    ViewerState& state_;
    unsigned openedFor_;
    int rowCount_;
};

// The "File Status" dialog's two fields: the document's compile time and
// the last draw's time, each "%d secs".
struct FileStatusTexts {
    std::string compileTime;
    std::string renderTime;
};
FileStatusTexts fileStatusTexts(const ViewerState& state);

// The about box's lines, top to bottom.
struct AboutTexts {
    const char* name;
    const char* version;
    const char* authorLabel;
    const char* author;
    const char* group;
};
AboutTexts aboutTexts();

}  // namespace qmv::viewer
