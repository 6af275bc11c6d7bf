// The byte source and sink of scene files: raw, or one zlib stream. The file
// name decides which (isCompressedName); the content is never sniffed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include <zlib.h>

namespace qmv {

// True when the first ".qmv" of the path (any case) is followed by 'z'/'Z'.
bool isCompressedName(const char* path);

inline constexpr int PACKED_READ = 0;
inline constexpr int PACKED_WRITE = 1;

struct PackedFile {
    int mode = PACKED_READ;
    int compressed = 0;
    int atEof = 0;        // every byte handed out and no more to come
    int streamEnded = 0;  // inflate reported the end of the zlib stream
    int lastZResult = Z_OK;
    std::FILE* file = nullptr;
    z_stream zstream{};
    bool zstreamLive = false;
    bool fileEnded = false;  // fread found the end of the file
    bool gaveInput = false;  // writing: the deflate stream was given a byte
    uint64_t fileBytes = 0;  // the size of the file when it was opened

    // Reading a compressed file: the inflated bytes produced so far and the
    // most the stream may inflate to (0: no limit). A stream that goes past
    // the limit ends there, with inflateLimitHit set.
    uint64_t inflatedBytes = 0;
    uint64_t inflateLimit = 0;
    bool inflateLimitHit = false;

    // Bytes ready to hand out are outBuffer[outPos, outEnd). The buffers are
    // larger than a disk block so that the per-byte path stays a compare
    // and a load.
    static constexpr size_t kBufferSize = 64 * 1024;
    std::unique_ptr<uint8_t[]> inBuffer;
    std::unique_ptr<uint8_t[]> outBuffer;
    size_t outPos = 0;
    size_t outEnd = 0;

    // Reading: the bytes read from the file so far, and a hook told of them
    // after every refill. A hook that answers false stops the data there
    // (`stopped`), as if the file ended.
    uint64_t bytesRead = 0;
    bool (*onRefill)(void* data, uint64_t bytesRead, uint64_t fileBytes) = nullptr;
    void* onRefillData = nullptr;
    bool stopped = false;
};

// nullptr for a missing path, a bad mode or compressed flag, a zlib set-up
// failure or a file that cannot be opened.
PackedFile* packedOpen(const char* path, int mode, int compressed);
// Reads `size` bytes held in memory, deflated when `compressed` is 1; they
// must stay as they are until the PackedFile is closed. nullptr for a bad
// compressed flag or a set-up failure.
PackedFile* packedOpenMemory(const void* data, size_t size, int compressed);

// Refills outBuffer; returns false when no byte is left (end or failure).
bool packedRefill(PackedFile* pf);

// The next byte 0 to 255, consumed; -1 at the end of the data or on failure.
inline int packedGetc(PackedFile* pf) {
    if (pf == nullptr || pf->mode != PACKED_READ) return -1;
    if (pf->outPos == pf->outEnd && !packedRefill(pf)) return -1;
    return pf->outBuffer[pf->outPos++];
}

// As packedGetc, but the byte stays.
inline int packedPeek(PackedFile* pf) {
    if (pf == nullptr || pf->mode != PACKED_READ) return -1;
    if (pf->outPos == pf->outEnd && !packedRefill(pf)) return -1;
    return pf->outBuffer[pf->outPos];
}

// Writes bytes to a PackedFile opened for writing (deflated when compressed).
// Returns false on a write or zlib failure.
bool packedWrite(PackedFile* pf, const uint8_t* data, size_t size);

// Finishes and closes. 0 on success, -1 when the zlib stream cannot be
// finished or ended, otherwise the result of closing the file. The file and
// the buffers are released in every case.
int packedClose(PackedFile* pf);

}  // namespace qmv
