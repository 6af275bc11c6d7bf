// What a file may make the reader hold or do, in proportion to the file's
// size on disk, so that a small file cannot demand unbounded memory or time
// (docs/robustness.md gives the figures and the reasons). The data of a raw
// file cannot describe more decoded items than allowed; compressed files
// that inflate far beyond their size can, and DrawEdgeRange commands of any
// file can ask for millions of calls each.
#pragma once

#include <cstdint>

namespace qmv {

// A compressed file inflates to at most this many bytes of scene data.
inline constexpr uint64_t kInflateBase = uint64_t{32} << 20;
inline constexpr uint64_t kInflatePerFileByte = 32;

// Decoded items held at once: edge-set points, face numbers and image
// pixels (each at most 16 bytes).
inline constexpr uint64_t kDecodedBase = uint64_t{4} << 20;
inline constexpr uint64_t kDecodedPerFileByte = 4;

// QMVR_drawEdge calls made by DrawEdgeRange commands in one parse.
inline constexpr uint64_t kRangeDrawBase = uint64_t{1} << 20;
inline constexpr uint64_t kRangeDrawPerFileByte = 16;

inline uint64_t allowanceFor(uint64_t base, uint64_t perFileByte, uint64_t fileBytes) {
    // File sizes are far below the point where this could overflow.
    return base + perFileByte * fileBytes;
}

}  // namespace qmv
