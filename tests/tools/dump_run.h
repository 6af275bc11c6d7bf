// Test support: runs the built qmv-dump on a scene held in a temporary file
// and collects its exit status and both output streams.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qmv::test {

// A file or folder in the temporary folder that is removed again.
class TempPath {
public:
    static TempPath file(const std::vector<uint8_t>& bytes, const std::string& suffix = ".qmv");
    static TempPath folder();
    TempPath(TempPath&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;
    ~TempPath();
    const std::string& path() const { return path_; }

private:
    explicit TempPath(std::string path) : path_(std::move(path)) {}
    std::string path_;
};

struct DumpResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;

    std::vector<std::string> lines() const;  // standard output split at line feeds
};

// Runs qmv-dump with `args`. `tmpDir`, when given, becomes the program's
// TMPDIR.
DumpResult runDump(const std::vector<std::string>& args, const std::string& tmpDir = "");

// Runs qmv-dump on a scene written to a temporary file; the path goes last.
DumpResult dumpScene(const std::vector<uint8_t>& scene, std::vector<std::string> args);

}  // namespace qmv::test
