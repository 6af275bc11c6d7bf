// The map scene written to files for the benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qmv::bench {

inline constexpr uint64_t kMapSeed = 20240611;

struct MapFiles {
    int64_t polylines = 0;
    int layers = 0;
    bool ok = false;
    std::string why;  // when not ok
};

// Generates the map scene with `polylines` polylines once and saves it to
// every path (compressed where the name says ".qmvz").
MapFiles writeMapFiles(int64_t polylines, const std::vector<std::string>& paths);

// The size of a file in bytes, or -1.
int64_t fileBytes(const std::string& path);

}  // namespace qmv::bench
