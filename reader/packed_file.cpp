// The PackedFile: buffered reads of a raw file or of the inflated bytes of one
// zlib stream, and buffered writes (deflated at level 9 when compressed).
#include "qmv/packed_file.h"

#include <sys/stat.h>

#include <cstring>
#include <new>

namespace qmv {

bool isCompressedName(const char* path) {
    if (path == nullptr) return false;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p != '.') continue;
        if ((p[1] == 'q' || p[1] == 'Q') && (p[2] == 'm' || p[2] == 'M') &&
            (p[3] == 'v' || p[3] == 'V')) {
            return p[4] == 'z' || p[4] == 'Z';
        }
    }
    return false;
}

namespace {

void destroy(PackedFile* pf) {
    if (pf->zstreamLive) {
        if (pf->mode == PACKED_READ) {
            inflateEnd(&pf->zstream);
        } else {
            deflateEnd(&pf->zstream);
        }
        pf->zstreamLive = false;
    }
    if (pf->file != nullptr) std::fclose(pf->file);
    delete pf;
}

// Raw container: the next block of the file.
bool refillRaw(PackedFile* pf) {
    if (pf->fileEnded) return false;
    size_t got = std::fread(pf->outBuffer.get(), 1, PackedFile::kBufferSize, pf->file);
    if (got < PackedFile::kBufferSize) pf->fileEnded = true;
    pf->bytesRead += got;
    pf->outPos = 0;
    pf->outEnd = got;
    return got > 0;
}

// Compressed container: inflate until some bytes come out, the stream ends, or
// no progress is possible. A corrupt or truncated stream reads as data that
// ends early.
bool refillCompressed(PackedFile* pf) {
    z_stream& z = pf->zstream;
    pf->outPos = 0;
    pf->outEnd = 0;
    while (pf->outEnd == 0) {
        if (pf->atEof) return false;
        if (pf->streamEnded) {
            pf->atEof = 1;
            return false;
        }
        if (z.avail_in == 0 && !pf->fileEnded) {
            size_t got = std::fread(pf->inBuffer.get(), 1, PackedFile::kBufferSize, pf->file);
            if (got < PackedFile::kBufferSize) pf->fileEnded = true;
            pf->bytesRead += got;
            z.next_in = pf->inBuffer.get();
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = pf->outBuffer.get();
        z.avail_out = static_cast<uInt>(PackedFile::kBufferSize);
        pf->lastZResult = inflate(&z, Z_NO_FLUSH);
        pf->outEnd = PackedFile::kBufferSize - z.avail_out;
        pf->inflatedBytes += pf->outEnd;
        if (pf->inflateLimit != 0 && pf->inflatedBytes > pf->inflateLimit) {
            pf->inflateLimitHit = true;
            pf->atEof = 1;
            pf->outEnd = 0;
            return false;
        }
        if (pf->lastZResult == Z_STREAM_END) {
            pf->streamEnded = 1;
        } else if (pf->lastZResult != Z_OK) {
            // Z_BUF_ERROR (input exhausted) or a data error: the data ends.
            if (pf->outEnd == 0) {
                pf->atEof = 1;
                return false;
            }
            pf->streamEnded = 1;
        }
    }
    return true;
}

bool flushDeflate(PackedFile* pf, int flush) {
    z_stream& z = pf->zstream;
    for (;;) {
        z.next_out = pf->outBuffer.get();
        z.avail_out = static_cast<uInt>(PackedFile::kBufferSize);
        int rc = deflate(&z, flush);
        pf->lastZResult = rc;
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) return false;
        size_t produced = PackedFile::kBufferSize - z.avail_out;
        if (produced > 0 && std::fwrite(pf->outBuffer.get(), 1, produced, pf->file) != produced) {
            return false;
        }
        if (flush == Z_FINISH) {
            if (rc == Z_STREAM_END) return true;
        } else if (z.avail_in == 0 && z.avail_out != 0) {
            return true;
        }
    }
}

}  // namespace

namespace {

// The PackedFile with its buffers and, when compressed, its zlib stream; no
// file yet.
PackedFile* packedCreate(int mode, int compressed) {
    if ((mode != PACKED_READ && mode != PACKED_WRITE) || (compressed != 0 && compressed != 1)) return nullptr;
    auto* pf = new (std::nothrow) PackedFile;
    if (pf == nullptr) return nullptr;
    pf->mode = mode;
    pf->compressed = compressed;
    pf->inBuffer.reset(new (std::nothrow) uint8_t[PackedFile::kBufferSize]);
    pf->outBuffer.reset(new (std::nothrow) uint8_t[PackedFile::kBufferSize]);
    if (!pf->inBuffer || !pf->outBuffer) {
        destroy(pf);
        return nullptr;
    }
    if (compressed) {
        pf->zstream.zalloc = Z_NULL;
        pf->zstream.zfree = Z_NULL;
        pf->zstream.opaque = Z_NULL;
        int rc = mode == PACKED_READ ? inflateInit(&pf->zstream)
                                     : deflateInit(&pf->zstream, Z_BEST_COMPRESSION);
        if (rc != Z_OK) {
            destroy(pf);
            return nullptr;
        }
        pf->zstreamLive = true;
        pf->zstream.next_in = pf->inBuffer.get();
        pf->zstream.avail_in = 0;
    }
    return pf;
}

}  // namespace

PackedFile* packedOpen(const char* path, int mode, int compressed) {
    if (path == nullptr) return nullptr;
    PackedFile* pf = packedCreate(mode, compressed);
    if (pf == nullptr) return nullptr;
    pf->file = std::fopen(path, mode == PACKED_READ ? "rb" : "wb");
    // A directory opens as a stream on this platform but holds no bytes.
    struct stat info;
    if (pf->file == nullptr || fstat(fileno(pf->file), &info) != 0 || S_ISDIR(info.st_mode)) {
        destroy(pf);
        return nullptr;
    }
    pf->fileBytes = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
    return pf;
}

PackedFile* packedOpenMemory(const void* data, size_t size, int compressed) {
    PackedFile* pf = packedCreate(PACKED_READ, compressed);
    if (pf == nullptr) return nullptr;
    pf->fileBytes = size;
    if (size == 0) {
        pf->fileEnded = true;  // nothing to read: no stream either
        return pf;
    }
    // The bytes are read as a stream, through the same buffers as a file's.
    pf->file = fmemopen(const_cast<void*>(data), size, "rb");
    if (pf->file == nullptr) {
        destroy(pf);
        return nullptr;
    }
    return pf;
}

bool packedRefill(PackedFile* pf) {
    if (pf->outPos < pf->outEnd) return true;
    if (pf->stopped) return false;
    const bool refilled = pf->compressed ? refillCompressed(pf) : refillRaw(pf);
    // Told after every refill, also of a compressed file's blocks that took
    // no new input, so that a stop takes effect within one buffer.
    if (refilled && pf->onRefill != nullptr &&
        !pf->onRefill(pf->onRefillData, pf->bytesRead, pf->fileBytes)) {
        pf->stopped = true;
        pf->outPos = pf->outEnd = 0;
        return false;
    }
    return refilled;
}

bool packedWrite(PackedFile* pf, const uint8_t* data, size_t size) {
    if (pf == nullptr || pf->mode != PACKED_WRITE) return false;
    if (size == 0) return true;
    if (!pf->compressed) return std::fwrite(data, 1, size, pf->file) == size;
    pf->gaveInput = true;
    z_stream& z = pf->zstream;
    while (size > 0) {
        // zlib counts input in uInt; feed very large writes in pieces.
        size_t piece = size < (1u << 30) ? size : (1u << 30);
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = static_cast<uInt>(piece);
        if (!flushDeflate(pf, Z_NO_FLUSH)) return false;
        data += piece;
        size -= piece;
    }
    return true;
}

int packedClose(PackedFile* pf) {
    if (pf == nullptr) return -1;
    int result = 0;
    if (pf->compressed && pf->zstreamLive) {
        if (pf->mode == PACKED_WRITE) {
            bool finished = !pf->gaveInput || flushDeflate(pf, Z_FINISH);
            if (deflateEnd(&pf->zstream) != Z_OK && finished && pf->gaveInput) finished = false;
            if (!finished) result = -1;
        } else if (inflateEnd(&pf->zstream) != Z_OK) {
            result = -1;
        }
        pf->zstreamLive = false;
    }
    int closed = pf->file != nullptr ? std::fclose(pf->file) : 0;
    pf->file = nullptr;
    if (result == 0 && closed != 0) result = closed;
    delete pf;
    return result;
}

}  // namespace qmv
