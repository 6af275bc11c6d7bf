// A scene file read with the renderer as the reader's client: the reader's
// context, kept for the queries painting needs, and the compiled scene.
//
// Construct and destroy it with the same GL context current, after
// registerRendererCallbacks(). A failed parse leaves error() set and no
// display list behind.
#pragma once

#include <memory>

#include "qmv/reader.h"
#include "qmv/renderer.h"

namespace qmv {

struct ReaderContextDeleter {
    void operator()(ReaderContext* ctx) const { readerRelease(&ctx); }
};
using ReaderContextPtr = std::unique_ptr<ReaderContext, ReaderContextDeleter>;

class SceneDocument {
public:
    explicit SceneDocument(const char* path);
    SceneDocument(const SceneDocument&) = delete;
    SceneDocument& operator=(const SceneDocument&) = delete;

    // The reader's error text, or nullptr when the file was read whole.
    const char* error() const { return error_; }
    const ReaderContext* context() const { return context_.get(); }
    RenderScene* scene() const { return scene_.get(); }

    View initialView(int width, int height) const {
        return View{initialWorldWindow(context_.get()), width, height};
    }
    void paint(const View& view) const { paintScene(context_.get(), scene_.get(), view); }

private:
    // Declared first so that it goes last: the scene's lists go before the
    // context they were read from.
    ReaderContextPtr context_;
    RenderScenePtr scene_;
    const char* error_ = nullptr;
};

}  // namespace qmv
