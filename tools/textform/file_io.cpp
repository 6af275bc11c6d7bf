#include "qmv/textform/file_io.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "qmv/format.h"
#include "qmv/packed_file.h"
#include "qmv/writer/scene_file.h"

namespace qmv::textform {

namespace {

struct PackedCloser {
    void operator()(PackedFile* file) const { packedClose(file); }
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The folder part of a path, with its trailing slash ("" for none).
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

bool readSceneFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& why) {
    std::unique_ptr<PackedFile, PackedCloser> file(
        packedOpen(path.c_str(), isCompressedName(path.c_str()) ? 1 : 0));
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    const uint8_t* begin = nullptr;
    const uint8_t* end = nullptr;
    while (packedNextBlock(file.get(), &begin, &end)) bytes.insert(bytes.end(), begin, end);
    return true;
}

bool readTextFile(const std::string& path, std::string& text, std::string& why) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, n);
    if (std::ferror(file.get())) {
        why = "read error";
        return false;
    }
    return true;
}

bool writeFileWhole(const std::string& path, std::span<const uint8_t> bytes, bool compressed,
                    std::string& why) {
    std::string temp = folderOf(path) + ".qmv-textform-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        why = std::string("cannot create a temporary file beside it: ") + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; give it the permissions a new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    bool ok = writeSceneBytes(bytes, temp, compressed, why);
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        why = std::string("cannot rename the temporary file: ") + std::strerror(errno);
        ok = false;
    }
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace qmv::textform
