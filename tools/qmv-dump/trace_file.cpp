#include "trace_file.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace qmv {

namespace {

std::string tempFolder() {
    const char* dir = std::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

TempTraceFile::TempTraceFile() {
    std::string pattern = tempFolder() + "/qmv-dump-trace-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return;
    // The reader reopens the file by name; the descriptor only reserved it.
    ::close(fd);
    path_ = name.data();
}

TempTraceFile::~TempTraceFile() {
    if (!path_.empty()) std::remove(path_.c_str());
}

bool copyFileTo(const std::string& path, std::FILE* out) {
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(path.c_str(), "rb"));
    if (!in) return false;
    std::vector<char> chunk(size_t{1} << 16);
    size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), in.get())) > 0) {
        if (std::fwrite(chunk.data(), 1, got, out) != got) return false;
    }
    return std::ferror(in.get()) == 0 && std::fflush(out) == 0;
}

}  // namespace qmv
