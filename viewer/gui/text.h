// Between the logic's byte strings (paths and the reader's texts, taken as
// they come) and wxWidgets' strings.
#pragma once

#include <wx/string.h>

#include <string>

namespace qmv::viewer {

// UTF-8 when the bytes are UTF-8, else one character per byte, so that no
// text ever shows as empty.
wxString toWx(const std::string& text);
// A file name as the file system spells it.
std::string fileNameBytes(const wxString& path);

}  // namespace qmv::viewer
