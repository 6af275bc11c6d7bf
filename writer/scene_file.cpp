#include "qmv/writer/scene_file.h"

#include <memory>

#include "qmv/packed_file.h"
#include "qmv/writer/scene_writer.h"

namespace qmv {

namespace {

// Closes a PackedFile left open on an early return; the normal path closes
// it itself to see the result.
struct PackedFileCloser {
    void operator()(PackedFile* file) const { packedClose(file); }
};

}  // namespace

bool saveSceneBytes(std::span<const uint8_t> bytes, const std::string& path, std::string& why) {
    const int compressed = isCompressedName(path.c_str()) ? 1 : 0;
    std::unique_ptr<PackedFile, PackedFileCloser> file(
        packedOpen(path.c_str(), PACKED_WRITE, compressed));
    if (!file) {
        why = "cannot open the file for writing";
        return false;
    }
    if (!packedWrite(file.get(), bytes.data(), bytes.size())) {
        why = compressed ? "compressing or writing failed" : "writing failed";
        return false;
    }
    if (packedClose(file.release()) != 0) {
        why = compressed ? "finishing the compressed stream failed" : "closing the file failed";
        return false;
    }
    return true;
}

bool SceneWriter::save(const std::string& path) {
    if (!ok()) return false;
    std::string why;
    if (saveSceneBytes(bytes(), path, why)) return true;
    errors_.record("saving " + path + ": " + why);
    return false;
}

}  // namespace qmv
