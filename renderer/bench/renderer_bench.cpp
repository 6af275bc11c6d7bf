// renderer_bench: what compiling a scene into display lists and replaying
// it costs, on generated scenes of growing size and on the example map
// scene. Each scene is written by one forked child and measured in another,
// so that every peak memory figure belongs to that scene alone.
//
//   renderer_bench [--sizes 10000,100000,1000000] [--map POLYLINES]
//                  [--compile-runs N] [--frames N] [--size WxH]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "generated_scene.h"
#include "qmv/headless_gl.h"
#include "qmv/renderer.h"
#include "qmv/scene_document.h"
#include "qmv/scenes/map_scene.h"
#include <GL/gl.h>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs `work` in a forked child; its exit code and peak resident size.
struct ChildResult {
    int exitCode = -1;
    long peakKiB = 0;
};

ChildResult runForked(const std::function<int()>& work) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        const int code = work();
        std::fflush(stdout);
        std::_Exit(code);
    }
    ChildResult result;
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.peakKiB = usage.ru_maxrss;
    }
    return result;
}

struct Options {
    std::vector<long> sizes{10000, 100000, 1000000};
    long mapPolylines = 300000;
    int frames = 5;
    int compileRuns = 3;
    int width = 800;
    int height = 600;
};

// Measured in the child, printed by it on one line.
int measure(const std::string& path, const Options& options, const char* label, long count) {
    qmv::HeadlessGl gl(options.width, options.height);
    if (!gl.ok()) {
        std::fprintf(stderr, "renderer_bench: %s\n", gl.error().c_str());
        return 1;
    }
    qmv::initGlState();
    qmv::registerRendererCallbacks();

    // Read and compile: the best of the runs, each released before the next.
    double compileMs = 1e300;
    for (int run = 1; run < options.compileRuns; ++run) {
        const auto start = Clock::now();
        qmv::SceneDocument document(path.c_str());
        glFinish();
        compileMs = std::min(compileMs, millisecondsSince(start));
    }
    const auto compileStart = Clock::now();
    qmv::SceneDocument document(path.c_str());
    glFinish();
    compileMs = std::min(compileMs, millisecondsSince(compileStart));
    if (document.error() != nullptr) {
        std::fprintf(stderr, "renderer_bench: %s\n", document.error());
        return 1;
    }
    const qmv::View view = document.initialView(options.width, options.height);
    std::vector<double> frames;
    for (int i = 0; i <= options.frames; ++i) {
        const auto start = Clock::now();
        document.paint(view);
        glFinish();
        if (i > 0) frames.push_back(millisecondsSince(start));  // the first warms up
    }
    std::sort(frames.begin(), frames.end());
    const double perPrimitive = count > 0 ? compileMs * 1000.0 / static_cast<double>(count) : 0;
    const double framePer = count > 0 ? frames.front() * 1000.0 / static_cast<double>(count) : 0;
    std::printf("| %s | %ld | %.1f | %.2f | %.1f | %.1f | %.2f |", label, count, compileMs,
                perPrimitive, frames.front(), frames[frames.size() / 2], framePer);
    return 0;
}

void run(const std::string& label, long count, const Options& options,
         const std::function<void(qmv::SceneWriter&)>& write) {
    char dir[] = "/tmp/qmv-renderer-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) return;
    const std::string path = std::string(dir) + "/scene.qmv";
    const ChildResult written = runForked([&] {
        qmv::SceneWriter writer;
        write(writer);
        if (!writer.ok()) std::fprintf(stderr, "renderer_bench: %s\n", writer.error().c_str());
        return writer.ok() && writer.save(path) ? 0 : 1;
    });
    if (written.exitCode == 0) {
        const ChildResult measured =
            runForked([&] { return measure(path, options, label.c_str(), count); });
        if (measured.exitCode == 0) std::printf(" %.1f |\n", measured.peakKiB / 1024.0);
    }
    std::remove(path.c_str());
    rmdir(dir);
}

bool parse(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) return false;
        ++i;
        if (arg == "--sizes") {
            o->sizes.clear();
            for (const char* p = value; *p != '\0';) {
                char* end = nullptr;
                o->sizes.push_back(std::strtol(p, &end, 10));
                p = *end == ',' ? end + 1 : end;
                if (end == p && *p != '\0') return false;
            }
        } else if (arg == "--map") {
            o->mapPolylines = std::strtol(value, nullptr, 10);
        } else if (arg == "--compile-runs") {
            o->compileRuns = std::max(1, std::atoi(value));
        } else if (arg == "--frames") {
            o->frames = std::max(1, std::atoi(value));
        } else if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &o->width, &o->height) != 2) return false;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: renderer_bench [--sizes N,N,...] [--map POLYLINES] "
                     "[--compile-runs N] [--frames N] [--size WxH]\n");
        return 2;
    }
    std::printf("read + compile: best of %d; frame %dx%d: best and median of %d after one "
                "warm-up\n\n",
                options.compileRuns, options.width, options.height, options.frames);
    std::printf("| scene | primitives | read + compile ms | us each | frame ms (best) "
                "| frame ms (median) | frame us each | peak MiB |\n"
                "|---|---|---|---|---|---|---|---|\n");
    // The context alone, for the floor under the memory figures.
    run("empty", 0, options, [](qmv::SceneWriter& w) { qmv::bench::writeGeneratedScene(w, 0); });
    for (long n : options.sizes) {
        run("generated", n, options,
            [n](qmv::SceneWriter& w) { qmv::bench::writeGeneratedScene(w, n); });
    }
    if (options.mapPolylines > 0) {
        run("map", options.mapPolylines, options, [&](qmv::SceneWriter& w) {
            qmv::scenes::MapSceneOptions map;
            map.polylines = options.mapPolylines;
            qmv::scenes::writeMapScene(w, map);
        });
    }
    return 0;
}
