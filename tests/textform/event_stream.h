// Test support: what the reader reports for scene bytes, as the JSON Lines
// of qmv-dump --events, produced in-process with qmv-dump's own recorder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qmv::test {

std::string readerEvents(const std::vector<uint8_t>& bytes);

// A file in the temporary folder, removed again when this goes.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& suffix = ".qmv");
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile();
    const std::string& path() const { return path_; }
    bool write(const std::vector<uint8_t>& bytes) const;
    bool write(const std::string& text) const;

private:
    std::string path_;
};

// A folder in the temporary folder, removed with its files when this goes.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    const std::string& path() const { return path_; }
    std::vector<std::string> entries() const;

private:
    std::string path_;
};

}  // namespace qmv::test
