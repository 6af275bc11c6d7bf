#include "qmv/viewer/file_signature.h"

#include <sys/stat.h>

namespace qmv::viewer {

FileSignature fileSignature(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    constexpr int64_t kNs = 1000000000;
    return {true,
            static_cast<uint64_t>(info.st_dev),
            static_cast<uint64_t>(info.st_ino),
            static_cast<uint64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * kNs + info.st_mtim.tv_nsec,
            static_cast<int64_t>(info.st_ctim.tv_sec) * kNs + info.st_ctim.tv_nsec};
}

}  // namespace qmv::viewer
