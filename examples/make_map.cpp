// Writes the benchmarks' map scene to each file named; a name with ".qmvz"
// gets the compressed container. The benchmarks build the same scene
// in-process; this program is for looking at it, or timing other tools on it.
//
//   make_map POLYLINES [--seed N] OUT...
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "qmv/scenes/map_scene.h"

namespace {

constexpr const char* kUsage = "usage: make_map POLYLINES [--seed N] OUT...\n";

bool parseNumber(std::string_view text, auto& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int usage(const char* problem) {
    std::fprintf(stderr, "make_map: %s\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    qmv::scenes::MapSceneOptions options;
    bool havePolylines = false;
    std::vector<std::string> outputs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--seed") {
            if (i + 1 >= argc || !parseNumber(argv[++i], options.seed)) {
                return usage("a number must follow --seed");
            }
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option");
        } else if (!havePolylines) {
            if (!parseNumber(arg, options.polylines) || options.polylines < 0) {
                return usage("POLYLINES must be a number, 0 or more");
            }
            havePolylines = true;
        } else {
            outputs.emplace_back(arg);
        }
    }
    if (!havePolylines) return usage("no polyline count given");
    if (outputs.empty()) return usage("no output file given");

    qmv::SceneWriter writer;
    qmv::scenes::writeMapScene(writer, options);
    if (!writer.ok()) {
        std::fprintf(stderr, "make_map: %s\n", writer.error().c_str());
        return 1;
    }
    for (const std::string& path : outputs) {
        if (!writer.save(path)) {
            std::fprintf(stderr, "make_map: %s\n", writer.error().c_str());
            return 1;
        }
    }
    return 0;
}
