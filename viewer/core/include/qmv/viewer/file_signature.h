// What tells one version of a file from the next without reading it: its
// identity (a rename puts another file in its place) and its size and times
// (a rewrite in place).
#pragma once

#include <cstdint>
#include <string>

namespace qmv::viewer {

struct FileSignature {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    friend bool operator==(const FileSignature&, const FileSignature&) = default;
};

// The file at `path` now; `exists` false when it cannot be found.
FileSignature fileSignature(const std::string& path);

}  // namespace qmv::viewer
