// Test support: parses a scene file with a client that counts every callback
// by slot, measures each path's length and collects the opcodes the trace
// names, so that tests can check what a generated scene really contains.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "qmv/reader.h"

namespace qmv::scenes::test {

struct ParseReport {
    std::string error;  // empty when the parse succeeded
    std::array<int64_t, CALLBACK_SLOTS> calls{};
    int64_t shortestPath = 0;  // vertices of a begin/vertex/end group, begin included
    int64_t longestPath = 0;
    int64_t polylines = 0;  // begin calls of the polyline kind
    std::vector<std::string> layerNames;  // in file order; "" for an unnamed layer
    int layers = 0;
    int shapes = 0;
    int images = 0;
    std::set<std::string> tracedOpcodes;  // empty unless a trace was asked for
};

ParseReport parseCounting(const std::string& path, bool withTrace = false);

// The slot ids of every callback kind the reader defines.
const std::vector<int>& allCallbackSlots();

// A file in the temporary folder, removed again at the end of its scope.
class TempPath {
public:
    explicit TempPath(const std::string& suffix);
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;
    ~TempPath();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace qmv::scenes::test
