// The status bar: where the pointer is in the drawing's own units, how far
// the view is zoomed against the initial view, and a message.
#pragma once

#include <optional>
#include <string>

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

// The scene point under client pixel `pixel`, with as many decimals as one
// pixel of the view needs ("12.5, 40.25"); "" without a document or with
// the pixel outside the client area.
std::string pointerText(ViewerState& state, PixelPoint pixel);
// The shown width of the initial view against the shown width now, in
// percent ("zoom 250 %"); "" without a document.
std::string zoomText(const ViewerState& state);

// The pointer moved over the canvas to client pixel `pixel`, or left it
// (nothing).
void onPointerMoved(ViewerState& state, std::optional<PixelPoint> pixel);
// Shows the pointer and zoom fields for the view now; only fields whose text
// changed go to the window.
void updateViewStatus(ViewerState& state);
void setStatusMessage(ViewerState& state, const std::string& message);

}  // namespace qmv::viewer
