#include "qmv/viewer/status.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "qmv/viewer/navigation.h"

namespace qmv::viewer {

namespace {

void show(ViewerState& state, StatusField field, std::string& shown, const std::string& text) {
    if (shown == text) return;
    shown = text;
    windowOf(state).setStatusText(field, text);
}

bool hasView(const ViewerState& state) {
    return documentOpen(state) && !state.loading && state.clientWidth >= 1.0 && state.clientHeight >= 1.0;
}

}  // namespace

std::string pointerText(ViewerState& state, PixelPoint pixel) {
    if (!hasView(state) || pixel.x < 0 || pixel.y < 0 || pixel.x >= state.clientWidth ||
        pixel.y >= state.clientHeight) {
        return {};
    }
    // The pixel's centre, with enough decimals that neighbouring pixels
    // read differently (pixelToWorld leaves the fitted size in viewSize).
    const Point p = pixelToWorld(state, pixel.x + 0.5, pixel.y + 0.5);
    const double pixelSize = state.viewSize.x / state.clientWidth;
    const int decimals =
        pixelSize > 0.0 ? std::clamp(static_cast<int>(std::ceil(-std::log10(pixelSize))), 0, 12) : 0;
    char text[96];
    std::snprintf(text, sizeof text, "%.*f, %.*f", decimals, p.x, decimals, p.y);
    return text;
}

std::string zoomText(const ViewerState& state) {
    if (!hasView(state)) return {};
    const ShownWindow initial =
        fitToClient(initialWorldWindow(state.document.context.get()), state.clientWidth, state.clientHeight);
    const ShownWindow now = fitToClient(state.worldWindow, state.clientWidth, state.clientHeight);
    if (!(now.width > 0.0) || !std::isfinite(initial.width / now.width)) return {};
    const double percent = 100.0 * initial.width / now.width;
    char text[48];
    // Whole percent from 10 % up; two figures below.
    std::snprintf(text, sizeof text, percent >= 10.0 ? "zoom %.0f %%" : "zoom %.2g %%", percent);
    return text;
}

void onPointerMoved(ViewerState& state, std::optional<PixelPoint> pixel) {
    state.pointer = pixel;
    show(state, StatusField::Pointer, state.status.pointer, pixel ? pointerText(state, *pixel) : "");
}

void updateViewStatus(ViewerState& state) {
    onPointerMoved(state, state.pointer);
    show(state, StatusField::Zoom, state.status.zoom, zoomText(state));
}

void setStatusMessage(ViewerState& state, const std::string& message) {
    show(state, StatusField::Message, state.status.message, message);
}

}  // namespace qmv::viewer
