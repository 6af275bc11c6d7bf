#include "qmv/viewer/dialogs.h"

#include <cstdio>

namespace qmv::viewer {

namespace {

std::string secondsText(long seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d secs", static_cast<int>(seconds));
    return text;
}

}  // namespace

LayerListModel::LayerListModel(ViewerState& state)
    : state_(state),
      openedFor_(state.documentSerial),
      rowCount_(renderSceneLayerCount(state.document.scene.get())) {}

RenderScene* LayerListModel::scene() const {
    return state_.documentSerial == openedFor_ ? state_.document.scene.get() : nullptr;
}

std::vector<LayerRow> LayerListModel::rows() const {
    std::vector<LayerRow> rows;
    const RenderScene* scene = this->scene();
    if (scene == nullptr) return rows;
    for (int i = 0; i < rowCount_; ++i) {
        const char* name = layerName(scene, i);
        rows.push_back({name != nullptr ? name : "", layerVisible(scene, i) != 0 ? kVisible : kHidden});
    }
    return rows;
}

std::string LayerListModel::onDoubleClick(int focusedRow) {
    RenderScene* scene = this->scene();
    if (scene == nullptr || focusedRow < 0 || focusedRow >= rowCount_) return {};
    const bool nowVisible = layerVisible(scene, focusedRow) == 0;
    setLayerVisible(scene, focusedRow, nowVisible ? 1 : 0);
    state_.redrawPending = true;
    return nowVisible ? kVisible : kHidden;
}

std::vector<LayerRow> LayerListModel::setAll(bool visible) {
    if (RenderScene* scene = this->scene()) {
        for (int i = 0; i < rowCount_; ++i) {
            if ((layerVisible(scene, i) != 0) != visible) onDoubleClick(i);
        }
    }
    return rows();
}

void LayerListModel::apply() { windowOf(state_).invalidate(false); }

void LayerListModel::ended() { windowOf(state_).invalidate(false); }

FileStatusTexts fileStatusTexts(const ViewerState& state) {
    const ReaderContext* context = state.document.context.get();
    const long compile = context != nullptr ? readerParseSeconds(context) : 0;
    return {secondsText(compile), secondsText(static_cast<long>(state.renderEnd - state.renderStart))};
}

AboutTexts aboutTexts() {
    return {"Qmv Viewer for Windows", "V 0.002 beta 2, release 4", "Author",
            "The QMV viewer developers", "QMV project"};
}

}  // namespace qmv::viewer
