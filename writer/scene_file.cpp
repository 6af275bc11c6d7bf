// Saving scene bytes: raw, or deflated as one zlib stream at level 9.
#include "qmv/writer/scene_file.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <new>

#include "qmv/format.h"
#include "qmv/writer/scene_writer.h"

namespace qmv {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool writeAll(std::FILE* f, const uint8_t* data, size_t size) {
    return size == 0 || std::fwrite(data, 1, size, f) == size;
}

// Deflates `bytes` to `f` a buffer at a time.
bool writeDeflated(std::FILE* f, std::span<const uint8_t> bytes) {
    z_stream z{};
    if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK) return false;
    constexpr size_t kChunk = 64 * 1024;
    std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[kChunk]);
    bool good = out != nullptr;
    const uint8_t* next = bytes.data();
    size_t left = bytes.size();
    int rc = Z_OK;
    while (good && rc != Z_STREAM_END) {
        // zlib counts input in uInt; very large scenes go in pieces.
        if (z.avail_in == 0 && left > 0) {
            const size_t piece = left < (size_t{1} << 30) ? left : (size_t{1} << 30);
            z.next_in = const_cast<Bytef*>(next);
            z.avail_in = static_cast<uInt>(piece);
            next += piece;
            left -= piece;
        }
        z.next_out = out.get();
        z.avail_out = static_cast<uInt>(kChunk);
        rc = deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
        good = (rc == Z_OK || rc == Z_STREAM_END || rc == Z_BUF_ERROR) &&
               writeAll(f, out.get(), kChunk - z.avail_out);
    }
    return deflateEnd(&z) == Z_OK && good;
}

}  // namespace

bool saveSceneBytes(std::span<const uint8_t> bytes, const std::string& path, std::string& why) {
    return writeSceneBytes(bytes, path, isCompressedName(path.c_str()), why);
}

bool writeSceneBytes(std::span<const uint8_t> bytes, const std::string& path, bool compressed,
                     std::string& why) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        why = "cannot open the file for writing";
        return false;
    }
    const bool written = compressed ? writeDeflated(file.get(), bytes)
                                    : writeAll(file.get(), bytes.data(), bytes.size());
    if (!written) {
        why = compressed ? "compressing or writing failed" : "writing failed";
        return false;
    }
    if (std::fclose(file.release()) != 0) {
        why = "closing the file failed";
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
