// Test support: a file in the temporary folder that is removed again.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qmv::test {

class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& bytes, const std::string& suffix = ".qmv") {
        std::string pattern = "/tmp/qmv-test-XXXXXX" + suffix;
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
        path_ = name.data();
        if (fd >= 0) {
            if (!bytes.empty()) {
                ssize_t written = ::write(fd, bytes.data(), bytes.size());
                (void)written;
            }
            ::close(fd);
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace qmv::test
