#include "qmv/viewer/navigation.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "qmv/viewer/status.h"

namespace qmv::viewer {

namespace {

// The view changed: the next paint draws the scene again.
void redraw(ViewerState& state) {
    state.redrawPending = true;
    windowOf(state).invalidate(false);
}

// A pointer position pinned into the client rectangle (0..width, 0..height).
PixelPoint clampToClient(const ViewerState& state, int x, int y) {
    const int right = static_cast<int>(state.clientWidth);
    const int bottom = static_cast<int>(state.clientHeight);
    return {std::clamp(x, 0, std::max(right, 0)), std::clamp(y, 0, std::max(bottom, 0))};
}

// The world window of a pan whose pointer is at (x, y): the press's window
// moved as a move-mode drag from the press to (x, y) moves it.
void panTo(ViewerState& state, int x, int y) {
    state.worldWindow = state.pan.startWindow;
    state.dragRect = {static_cast<double>(state.pan.start.x), static_cast<double>(state.pan.start.y),
                      static_cast<double>(x), static_cast<double>(y)};
    moveByDrag(state);
    redraw(state);
}

void eraseBand(ViewerState& state) { windowOf(state).invertRubberBand(state.drag.drawn); }

void drawBand(ViewerState& state) {
    state.drag.drawn = bandFor(state, state.drag.start, state.drag.end);
    windowOf(state).invertRubberBand(state.drag.drawn);
}

}  // namespace

void initialView(ViewerState& state) {
    if (!documentOpen(state)) return;
    state.worldWindow = initialWorldWindow(state.document.context.get());
}

void zoomIn(ViewerState& state) {
    WorldWindow& w = state.worldWindow;
    const double dx = 0.2 * (w.xmax - w.xmin);
    const double dy = 0.2 * (w.ymax - w.ymin);
    w.xmin += dx;
    w.xmax -= dx;
    w.ymin += dy;
    w.ymax -= dy;
}

void zoomOut(ViewerState& state) {
    WorldWindow& w = state.worldWindow;
    const double dx = 0.2 * (w.xmax - w.xmin);
    const double dy = 0.2 * (w.ymax - w.ymin);
    w.xmin -= dx;
    w.xmax += dx;
    w.ymin -= dy;
    w.ymax += dy;
}

void moveStep(ViewerState& state, Direction direction) {
    WorldWindow& w = state.worldWindow;
    const double stepX = 0.1 * (w.xmax - w.xmin);
    const double stepY = 0.1 * (w.ymax - w.ymin);
    double dx = 0.0;
    double dy = 0.0;
    switch (direction) {
        case Direction::Left: dx = -stepX; break;
        case Direction::Right: dx = stepX; break;
        case Direction::Up: dy = stepY; break;
        case Direction::Down: dy = -stepY; break;
    }
    w.xmin += dx;
    w.xmax += dx;
    w.ymin += dy;
    w.ymax += dy;
}

void zoomAbout(ViewerState& state, double px, double py, double factor) {
    const Point p = pixelToWorld(state, px, py);
    WorldWindow& w = state.worldWindow;
    // Every edge keeps its distance to the point in proportion, so the
    // fitted window keeps the point at the same share of its width and
    // height, which is the same pixel.
    w.xmin = p.x + (w.xmin - p.x) * factor;
    w.xmax = p.x + (w.xmax - p.x) * factor;
    w.ymin = p.y + (w.ymin - p.y) * factor;
    w.ymax = p.y + (w.ymax - p.y) * factor;
}

Point pixelToWorld(ViewerState& state, double px, double py) {
    const ShownWindow shown = fitToClient(state.worldWindow, state.clientWidth, state.clientHeight);
    state.viewCentre = {shown.centreX, shown.centreY};
    state.viewSize = {shown.width, shown.height};
    return qmv::pixelToWorld(state.worldWindow, state.clientWidth, state.clientHeight, px, py);
}

void normaliseDragRect(ViewerState& state) {
    DragRect& r = state.dragRect;
    if (r.x1 < r.x0) std::swap(r.x0, r.x1);
    if (r.y0 < r.y1) std::swap(r.y0, r.y1);
}

bool zoomToDragRect(ViewerState& state) {
    const DragRect& r = state.dragRect;
    if (r.x0 == r.x1 || r.y0 == r.y1) return false;
    normaliseDragRect(state);
    const Point lowerLeft = pixelToWorld(state, r.x0, r.y0);
    const Point upperRight = pixelToWorld(state, r.x1, r.y1);
    state.worldWindow = {lowerLeft.x, lowerLeft.y, upperRight.x, upperRight.y};
    return true;
}

bool moveByDrag(ViewerState& state) {
    const DragRect& r = state.dragRect;
    const Point s = pixelToWorld(state, r.x0, r.y0);
    const Point e = pixelToWorld(state, r.x1, r.y1);
    WorldWindow& w = state.worldWindow;
    w.xmin += s.x - e.x;
    w.xmax += s.x - e.x;
    w.ymin += s.y - e.y;
    w.ymax += s.y - e.y;
    return true;
}

RubberBand bandFor(const ViewerState& state, PixelPoint from, PixelPoint to) {
    const auto kind =
        state.navigationMode == kMoveMode ? RubberBand::Kind::Line : RubberBand::Kind::Rectangle;
    return {kind, from.x, from.y, to.x, to.y};
}

void onButtonDown(ViewerState& state, bool control, int x, int y) {
    if (state.pan.panning) return;
    if (control) {
        zoomOut(state);
        redraw(state);
        state.ignoreNextButtonUp = true;
        return;
    }
    // A press cannot normally arrive during a drag; if one does, the old
    // band must not stay behind.
    if (state.drag.dragging) cancelDrag(state);
    state.drag.start = state.drag.end = clampToClient(state, x, y);
    drawBand(state);
    ViewerHost& window = windowOf(state);
    window.captureMouse();
    window.setCursor(CursorShape::Cross);
    state.drag.dragging = true;
}

void onMouseMove(ViewerState& state, int x, int y) {
    onPointerMoved(state, PixelPoint{x, y});
    if (state.pan.panning) {
        panTo(state, x, y);
        return;
    }
    if (!state.drag.dragging) return;
    windowOf(state).setCursor(CursorShape::Cross);
    eraseBand(state);
    state.drag.end = clampToClient(state, x, y);
    drawBand(state);
}

void onWheel(ViewerState& state, int x, int y, double notches) {
    if (!documentOpen(state) || state.drag.dragging || state.pan.panning || notches == 0.0) return;
    zoomAbout(state, x, y, std::pow(kWheelNotchScale, notches));
    redraw(state);
}

void onMiddleButtonDown(ViewerState& state, int x, int y) {
    if (!documentOpen(state) || state.drag.dragging || state.pan.panning) return;
    state.pan = {true, {x, y}, state.worldWindow};
    ViewerHost& window = windowOf(state);
    window.captureMouse();
    window.setCursor(CursorShape::Hand);
}

void onMiddleButtonUp(ViewerState& state, int x, int y) {
    if (!state.pan.panning) return;
    ViewerHost& window = windowOf(state);
    window.releaseMouse();
    window.setCursor(restingCursor(state));
    // The frame, deferred while the button was held, is drawn now.
    state.pan.panning = false;
    panTo(state, x, y);
}

void onButtonUp(ViewerState& state) {
    if (state.ignoreNextButtonUp) {
        state.ignoreNextButtonUp = false;
        return;
    }
    ViewerHost& window = windowOf(state);
    if (state.pan.panning) return;
    window.setCursor(restingCursor(state));
    if (!state.drag.dragging) return;
    eraseBand(state);
    state.drag.dragging = false;
    window.releaseMouse();
    state.dragRect = {static_cast<double>(state.drag.start.x), static_cast<double>(state.drag.start.y),
                      static_cast<double>(state.drag.end.x), static_cast<double>(state.drag.end.y)};
    const bool changed =
        state.navigationMode == kMoveMode ? moveByDrag(state) : zoomToDragRect(state);
    if (changed) redraw(state);
}

void cancelDrag(ViewerState& state) {
    if (!state.drag.dragging) return;
    eraseBand(state);
    ViewerHost& window = windowOf(state);
    window.releaseMouse();
    window.setCursor(restingCursor(state));
    state.drag.dragging = false;
}

void onCaptureLost(ViewerState& state) {
    if (state.pan.panning) {
        // The pan stays where the pointer last took it.
        state.pan.panning = false;
        windowOf(state).setCursor(restingCursor(state));
        redraw(state);
        return;
    }
    if (!state.drag.dragging) return;
    eraseBand(state);
    windowOf(state).setCursor(restingCursor(state));
    state.drag.dragging = false;
}

void onKeyDown(ViewerState& state, NavigationKey key) {
    switch (key) {
        case NavigationKey::Left: moveStep(state, Direction::Left); break;
        case NavigationKey::Right: moveStep(state, Direction::Right); break;
        case NavigationKey::Up: moveStep(state, Direction::Up); break;
        case NavigationKey::Down: moveStep(state, Direction::Down); break;
        case NavigationKey::Home: initialView(state); break;
        case NavigationKey::ZoomIn: zoomIn(state); break;
        case NavigationKey::ZoomOut: zoomOut(state); break;
        case NavigationKey::Other: return;
    }
    redraw(state);
}

}  // namespace qmv::viewer
