// Reader benchmarks on the generated map scene:
//   1. peak memory of qmv-dump on a large raw scene (summary and --events),
//   2. raw parse throughput with a no-op client,
//   3. compressed parse time against zlib inflating the same file alone,
//   4. how parse time grows with the scene (1x, 4x, 16x).
// Times are the best of several runs, on files the system has just written
// (so in the page cache): they measure the reader, not the disk.
//
//   reader_bench [--scale F] [--runs N] [--memory-mb M] [--dump PATH]
//   reader_bench --parse FILE [--runs N]    time one existing file (for profiling)
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "best_of.h"
#include "child_process.h"
#include "inflate_only.h"
#include "map_files.h"
#include "qmv/format.h"
#include "qmv/packed_file.h"
#include "qmv/reader.h"
#include "scratch_dir.h"

namespace {

using namespace qmv::bench;

constexpr int64_t kBasePolylines = 300000;
constexpr double kMB = 1e6;
constexpr double kThroughputTarget = 500.0;  // MB/s
constexpr double kRatioTarget = 1.2;
constexpr double kMemoryTargetMiB = 64.0;
// Bytes per polyline of the map scene, for sizing the memory scene before
// it exists: 6 around the steps and 24.5 steps on average.
constexpr double kBytesPerPolyline = 30.5;

struct Options {
    double scale = 1.0;
    int runs = 5;
    double memoryMB = 100.0;
    std::string dumpPath = QMV_DUMP_PATH;
    std::string parseOnly;  // --parse: time this file alone
};

template <typename T>
bool parseValue(std::string_view text, T& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc) return false;
        const std::string_view value = argv[++i];
        bool good = false;
        if (arg == "--scale") good = parseValue(value, o.scale) && o.scale > 0;
        if (arg == "--runs") good = parseValue(value, o.runs) && o.runs > 0;
        if (arg == "--memory-mb") good = parseValue(value, o.memoryMB) && o.memoryMB >= 0;
        if (arg == "--dump" || arg == "--parse") {
            (arg == "--dump" ? o.dumpPath : o.parseOnly) = std::string(value);
            good = !value.empty();
        }
        if (!good) return false;
    }
    return true;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

// One parse with the no-op client; false when the reader reported an error
// or did not see every layer (any number when -1), so that a broken parse is
// never timed as fast.
bool parseOnce(const std::string& path, int expectedLayers) {
    qmv::ReaderContext* ctx = qmv::readerOpen(path.c_str(), nullptr, 1, nullptr);
    const bool ok = qmv::readerErrorText(ctx) == nullptr &&
                    (expectedLayers < 0 || qmv::readerLayerCount(ctx) == expectedLayers);
    if (!ok && qmv::readerErrorText(ctx) != nullptr) {
        std::printf("  parse error: %s\n", qmv::readerErrorText(ctx));
    }
    qmv::readerRelease(&ctx);
    return ok;
}

void memorySection(const Options& o, const ScratchDir& dir) {
    const int64_t polylines = std::llround(o.memoryMB * kMB / kBytesPerPolyline);
    const std::string path = dir.file("memory.qmv");
    std::printf("[memory] peak resident size of qmv-dump, target under %.0f MiB\n",
                kMemoryTargetMiB);
    const ChildResult made = runForked([&] {
        return writeMapFiles(polylines, {path}).ok ? 0 : 1;
    });
    if (made.exitCode != 0) {
        std::printf("  could not write the scene\n");
        return;
    }
    std::printf("  scene: %lld polylines, %.1f MB raw; bench process at spawn: %.1f MiB\n",
                static_cast<long long>(polylines), static_cast<double>(fileBytes(path)) / kMB,
                static_cast<double>(ownRssKiB()) / 1024.0);
    const struct {
        const char* label;
        std::vector<std::string> argv;
    } runs[] = {{"summary", {o.dumpPath, path}},
                {"--events >/dev/null", {o.dumpPath, "--events", path}}};
    for (const auto& run : runs) {
        const auto start = std::chrono::steady_clock::now();
        const ChildResult r = runProgram(run.argv);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double mib = static_cast<double>(r.peakRssKiB) / 1024.0;
        std::printf("  %-20s exit %d, peak %.1f MiB, %.2f s  %s\n", run.label, r.exitCode, mib,
                    seconds, verdict(r.exitCode == 0 && mib < kMemoryTargetMiB));
    }
    std::remove(path.c_str());
}

// Returns the best raw parse time, for the linearity table.
double rawSection(const Options& o, const std::string& path, const MapFiles& scene) {
    const double mb = static_cast<double>(fileBytes(path)) / kMB;
    const Timing t = timeRuns(o.runs, [&] { return parseOnce(path, scene.layers); });
    if (t.best <= 0) {
        std::printf("[raw] parse failed\n");
        return 0;
    }
    const double rate = mb / t.best;
    std::printf("[raw] no-op client, %.2f MB: best %.1f ms (median %.1f ms) = %.0f MB/s; "
                "target %.0f MB/s %s\n",
                mb, t.best * 1e3, t.median * 1e3, rate, kThroughputTarget,
                verdict(rate >= kThroughputTarget));
    return t.best;
}

void compressedSection(const Options& o, const std::string& path, int64_t rawBytes,
                       const MapFiles& scene) {
    const Timing parse = timeRuns(o.runs, [&] { return parseOnce(path, scene.layers); });
    const Timing inflate =
        timeRuns(o.runs, [&] { return inflateFileDiscarding(path) == rawBytes; });
    if (parse.best <= 0 || inflate.best <= 0) {
        std::printf("[qmvz] parse or inflate failed\n");
        return;
    }
    const double ratio = parse.best / inflate.best;
    std::printf("[qmvz] %.2f MB compressed (%.2f MB inflated): parse best %.1f ms (median %.1f), "
                "zlib inflate alone best %.1f ms (median %.1f); ratio %.2f (inflater %s), target %.1f %s\n",
                static_cast<double>(fileBytes(path)) / kMB, static_cast<double>(rawBytes) / kMB,
                parse.best * 1e3, parse.median * 1e3, inflate.best * 1e3, inflate.median * 1e3,
                ratio, qmv::packedInflaterName(), kRatioTarget, verdict(ratio <= kRatioTarget));
}

void linearitySection(const Options& o, const ScratchDir& dir, int64_t basePolylines,
                      double baseSeconds, const std::string& basePath) {
    std::printf("[linearity] raw parse, no-op client\n");
    std::printf("  %5s %10s %10s %10s %9s %12s\n", "scale", "polylines", "MB", "best ms", "MB/s",
                "ms per MB");
    double perMBAtOne = 0;
    for (int factor : {1, 4, 16}) {
        const int64_t polylines = basePolylines * factor;
        std::string path = basePath;
        double seconds = baseSeconds;
        int layers = 0;
        if (factor != 1) {
            path = dir.file("linear.qmv");
            const MapFiles made = writeMapFiles(polylines, {path});
            if (!made.ok) {
                std::printf("  could not write the %dx scene: %s\n", factor, made.why.c_str());
                return;
            }
            layers = made.layers;
            seconds = timeRuns(o.runs, [&] { return parseOnce(path, layers); }).best;
        }
        const double mb = static_cast<double>(fileBytes(path)) / kMB;
        const double perMB = seconds * 1e3 / mb;
        if (factor == 1) perMBAtOne = perMB;
        std::printf("  %4dx %10lld %10.1f %10.1f %9.0f %12.3f (%.2f of 1x)\n", factor,
                    static_cast<long long>(polylines), mb, seconds * 1e3, mb / seconds, perMB,
                    perMB / perMBAtOne);
        if (factor != 1) std::remove(path.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseOptions(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: reader_bench [--scale F] [--runs N] [--memory-mb M] [--dump PATH]\n"
                     "       reader_bench --parse FILE [--runs N]\n");
        return 2;
    }
    if (!o.parseOnly.empty()) {
        qmv::readerRegisterClient<qmv::ReaderNoOpClient>();
        const Timing t = timeRuns(o.runs, [&] { return parseOnce(o.parseOnly, -1); });
        const double mb = static_cast<double>(fileBytes(o.parseOnly)) / kMB;
        std::printf("%s: %.2f MB, best %.1f ms (median %.1f ms) = %.0f MB/s of file size\n",
                    o.parseOnly.c_str(), mb, t.best * 1e3, t.median * 1e3, mb / t.best);
        if (t.best > 0 && qmv::isCompressedName(o.parseOnly.c_str())) {
            const Timing inflate =
                timeRuns(o.runs, [&] { return inflateFileDiscarding(o.parseOnly) > 0; });
            std::printf("  inflater %s; zlib inflate alone best %.1f ms (median %.1f); ratio %.2f\n",
                        qmv::packedInflaterName(), inflate.best * 1e3, inflate.median * 1e3,
                        t.best / inflate.best);
        }
        return t.best > 0 ? 0 : 1;
    }
    ScratchDir dir;
    if (!dir.ok()) {
        std::fprintf(stderr, "reader_bench: cannot make a temporary folder\n");
        return 1;
    }
    const int64_t base = std::llround(kBasePolylines * o.scale);
    std::printf("reader_bench: map scene (seed %llu), best of %d runs, build %s, MB = 10^6 bytes\n",
                static_cast<unsigned long long>(kMapSeed), o.runs, QMV_BUILD_TYPE);

    // First, while this process is still small (see child_process.h).
    if (o.memoryMB > 0) memorySection(o, dir);

    qmv::readerRegisterClient<qmv::ReaderNoOpClient>();
    const std::string raw = dir.file("map.qmv");
    const std::string compressed = dir.file("map.qmvz");
    const MapFiles scene = writeMapFiles(base, {raw, compressed});
    if (!scene.ok) {
        std::fprintf(stderr, "reader_bench: cannot write the map scene: %s\n", scene.why.c_str());
        return 1;
    }
    std::printf("scene: %lld polylines in %d layers, raw %.2f MB, compressed %.2f MB\n",
                static_cast<long long>(scene.polylines), scene.layers,
                static_cast<double>(fileBytes(raw)) / kMB,
                static_cast<double>(fileBytes(compressed)) / kMB);

    const double rawSeconds = rawSection(o, raw, scene);
    compressedSection(o, compressed, fileBytes(raw), scene);
    if (rawSeconds > 0) linearitySection(o, dir, base, rawSeconds, raw);
    return 0;
}
