#include "qmv/scene_document.h"

namespace qmv {

SceneDocument::SceneDocument(const char* path) : scene_(renderSceneCreate()) {
    context_.reset(readerOpen(path, scene_.get(), 1, nullptr));
    error_ = readerErrorText(context_.get());
    // A scene read in part is not shown: its lists go at once.
    if (error_ != nullptr) scene_.reset();
}

}  // namespace qmv
