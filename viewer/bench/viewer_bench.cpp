// qmv-viewer-bench: what opening and drawing cost in the viewer's own
// window, through its own load and paint code. It needs an X display; run
// it under xvfb-run to measure the software rasteriser.
//
//   qmv-viewer-bench [--frames N] [--size WxH] FILE...
//   qmv-viewer-bench --write-generated PRIMITIVES PATH
//
// --write-generated writes the renderer benchmark's generated scene (every
// common primitive kind in turn); build/examples/make_map writes the map.
// For each file: the load (the reader's parse with the renderer compiling
// display lists), the first frame, frames after a pan step and after a zoom
// step (the scene drawn again), and paints with nothing pending (the kept
// image shown again). Frame figures are the best and the median of N.
#include <wx/app.h>
#include <wx/dcclient.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "main_frame.h"
#include "qmv/viewer/document.h"
#include "qmv/viewer/navigation.h"
#include "scene_canvas.h"
#if QMV_HAVE_GENERATED_SCENE
#include "generated_scene.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using qmv::viewer::ViewerState;

struct Options {
    int frames = 20;
    int width = 800;
    int height = 600;
    std::vector<std::string> files;
};

Options options;

double since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double best = 0.0;
    double median = 0.0;
};

Figures summarise(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2]};
}

// The main window for everything but the error box: a file that cannot be
// opened is reported on standard error, so that the run goes on unattended.
class UnattendedWindow final : public qmv::viewer::ViewerHost {
public:
    explicit UnattendedWindow(qmv::viewer::ViewerHost& window) : window_(window) {}
    void setTitle(const std::string& title) override { window_.setTitle(title); }
    void invalidate(bool erase) override { window_.invalidate(erase); }
    void activate() override { window_.activate(); }
    void makeGlCurrent() override { window_.makeGlCurrent(); }
    void releaseGl() override { window_.releaseGl(); }
    void setCursor(qmv::viewer::CursorShape shape) override { window_.setCursor(shape); }
    void captureMouse() override {}
    void releaseMouse() override {}
    void invertRubberBand(const qmv::viewer::RubberBand& band) override { window_.invertRubberBand(band); }
    void showErrorBox(const std::string& text) override {
        std::fprintf(stderr, "qmv-viewer-bench: %s\n", text.c_str());
    }
    void beep() override {}
    void closeWindow() override { window_.closeWindow(); }
    std::optional<std::string> chooseFileToOpen() override { return std::nullopt; }
    std::optional<std::string> chooseExportPath(const std::string&) override { return std::nullopt; }
    void showLayerDialog() override {}
    void showFileStatusDialog() override {}
    void showAboutDialog() override {}
    void showNavigationPopup(int, int) override {}
    void enableMenuItem(int, bool) override {}
    void checkMenuItem(int, bool) override {}
    void setStatusText(qmv::viewer::StatusField, const std::string&) override {}
    void showCancelButton(bool) override {}
    // The bench waits for each load itself.
    void wakeForLoad() override {}

private:
    qmv::viewer::ViewerHost& window_;
};

// One paint as the window system's paint request runs it, and the slices
// the idle handler then draws until the frame is whole, waited for.
double paintOnce(qmv::viewer::SceneCanvas& canvas) {
    const Clock::time_point start = Clock::now();
    {
        wxClientDC dc(&canvas);
        canvas.paintFrame();
    }
    while (canvas.drawNextSlice()) {
    }
    canvas.makeCurrent();
    glFinish();
    canvas.releaseCurrent();
    return since(start);
}

// Frames that draw the scene again after `step`; the draw alone (into the
// window's buffer and its copy) and the whole paint.
void redrawFrames(const char* name, ViewerState& state, qmv::viewer::SceneCanvas& canvas,
                  void (*step)(ViewerState&, int)) {
    std::vector<double> draws;
    std::vector<double> paints;
    for (int i = 0; i < options.frames; ++i) {
        step(state, i);
        state.redrawPending = true;
        paints.push_back(paintOnce(canvas));
        draws.push_back(state.lastDrawSeconds * 1000.0);
    }
    const Figures d = summarise(draws);
    const Figures p = summarise(paints);
    std::printf("  %-24s draw best %8.2f ms  median %8.2f ms | paint best %8.2f ms  median %8.2f ms\n",
                name, d.best, d.median, p.best, p.median);
}

// What the last whole frame drew, so that a frame's time can be read
// against its work.
void printDrawn(const char* name, const ViewerState& state) {
    const qmv::FrameStatistics drawn = qmv::renderSceneLastFrame(state.document.scene.get());
    std::printf("  %-24s %llu vertices, %llu primitives in %llu draws, %llu placements\n", name,
                static_cast<unsigned long long>(drawn.vertices), static_cast<unsigned long long>(drawn.pieces),
                static_cast<unsigned long long>(drawn.batches), static_cast<unsigned long long>(drawn.placements));
}

// A second load of the file cancelled once half of it is read: how long
// the cancel leaves its thread running, and how much more it read.
void measureCancel(ViewerState& state, const std::string& file) {
    using namespace qmv::viewer;
    closeDocument(state);
    loadDocument(state, file);
    const LoadJob& job = *state.load;
    while (!job.finished() && (job.fileBytes() == 0 || job.bytesRead() * 2 < job.fileBytes())) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const uint64_t readAtCancel = job.bytesRead();
    const Clock::time_point start = Clock::now();
    cancelLoad(state);
    for (const auto& cancelled : state.cancelledLoads) cancelled->wait();
    const double wound = since(start);
    const uint64_t readAfter = state.cancelledLoads.empty() ? readAtCancel : state.cancelledLoads.back()->bytesRead();
    waitForLoad(state);
    std::printf("  %-24s thread ended %8.2f ms after, %llu more bytes read\n", "cancel at half the file",
                wound, static_cast<unsigned long long>(readAfter - readAtCancel));
}

void measure(ViewerState& state, qmv::viewer::SceneCanvas& canvas, const std::string& file) {
    using namespace qmv::viewer;
    closeDocument(state);
    const Clock::time_point start = Clock::now();
    loadDocument(state, file);
    waitForLoad(state);
    const double load = since(start);
    if (!documentOpen(state)) {
        std::printf("%s: could not be opened (%.1f ms)\n", file.c_str(), load);
        return;
    }
    state.redrawPending = true;
    const double first = paintOnce(canvas);
    const wxSize size = canvas.GetClientSize();
    std::printf("%s: %d layers, client %dx%d, kept image %s\n", file.c_str(),
                qmv::renderSceneLayerCount(state.document.scene.get()), size.x, size.y,
                canvas.keepsImage() ? "in a framebuffer object" : "none (every paint draws)");
    std::printf("  %-24s %8.1f ms (File Status shows %d secs)\n", "load and compile", load,
                qmv::readerParseSeconds(state.document.context.get()));
    std::printf("  %-24s draw %8.2f ms | paint %8.2f ms\n", "first frame", state.lastDrawSeconds * 1000.0,
                first);
    printDrawn("first frame drew", state);
    redrawFrames("pan (arrow key step)", state, canvas, [](ViewerState& s, int i) {
        moveStep(s, i % 2 == 0 ? Direction::Right : Direction::Left);
    });
    redrawFrames("zoom (keypad step)", state, canvas, [](ViewerState& s, int i) {
        if (i % 2 == 0) {
            zoomIn(s);
        } else {
            initialView(s);
        }
    });
    // From a key press until the kept image, moved, is on the screen.
    std::vector<double> previews;
    for (int i = 0; i < options.frames; ++i) {
        const Clock::time_point start = Clock::now();
        moveStep(state, i % 2 == 0 ? Direction::Right : Direction::Left);
        state.redrawPending = true;
        {
            wxClientDC dc(&canvas);
            canvas.paintFrame();
        }
        previews.push_back(
            std::chrono::duration<double, std::milli>(canvas.movedImageShown() - start).count());
        while (canvas.drawNextSlice()) {
        }
    }
    const Figures shown = summarise(previews);
    std::printf("  %-24s shown best %8.2f ms  median %8.2f ms\n", "preview (arrow key step)", shown.best,
                shown.median);
    for (double zoom : {10.0, 100.0}) {
        initialView(state);
        const qmv::WorldWindow w = state.worldWindow;
        const double cx = (w.xmin + w.xmax) / 2, cy = (w.ymin + w.ymax) / 2;
        const double hw = (w.xmax - w.xmin) / (2 * zoom), hh = (w.ymax - w.ymin) / (2 * zoom);
        state.worldWindow = {cx - hw, cy - hh, cx + hw, cy + hh};
        state.redrawPending = true;
        paintOnce(canvas);
        redrawFrames(zoom == 10.0 ? "pan at 10x zoom" : "pan at 100x zoom", state, canvas,
                     [](ViewerState& s, int i) { moveStep(s, i % 2 == 0 ? Direction::Right : Direction::Left); });
        printDrawn(zoom == 10.0 ? "10x zoom drew" : "100x zoom drew", state);
    }
    initialView(state);
    std::vector<double> presents;
    for (int i = 0; i < options.frames; ++i) presents.push_back(paintOnce(canvas));
    const Figures p = summarise(presents);
    std::printf("  %-24s paint best %8.2f ms  median %8.2f ms\n", "nothing pending", p.best, p.median);
    measureCancel(state, file);
    std::fflush(stdout);
}

class BenchApp final : public wxApp {
public:
    bool OnInit() override {
        using namespace qmv::viewer;
        ViewerState& state = viewerState();
        frame_ = new MainFrame(state);
        frame_->SetClientSize(options.width, options.height + frame_->GetClientAreaOrigin().y);
        frame_->Show();
        CallAfter([this, &state] {
            // The canvas has its size once the window is on the screen.
            frame_->canvas()->SetClientSize(options.width, options.height);
            UnattendedWindow unattended(*frame_);
            state.window = &unattended;
            for (const std::string& file : options.files) measure(state, *frame_->canvas(), file);
            state.window = frame_;
            frame_->Close();
        });
        return true;
    }

private:
    qmv::viewer::MainFrame* frame_ = nullptr;
};

int writeGenerated(const char* count, const char* path) {
    qmv::SceneWriter writer;
#if QMV_HAVE_GENERATED_SCENE
    qmv::bench::writeGeneratedScene(writer, std::atoll(count));
#else
    (void)count;
    std::fputs("qmv-viewer-bench: built without the generated scene\n", stderr);
    return 1;
#endif
    if (!writer.ok() || !writer.save(path)) {
        std::fprintf(stderr, "qmv-viewer-bench: %s\n", writer.error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--write-generated" && i + 2 < argc) {
            return writeGenerated(argv[i + 1], argv[i + 2]);
        } else if (arg == "--frames" && i + 1 < argc) {
            options.frames = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2) return 2;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr,
                         "usage: qmv-viewer-bench [--frames N] [--size WxH] FILE...\n"
                         "       qmv-viewer-bench --write-generated PRIMITIVES PATH\n");
            return 2;
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.files.empty()) return 2;
    int toolkitArgc = 1;
    return wxEntry(toolkitArgc, argv);
}
