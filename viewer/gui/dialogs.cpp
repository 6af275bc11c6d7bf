#include "dialogs.h"

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "icons.h"
#include "text.h"

namespace qmv::viewer {

namespace {

// A dialog-unit rectangle in pixels of `dialog` (whose font is set).
wxPoint at(wxWindow* dialog, int x, int y) { return dialog->ConvertDialogToPixels(wxPoint(x, y)); }
wxSize sized(wxWindow* dialog, int w, int h) { return dialog->ConvertDialogToPixels(wxSize(w, h)); }

// Client size and position in dialog units, the position counted from the
// parent's client area.
void place(wxDialog* dialog, wxWindow* parent, int x, int y, int w, int h) {
    dialog->SetClientSize(sized(dialog, w, h));
    wxPoint origin = at(dialog, x, y);
    if (parent != nullptr) origin += parent->GetScreenPosition() + parent->GetClientAreaOrigin();
    dialog->Move(origin);
}

// The static icon "QMV_MAIN_ICON", centred in its box.
void addIcon(wxWindow* dialog, int x, int y, int w, int h) {
    const wxBitmap icon = mainIconBitmap();
    const wxPoint corner = at(dialog, x, y);
    const wxSize box = sized(dialog, w, h);
    new wxStaticBitmap(dialog, wxID_ANY, icon,
                       corner + wxPoint((box.x - icon.GetWidth()) / 2, (box.y - icon.GetHeight()) / 2),
                       icon.GetSize());
}

// A static text at its place, at least as large as the box the layout gives
// it and never smaller than its text, so that it shows whole in any font.
void addLabel(wxWindow* dialog, const char* text, int x, int y, int w = 0, int h = 0) {
    const wxSize box = sized(dialog, w, h);
    const wxSize extent = dialog->GetTextExtent(text) + wxSize(4, 2);
    new wxStaticText(dialog, wxID_ANY, text, at(dialog, x, y),
                     wxSize(std::max(box.x, extent.x), std::max(box.y, extent.y)), wxST_NO_AUTORESIZE);
}

wxButton* addButton(wxWindow* dialog, int id, const char* label, int x, int y, int w, int h) {
    return new wxButton(dialog, id, label, at(dialog, x, y), sized(dialog, w, h));
}

}  // namespace

// ------------------------------------------------------------ LayerDlg

// The row of Show all and Hide all, in dialog units.
constexpr int kAllRowHeight = 20;

LayerDialog::LayerDialog(wxWindow* parent, ViewerState& state)
    // A caption and no close box: "OK" is the only way out.
    : wxDialog(parent, wxID_ANY, "Select layer visibility", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxFRAME_TOOL_WINDOW, "LayerDlg"),
      model_(state) {
    // The original layout, with a row below it for Show all and Hide all.
    place(this, parent, 300, 50, 201, 201 + kAllRowHeight);
    list_ = new wxListCtrl(this, kLayerList, at(this, 7, 6), sized(this, 185, 162),
                           wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_NO_SORT_HEADER | wxBORDER_SUNKEN,
                           wxDefaultValidator, "LayerList");
    addIcon(this, 89, 172, 21, 20);
    wxButton* ok = addButton(this, kLayerOk, "OK", 122, 179, 70, 14);
    addButton(this, kLayerApply, "&Apply", 8, 178, 63, 14);
    addButton(this, kLayerShowAll, "Show all", 8, 199, 63, 14);
    addButton(this, kLayerHideAll, "Hide all", 76, 199, 63, 14);
    ok->SetDefault();

    list_->DeleteAllItems();
    fillLayerColumns();
    fillLayerList();
    list_->SetFocus();

    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, &LayerDialog::onActivated, this);
    Bind(wxEVT_BUTTON, &LayerDialog::onApply, this, kLayerApply);
    Bind(wxEVT_BUTTON, &LayerDialog::onOk, this, kLayerOk);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { showRows(model_.setAll(true)); }, kLayerShowAll);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { showRows(model_.setAll(false)); }, kLayerHideAll);
    Bind(wxEVT_CHAR_HOOK, &LayerDialog::onCharHook, this);
}

void LayerDialog::fillLayerColumns() {
    list_->InsertColumn(0, "LayerName", wxLIST_FORMAT_LEFT, 180);
    list_->InsertColumn(1, "Visibility", wxLIST_FORMAT_LEFT, 90);
}

void LayerDialog::fillLayerList() {
    const std::vector<LayerRow> rows = model_.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        const long row = list_->InsertItem(static_cast<long>(i), toWx(rows[i].name));
        if (row < 0) break;
        list_->SetItem(row, 1, rows[i].visibility);
    }
}

void LayerDialog::showRows(const std::vector<LayerRow>& rows) {
    for (size_t i = 0; i < rows.size() && static_cast<long>(i) < list_->GetItemCount(); ++i) {
        list_->SetItem(static_cast<long>(i), 1, rows[i].visibility);
    }
}

void LayerDialog::onActivated(wxListEvent&) {
    // The row that holds the focus after the double-click is toggled.
    const long row = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    const std::string text = model_.onDoubleClick(static_cast<int>(row));
    if (!text.empty()) list_->SetItem(row, 1, text);
}

void LayerDialog::onApply(wxCommandEvent&) { model_.apply(); }

void LayerDialog::onOk(wxCommandEvent&) {
    model_.ended();
    EndModal(0);
}

void LayerDialog::onCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE: {
            // Escape is "&Apply": the dialog stays open.
            wxCommandEvent apply(wxEVT_BUTTON, kLayerApply);
            onApply(apply);
            return;
        }
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            // Enter does nothing here (it does not toggle the row either).
            return;
        default: event.Skip();
    }
}

// -------------------------------------------------------- AboutFileDlg

FileStatusDialog::FileStatusDialog(wxWindow* parent, const ViewerState& state)
    : wxDialog(parent, wxID_ANY, "File Status", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX, "AboutFileDlg") {
    place(this, parent, 0, 0, 223, 125);
    const FileStatusTexts texts = fileStatusTexts(state);
    wxButton* ok = addButton(this, kFileStatusOk, "OK", 166, 104, 50, 14);
    addLabel(this, "Compiling time", 21, 32, 46, 8);
    addLabel(this, "Last rendering time", 20, 57, 60, 8);
    const long fieldStyle = wxTE_READONLY | wxTE_CENTRE | wxTE_MULTILINE | wxTE_NO_VSCROLL;
    auto* compile = new wxTextCtrl(this, kCompileTimeField, texts.compileTime, at(this, 90, 29),
                                   sized(this, 107, 14), fieldStyle);
    auto* render = new wxTextCtrl(this, kRenderTimeField, texts.renderTime, at(this, 88, 54),
                                  sized(this, 108, 14), fieldStyle);
    compile->Disable();
    render->Disable();
    ok->SetDefault();
    ok->SetFocus();
    // Any button, Enter and Escape end it.
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(0); });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
            EndModal(0);
        } else {
            event.Skip();
        }
    });
}

// ------------------------------------------------------ AboutAuthorDlg

AboutDialog::AboutDialog(wxWindow* parent)
    // No caption, a sizing border, kept above the other windows.
    : wxDialog(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
               wxRESIZE_BORDER | wxFRAME_TOOL_WINDOW | wxSTAY_ON_TOP, "AboutAuthorDlg") {
    SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_SCRIPT)));
    place(this, parent, 100, 80, 135, 112);
    addIcon(this, 98, 9, 20, 20);
    wxButton* ok = addButton(this, kAboutOk, "OK", 66, 87, 46, 12);
    const AboutTexts texts = aboutTexts();
    addLabel(this, texts.name, 14, 12);
    addLabel(this, texts.version, 24, 23);
    addLabel(this, texts.authorLabel, 8, 33);
    addLabel(this, texts.author, 10, 42);
    addLabel(this, texts.group, 53, 70);
    ok->SetDefault();
    ok->SetFocus();
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(0); });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
            EndModal(0);
        } else {
            event.Skip();
        }
    });
}

}  // namespace qmv::viewer
