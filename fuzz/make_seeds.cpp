// Writes the seed inputs of the fuzz targets: random valid scenes from the
// writer (raw, and a few as zlib streams, which the targets read as .qmvz
// files) and their text forms.
//
//   make_seeds OUT_DIR [COUNT]
//
// writes OUT_DIR/scenes/scene-<seed>.qmv (and scene-<seed>.qmvz for every
// fourth seed) and OUT_DIR/text/scene-<seed>.txt.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qmv/textform/textform.h"
#include "scene_generator.h"

namespace {

bool writeFile(const std::filesystem::path& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

std::vector<uint8_t> deflated(const std::vector<uint8_t>& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9) != Z_OK) {
        return {};
    }
    out.resize(size);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_seeds OUT_DIR [COUNT]\n");
        return 2;
    }
    const fs::path out(argv[1]);
    const long count = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 200;
    std::error_code error;
    fs::create_directories(out / "scenes", error);
    fs::create_directories(out / "text", error);
    int written = 0;
    for (long seed = 1; seed <= count; ++seed) {
        const qmv::test::GeneratedScene scene =
            qmv::test::generateScene(static_cast<uint64_t>(seed));
        if (!scene.error.empty()) continue;
        const std::string name = "scene-" + std::to_string(seed);
        bool ok = writeFile(out / "scenes" / (name + ".qmv"), scene.bytes.data(), scene.bytes.size());
        if (seed % 4 == 0) {
            const std::vector<uint8_t> z = deflated(scene.bytes);
            ok = ok && !z.empty() && writeFile(out / "scenes" / (name + ".qmvz"), z.data(), z.size());
        }
        const std::string text = qmv::textform::disassembleBytes(scene.bytes);
        ok = ok && writeFile(out / "text" / (name + ".txt"), text.data(), text.size());
        if (!ok) {
            std::fprintf(stderr, "make_seeds: cannot write into %s\n", argv[1]);
            return 1;
        }
        ++written;
    }
    std::printf("make_seeds: %d scenes in %s\n", written, argv[1]);
    return 0;
}
