// The figures of record for hostile and damaged files: each hostile file
// the tests know (tests/robustness/hostile_scenes.h) run through
// qmv-render as a child process, with its CPU time (user + system) and
// peak resident memory from the kernel (wait4), and both per MiB of the
// file. docs/robustness.md keeps the table.
//
//   robustness_bench [--size WxH] [FILTER]
//
// FILTER keeps the files whose name holds it. The picture is qmv-render's
// default (800 x 600) unless --size says otherwise.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "robustness/child_process.h"
#include "robustness/hostile_scenes.h"

#ifndef QMV_RENDER
#error "QMV_RENDER must name the qmv-render program"
#endif

namespace {

using qmv::test::HostileScene;

std::vector<std::pair<const char*, std::vector<HostileScene>>> groups() {
    using namespace qmv::test;
    return {{"counts the data belies", claimedCountScenes()},
            {"images", imageScenes()},
            {"shapes", shapeScenes()},
            {"geometry", geometryScenes()},
            {"repetition", repetitionScenes()},
            {"compressed bombs", compressedBombScenes()},
            {"ordinary drawings", ordinaryScenes()},
            {"larger files", largeFileScenes()}};
}

}  // namespace

int main(int argc, char** argv) {
    std::string size;
    std::string filter;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            size = argv[++i];
        } else {
            filter = arg;
        }
    }
    char pattern[] = "/tmp/qmv-robustness-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    const std::string dir = pattern;
    std::printf("| File | Bytes | CPU s | Peak MiB | CPU s per MiB | Peak MiB per MiB | Outcome |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    double worstCpu = 0.0, worstPeak = 0.0;
    for (const auto& [group, scenes] : groups()) {
        for (const HostileScene& scene : scenes) {
            if (!filter.empty() && scene.name.find(filter) == std::string::npos) continue;
            const std::string base = dir + "/scene";
            const std::string path = base + (scene.compressed ? ".qmvz" : ".qmv");
            if (!qmv::test::writeHostileScene(scene, path)) {
                std::printf("| %s | cannot be built |\n", scene.name.c_str());
                continue;
            }
            struct stat info {};
            stat(path.c_str(), &info);
            const double mib = static_cast<double>(info.st_size) / (1 << 20);
            std::vector<std::string> args{path, "-o", base + ".png"};
            if (!size.empty()) args.insert(args.end(), {"--size", size});
            const qmv::test::ChildRun run = qmv::test::runChild(QMV_RENDER, args);
            std::string outcome = run.exitStatus == 0 ? "drawn" : run.standardError;
            if (run.signal != 0) outcome = "signal " + std::to_string(run.signal);
            while (!outcome.empty() && outcome.back() == '\n') outcome.pop_back();
            if (outcome.rfind("qmv-render: ", 0) == 0) outcome = "`" + outcome.substr(12) + "`";
            std::printf("| %s | %lld | %.2f | %.1f | %.2f | %.1f | %s |\n", scene.name.c_str(),
                        static_cast<long long>(info.st_size), run.cpuSeconds, run.peakMiB,
                        run.cpuSeconds / mib, run.peakMiB / mib, outcome.c_str());
            std::fflush(stdout);
            if (info.st_size <= (1 << 20)) {
                worstCpu = std::max(worstCpu, run.cpuSeconds);
                worstPeak = std::max(worstPeak, run.peakMiB);
            }
            std::remove(path.c_str());
            std::remove((base + ".png").c_str());
        }
        (void)group;
    }
    rmdir(dir.c_str());
    std::printf("\nFiles of at most 1 MiB: at most %.2f s of CPU, %.1f MiB peak.\n", worstCpu,
                worstPeak);
    return 0;
}
