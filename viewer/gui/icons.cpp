#include "icons.h"

#include <wx/icon.h>
#include <wx/image.h>

namespace {
#include "icons/qmv_aux_icon.xpm"
#include "icons/qmv_main_icon.xpm"
}  // namespace

namespace qmv::viewer {

wxBitmap mainIconBitmap() { return wxBitmap(qmv_main_icon_xpm); }

wxBitmap auxIconBitmap() { return wxBitmap(qmv_aux_icon_xpm); }

wxIconBundle windowIcons() {
    wxIconBundle icons;
    wxIcon main;
    main.CopyFromBitmap(mainIconBitmap());
    icons.AddIcon(main);
    // The small icon is drawn at 32 x 32 like the large one and shown at the
    // size the window system uses for small icons; a bundle holds one icon
    // per size, so it goes in at that size.
    wxImage small = auxIconBitmap().ConvertToImage();
    small.Rescale(16, 16, wxIMAGE_QUALITY_HIGH);
    wxIcon aux;
    aux.CopyFromBitmap(wxBitmap(small));
    icons.AddIcon(aux);
    return icons;
}

}  // namespace qmv::viewer
