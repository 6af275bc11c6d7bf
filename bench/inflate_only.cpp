#include "inflate_only.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

namespace qmv::bench {

namespace {

// The reader's PackedFile uses blocks of this size too, so both sides do
// the same number of reads and inflate calls.
constexpr size_t kBlock = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct InflateEnder {
    void operator()(z_stream* z) const { inflateEnd(z); }
};

}  // namespace

int64_t inflateFileDiscarding(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return -1;
    static unsigned char in[kBlock];
    static unsigned char out[kBlock];
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return -1;
    std::unique_ptr<z_stream, InflateEnder> ender(&z);
    int64_t produced = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (z.avail_in == 0) {
            const size_t got = std::fread(in, 1, kBlock, file.get());
            if (got == 0) return -1;  // the stream ended before its end marker
            z.next_in = in;
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = out;
        z.avail_out = static_cast<uInt>(kBlock);
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) return -1;
        produced += static_cast<int64_t>(kBlock - z.avail_out);
    }
    return produced;
}

}  // namespace qmv::bench
