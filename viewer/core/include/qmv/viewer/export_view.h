// File > Export view as PNG...: what the canvas shows, as a picture file.
#pragma once

#include <string>

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

// Draws the open document at the client's size and world window, as
// qmv-render draws that view (a whole frame into a framebuffer object), and
// writes it to `path` through a temporary file renamed into place. False,
// with the reason in *error, when nothing is open or the picture cannot be
// drawn or written; a file already at `path` then stays whole.
bool exportViewPng(ViewerState& state, const std::string& path, std::string* error);

// The name the save dialog offers: the document's file name with ".png" in
// place of its extension.
std::string exportName(const std::string& documentPath);

// The command: the save dialog, then the export. The status bar names the
// file written; a failure shows its reason in the error box.
void exportViewFromDialog(ViewerState& state);

}  // namespace qmv::viewer
