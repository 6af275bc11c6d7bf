// The reader writes its trace to a named file; --trace lets it write to a
// private temporary file and then copies that file to standard output.
#pragma once

#include <cstdio>
#include <string>

namespace qmv {

// A uniquely named empty file in the temporary folder, removed again when the
// object goes. path() is empty when no file could be created.
class TempTraceFile {
public:
    TempTraceFile();
    ~TempTraceFile();
    TempTraceFile(const TempTraceFile&) = delete;
    TempTraceFile& operator=(const TempTraceFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Copies the file at `path` to `out` byte for byte. False when the file
// cannot be read or the output cannot be written.
bool copyFileTo(const std::string& path, std::FILE* out);

}  // namespace qmv
