// Moving around the scene: every way the world window changes, the drag
// gestures that draw a rubber band, and the keys.
//
// The operations below change the ViewerState only; the input handlers at
// the end also set redrawPending and ask the window for a paint when the
// view changed.
#pragma once

#include "qmv/viewer/viewer_state.h"

namespace qmv::viewer {

enum class Direction { Left, Right, Up, Down };

// The keys navigation knows; the window maps its own key codes onto them.
enum class NavigationKey { Left, Right, Up, Down, Home, ZoomIn, ZoomOut, Other };

// The world window of the open document's header (Lower Left to Upper
// Right); nothing without a document.
void initialView(ViewerState& state);
// 0.6 of the width and height about the same centre.
void zoomIn(ViewerState& state);
// 1.4 of the width and height about the same centre.
void zoomOut(ViewerState& state);
// A tenth of the world window's width or height.
void moveStep(ViewerState& state, Direction direction);
// Scales the world window by `factor` about the scene point under client
// pixel (px, py), which stays under that pixel.
void zoomAbout(ViewerState& state, double px, double py, double factor);
// One notch of the wheel forward scales the world window by this; one back
// by its inverse.
inline constexpr double kWheelNotchScale = 0.8;

// The scene point shown at client pixel (px, py), py counted from the top
// row; stores the fitted centre and size in viewCentre and viewSize.
Point pixelToWorld(ViewerState& state, double px, double py);
// Orders dragRect so that (x0, y0) is the lower-left corner on the screen.
void normaliseDragRect(ViewerState& state);
// Makes the world window the scene rectangle under dragRect; false (and no
// change) when the rectangle has no width or no height.
bool zoomToDragRect(ViewerState& state);
// Shifts the world window so that the scene point under the drag's start
// ends under its end. Always true: a click redraws too.
bool moveByDrag(ViewerState& state);

// Left button pressed at client pixel (x, y): Ctrl+click zooms out, else a
// drag starts.
void onButtonDown(ViewerState& state, bool control, int x, int y);
// The pointer moved to client pixel (x, y), which may lie outside the
// client area (negative left of it and above it) while the mouse is
// captured: the band or the pan follows it, and the status bar.
void onMouseMove(ViewerState& state, int x, int y);
// Left button released: the drag ends and takes effect.
void onButtonUp(ViewerState& state);
// Escape during a drag: the drag ends without effect.
void cancelDrag(ViewerState& state);
// The window system took the mouse capture away during a drag: the band
// goes and the view stays.
void onCaptureLost(ViewerState& state);
void onKeyDown(ViewerState& state, NavigationKey key);

// The wheel turned by `notches` (forward positive; fractions from smooth
// scrolling) with the pointer at client pixel (x, y): kWheelNotchScale to
// the power of the notches, about the point under the pointer. Not during
// a drag.
void onWheel(ViewerState& state, int x, int y, double notches);
// The middle button: while it is held the drawing follows the pointer; on
// release the scene point under the press lies under the release point.
// In either mode, and not during a left-button drag.
void onMiddleButtonDown(ViewerState& state, int x, int y);
void onMiddleButtonUp(ViewerState& state, int x, int y);

// The band the current mode draws between two pixels.
RubberBand bandFor(const ViewerState& state, PixelPoint from, PixelPoint to);

}  // namespace qmv::viewer
