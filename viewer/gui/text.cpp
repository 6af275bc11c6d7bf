#include "text.h"

namespace qmv::viewer {

wxString toWx(const std::string& text) {
    wxString converted = wxString::FromUTF8(text.data(), text.size());
    if (converted.empty() && !text.empty()) converted = wxString::From8BitData(text.data(), text.size());
    return converted;
}

std::string fileNameBytes(const wxString& path) {
    const wxCharBuffer bytes = path.fn_str();
    return bytes.data() != nullptr ? std::string(bytes.data()) : std::string();
}

}  // namespace qmv::viewer
