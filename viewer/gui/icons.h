// The program's two icons, drawn for it and built into it: "QMV_MAIN_ICON"
// (the window's large icon and the dialogs' picture) and "QMV_AUX_ICON" (the
// window's small icon).
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace qmv::viewer {

wxBitmap mainIconBitmap();
wxBitmap auxIconBitmap();
// Both, for the main window.
wxIconBundle windowIcons();

}  // namespace qmv::viewer
