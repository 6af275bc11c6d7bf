// qmv-render: draws a scene file as the viewer paints it, into a PNG image,
// without a display.
#include <cstdio>
#include <span>

#include "options.h"
#include "qmv/headless_gl.h"
#include "qmv/png_file.h"
#include "qmv/renderer.h"
#include "qmv/scene_document.h"

int main(int argc, char** argv) {
    using namespace qmv;
    const ParsedRenderOptions parsed =
        parseRenderOptions(std::span<const char* const>(argv + 1, static_cast<size_t>(argc - 1)));
    const RenderOptions& options = parsed.options;
    if (options.help) {
        std::fputs(kRenderUsage, stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "qmv-render: %s\n(qmv-render --help shows the usage)\n",
                     parsed.error.c_str());
        return 2;
    }

    HeadlessGl gl(options.width, options.height);
    if (!gl.ok()) {
        std::fprintf(stderr, "qmv-render: no OpenGL context: %s\n", gl.error().c_str());
        return 1;
    }
    initGlState();
    registerRendererCallbacks();

    SceneDocument document(options.input.c_str());
    if (document.error() != nullptr) {
        std::fprintf(stderr, "qmv-render: %s\n", document.error());
        return 1;
    }
    const int layers = renderSceneLayerCount(document.scene());
    for (int layer : options.hiddenLayers) {
        if (layer < layers) {
            setLayerVisible(document.scene(), layer, 0);
        } else {
            std::fprintf(stderr, "qmv-render: warning: no layer %d to hide (the scene has %d)\n",
                         layer, layers);
        }
    }

    const View view = options.view ? View{*options.view, options.width, options.height}
                                   : document.initialView(options.width, options.height);
    document.paint(view);

    std::string error;
    if (!writePng(options.output, gl.readPixels(), &error)) {
        std::fprintf(stderr, "qmv-render: cannot write %s: %s\n", options.output.c_str(),
                     error.c_str());
        return 1;
    }
    return 0;
}
