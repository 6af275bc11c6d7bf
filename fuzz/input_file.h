// The reader opens scene files by path, so each fuzz input is written to one
// file per process and read back from there. The container is chosen from
// the content, as a person naming a download would: bytes that start like a
// zlib stream (0x78) get a ".qmvz" name, anything else ".qmv".
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qmv::fuzz {

class InputFile {
public:
    InputFile() {
        const char* dir = std::getenv("QMV_FUZZ_TMPDIR");
        if (dir == nullptr || *dir == '\0') dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        base_ = std::string(dir) + "/qmv-fuzz-" + std::to_string(getpid());
    }
    ~InputFile() {
        std::remove((base_ + ".qmv").c_str());
        std::remove((base_ + ".qmvz").c_str());
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Writes the bytes and returns the path to read them from, or nullptr
    // when the file cannot be written.
    const char* write(const uint8_t* data, size_t size) {
        const bool compressed = size > 0 && data[0] == 0x78;
        path_ = base_ + (compressed ? ".qmvz" : ".qmv");
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) return nullptr;
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd, data + done, size - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(fd);
        return done == size ? path_.c_str() : nullptr;
    }

private:
    std::string base_;
    std::string path_;
};

}  // namespace qmv::fuzz
