// Writes the bundled example scene, or the benchmarks' map scene, to each
// file named; a name with ".qmvz" gets the compressed container.
//
//   make_tour OUT...
//   make_tour --map POLYLINES [--seed N] OUT...
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "qmv/scenes/map_scene.h"
#include "qmv/scenes/tour_scene.h"

namespace {

constexpr const char* kUsage =
    "usage: make_tour OUT...\n"
    "       make_tour --map POLYLINES [--seed N] OUT...\n";

bool parseNumber(std::string_view text, auto& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int usage(const char* problem) {
    std::fprintf(stderr, "make_tour: %s\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool map = false;
    qmv::scenes::MapSceneOptions mapOptions;
    std::vector<std::string> outputs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--map" || arg == "--seed") {
            if (i + 1 >= argc) return usage("a number must follow --map and --seed");
            const bool good = arg == "--map" ? parseNumber(argv[++i], mapOptions.polylines)
                                             : parseNumber(argv[++i], mapOptions.seed);
            if (!good || mapOptions.polylines < 0) return usage("not a valid number");
            map = map || arg == "--map";
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option");
        } else {
            outputs.emplace_back(arg);
        }
    }
    if (outputs.empty()) return usage("no output file given");

    qmv::SceneWriter writer;
    if (map) {
        qmv::scenes::writeMapScene(writer, mapOptions);
    } else {
        qmv::scenes::writeTourScene(writer);
    }
    if (!writer.ok()) {
        std::fprintf(stderr, "make_tour: %s\n", writer.error().c_str());
        return 1;
    }
    for (const std::string& path : outputs) {
        if (!writer.save(path)) {
            std::fprintf(stderr, "make_tour: %s\n", writer.error().c_str());
            return 1;
        }
    }
    return 0;
}
