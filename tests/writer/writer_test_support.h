// Test support for the writer: bytes shown as hex text, so that a failing
// comparison shows both sides readably, and a temporary path that is removed
// again.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "qmv/writer.h"

namespace qmv::test {

// "00 1F FF".
inline std::string hex(std::span<const uint8_t> bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

// The bytes a writer has added since it held `mark` bytes.
inline std::string hexSince(const SceneWriter& w, size_t mark) {
    return hex(std::span<const uint8_t>(w.bytes()).subspan(mark));
}

// A header with 32-bit absolute and 24-bit relative points: 29 bytes.
inline constexpr size_t kHeaderBytes = 29;

// A unique path in the temporary folder with the given ending; the file, if
// any, is removed with the object.
class TempPath {
public:
    explicit TempPath(const std::string& suffix) {
        std::string pattern = "/tmp/qmv-writer-test-XXXXXX" + suffix;
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
        if (fd >= 0) ::close(fd);
        path_ = name.data();
    }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;
    ~TempPath() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace qmv::test
