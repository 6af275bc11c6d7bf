// The three modal dialogs, laid out in dialog units: "LayerDlg" (layer
// visibility), "AboutFileDlg" (compile and render times) and
// "AboutAuthorDlg" (the about box). What they show and do comes from the
// viewer's logic (qmv/viewer/dialogs.h).
#pragma once

#include <wx/dialog.h>
#include <wx/listctrl.h>

#include "qmv/viewer/dialogs.h"

namespace qmv::viewer {

// Control ids of the dialogs.
enum DialogControlId : int {
    kLayerList = 17,
    kLayerApply = 2,
    kLayerOk = 1014,
    kLayerShowAll = 1101,
    kLayerHideAll = 1102,
    kFileStatusOk = 1018,
    kCompileTimeField = 1016,
    kRenderTimeField = 1020,
    kAboutOk = 1013,
};

class LayerDialog final : public wxDialog {
public:
    LayerDialog(wxWindow* parent, ViewerState& state);

private:
    void fillLayerColumns();
    void fillLayerList();
    // The rows' visibility texts as `rows` give them.
    void showRows(const std::vector<LayerRow>& rows);
    void onActivated(wxListEvent& event);
    void onApply(wxCommandEvent& event);
    void onOk(wxCommandEvent& event);
    void onCharHook(wxKeyEvent& event);

    LayerListModel model_;
    wxListCtrl* list_ = nullptr;
};

class FileStatusDialog final : public wxDialog {
public:
    FileStatusDialog(wxWindow* parent, const ViewerState& state);
};

class AboutDialog final : public wxDialog {
public:
    explicit AboutDialog(wxWindow* parent);
};

}  // namespace qmv::viewer
