// qmv-render: draws a scene file as the viewer paints it, into a PNG image,
// without a display.
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>

#include "options.h"
#include "qmv/headless_gl.h"
#include "qmv/png_file.h"
#include "qmv/renderer.h"
#include "qmv/scene_document.h"
#include "qmv_version.h"

namespace {

// The image is written under a name of its own and renamed into place, so
// that a time limit passing during the write leaves no file behind. The
// signal handler reads the name: it is set once, before the timer can fire
// during the write.
char partialImage[4096];

void giveUp(int) {
    static const char message[] = "qmv-render: the time limit passed; no image written\n";
    if (partialImage[0] != '\0') unlink(partialImage);
    const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    (void)written;
    _exit(1);
}

void startTimeLimit(double seconds) {
    struct sigaction action = {};
    action.sa_handler = giveUp;
    sigaction(SIGALRM, &action, nullptr);
    itimerval limit = {};
    limit.it_value.tv_sec = static_cast<time_t>(seconds);
    limit.it_value.tv_usec = static_cast<suseconds_t>((seconds - std::floor(seconds)) * 1e6);
    if (limit.it_value.tv_sec == 0 && limit.it_value.tv_usec == 0) limit.it_value.tv_usec = 1;
    setitimer(ITIMER_REAL, &limit, nullptr);
}

void stopTimeLimit() {
    const itimerval off = {};
    setitimer(ITIMER_REAL, &off, nullptr);
}

// The thumbnail's size: the drawing's proportions in a size x size square.
void fitThumbnail(const qmv::WorldWindow& world, int size, int* width, int* height) {
    const double w = world.xmax - world.xmin, h = world.ymax - world.ymin;
    *width = *height = size;
    if (!(w > 0.0 && h > 0.0 && std::isfinite(w / h))) return;
    if (w >= h) {
        *height = std::clamp(static_cast<int>(std::lround(size * h / w)), 1, size);
    } else {
        *width = std::clamp(static_cast<int>(std::lround(size * w / h)), 1, size);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qmv;
    const ParsedRenderOptions parsed =
        parseRenderOptions(std::span<const char* const>(argv + 1, static_cast<size_t>(argc - 1)));
    const RenderOptions& options = parsed.options;
    if (options.help) {
        std::fputs(renderUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("qmv-render %s\n", QMV_VERSION);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "qmv-render: %s\n(qmv-render --help shows the usage)\n",
                     parsed.error.c_str());
        return 2;
    }

    if (options.timeoutSeconds > 0.0) startTimeLimit(options.timeoutSeconds);

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

    View view = options.view ? View{*options.view, options.width, options.height}
                             : document.initialView(options.width, options.height);
    if (options.thumbnail > 0) fitThumbnail(view.world, options.thumbnail, &view.width, &view.height);
    document.paint(view);

    const std::string partial = partialPngPath(options.output);
    if (partial.size() < sizeof partialImage) std::memcpy(partialImage, partial.c_str(), partial.size() + 1);
    std::string error;
    // Once the image is whole, the limit no longer applies.
    if (!writePngReplacing(options.output, gl.readPixels(view.width, view.height), &error, stopTimeLimit)) {
        std::fprintf(stderr, "qmv-render: cannot write %s: %s\n", options.output.c_str(), error.c_str());
        return 1;
    }
    return 0;
}
