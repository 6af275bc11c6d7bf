// Test support: the worst scene files of at most 1 MiB that we know how to
// build, each with what the renderer must make of it: a drawing, or a
// refusal with the reader-style message of the limit it passes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qmv::test {

struct HostileScene {
    std::string name;
    // Builds the file's bytes (deflated already when `compressed`).
    std::function<std::vector<uint8_t>()> build;
    bool compressed = false;
    // "" when the scene must be drawn; otherwise the start of the error text
    // qmv-render must report; "*" when either is fine.
    std::string refusal;
};

inline constexpr size_t kMaxHostileBytes = size_t{1} << 20;

// Groups of cases, so that a failure names its kind.
std::vector<HostileScene> claimedCountScenes();    // counts and sizes the data belies
std::vector<HostileScene> imageScenes();           // huge images, many uses of big ones
std::vector<HostileScene> shapeScenes();           // nesting, self-placement, exponential reuse
std::vector<HostileScene> geometryScenes();        // zero steps, NaN, crossings, 1e300, fill rate
std::vector<HostileScene> repetitionScenes();      // edge ranges, text, lists, long lines
std::vector<HostileScene> compressedBombScenes();  // small .qmvz files that inflate far
std::vector<HostileScene> ordinaryScenes();        // common commands, as many as 1 MiB holds
std::vector<HostileScene> largeFileScenes();       // honest drawings past 1 MiB

// Builds the scene in a forked child, so that its construction never counts
// towards this process's peak memory (which later children would inherit
// in their own accounting), and writes it to `path`. False when it cannot
// be built or written.
bool writeHostileScene(const HostileScene& scene, const std::string& path);

// zlib stream of the bytes (level 9), as a .qmvz file holds them.
std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& bytes);

}  // namespace qmv::test
