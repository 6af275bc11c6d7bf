// The PackedFile: buffered reads of a raw file or of the inflated bytes of one
// zlib stream, handed out a block at a time.
#include "qmv/packed_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <new>

#include "inflater.h"

namespace qmv {

struct PackedFile {
    static constexpr size_t kBufferSize = kPackedBlockBytes;

    bool compressed = false;
    std::FILE* file = nullptr;
    bool fileEnded = false;   // fread found the end of the file
    bool dataEnded = false;   // every byte handed out and no more to come
    bool streamEnded = false; // the inflater reached the end of the stream
    uint64_t fileBytes = 0;   // the size of the file when it was opened
    uint64_t bytesRead = 0;   // file bytes read so far

    // Compressed: the inflated bytes produced so far and the most the stream
    // may inflate to (0: no limit).
    uint64_t inflatedBytes = 0;
    uint64_t inflateLimit = 0;
    PackedStop stop = PackedStop::None;

    std::unique_ptr<uint8_t[]> inBuffer;
    std::unique_ptr<uint8_t[]> outBuffer;
    std::unique_ptr<Inflater> inflater;
    // The bytes not yet handed out.
    const uint8_t* pos = nullptr;
    const uint8_t* end = nullptr;

    PackedProgress progress = nullptr;
    void* progressData = nullptr;

    ~PackedFile() {
        if (file != nullptr) std::fclose(file);
    }
};

namespace {

size_t readFile(PackedFile* pf, uint8_t* into) {
    if (pf->fileEnded || pf->file == nullptr) return 0;
    const size_t got = std::fread(into, 1, PackedFile::kBufferSize, pf->file);
    if (got < PackedFile::kBufferSize) pf->fileEnded = true;
    pf->bytesRead += got;
    return got;
}

// Raw container: the next block of the file.
size_t refillRaw(PackedFile* pf) { return readFile(pf, pf->outBuffer.get()); }

// Compressed container: inflates until some bytes come out, the stream ends,
// or no progress is possible. A corrupt or cut stream reads as data that ends
// early.
size_t refillCompressed(PackedFile* pf) {
    Inflater& inflater = *pf->inflater;
    for (;;) {
        if (pf->streamEnded) return 0;
        if (inflater.inputUsed() && !pf->fileEnded) {
            inflater.give(pf->inBuffer.get(), readFile(pf, pf->inBuffer.get()));
        }
        size_t produced = 0;
        const Inflater::Result result =
            inflater.run(pf->outBuffer.get(), PackedFile::kBufferSize, produced);
        pf->inflatedBytes += produced;
        if (pf->inflateLimit != 0 && pf->inflatedBytes > pf->inflateLimit) {
            pf->stop = PackedStop::InflateLimit;
            return 0;
        }
        if (result != Inflater::Result::More) pf->streamEnded = true;
        if (produced > 0) return produced;
        // Nothing came out of the last input: the stream was cut short.
        if (inflater.inputUsed() && pf->fileEnded) return 0;
    }
}

bool refill(PackedFile* pf) {
    if (pf->dataEnded) return false;
    const size_t got = pf->compressed ? refillCompressed(pf) : refillRaw(pf);
    if (got == 0) {
        pf->dataEnded = true;
        return false;
    }
    pf->pos = pf->outBuffer.get();
    pf->end = pf->pos + got;
    // Told after every refill, also of a compressed file's blocks that took
    // no new input, so that a stop takes effect within one buffer.
    if (pf->progress != nullptr && !pf->progress(pf->progressData, pf->bytesRead, pf->fileBytes)) {
        pf->stop = PackedStop::Stopped;
        pf->dataEnded = true;
        pf->pos = pf->end;
        return false;
    }
    return true;
}

// The PackedFile with its buffers and, when compressed, its inflater; no
// file yet.
std::unique_ptr<PackedFile> packedCreate(int compressed) {
    if (compressed != 0 && compressed != 1) return nullptr;
    std::unique_ptr<PackedFile> pf(new (std::nothrow) PackedFile);
    if (pf == nullptr) return nullptr;
    pf->compressed = compressed == 1;
    pf->outBuffer.reset(new (std::nothrow) uint8_t[PackedFile::kBufferSize]);
    if (!pf->outBuffer) return nullptr;
    if (pf->compressed) {
        pf->inBuffer.reset(new (std::nothrow) uint8_t[PackedFile::kBufferSize]);
        pf->inflater.reset(new (std::nothrow) Inflater);
        if (!pf->inBuffer || pf->inflater == nullptr || !pf->inflater->ok()) return nullptr;
    }
    return pf;
}

}  // namespace

PackedFile* packedOpen(const char* path, int compressed) {
    if (path == nullptr) return nullptr;
    std::unique_ptr<PackedFile> pf = packedCreate(compressed);
    if (pf == nullptr) return nullptr;
    pf->file = std::fopen(path, "rb");
    // A directory opens as a stream on this platform but holds no bytes.
    struct stat info;
    if (pf->file == nullptr || fstat(fileno(pf->file), &info) != 0 || S_ISDIR(info.st_mode)) {
        return nullptr;
    }
    pf->fileBytes = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
    return pf.release();
}

PackedFile* packedOpenMemory(const void* data, size_t size, int compressed) {
    std::unique_ptr<PackedFile> pf = packedCreate(compressed);
    if (pf == nullptr) return nullptr;
    pf->fileBytes = size;
    if (size == 0) {
        pf->fileEnded = true;  // nothing to read: no stream either
        return pf.release();
    }
    // The bytes are read as a stream, through the same buffers as a file's.
    pf->file = fmemopen(const_cast<void*>(data), size, "rb");
    if (pf->file == nullptr) return nullptr;
    return pf.release();
}

int packedClose(PackedFile* pf) {
    if (pf == nullptr) return -1;
    const int closed = pf->file != nullptr ? std::fclose(pf->file) : 0;
    pf->file = nullptr;
    delete pf;
    return closed == 0 ? 0 : -1;
}

bool packedNextBlock(PackedFile* pf, const uint8_t** begin, const uint8_t** end) {
    if (pf == nullptr || (pf->pos == pf->end && !refill(pf))) return false;
    *begin = pf->pos;
    *end = pf->end;
    pf->pos = pf->end;
    return true;
}

int packedPeek(PackedFile* pf) {
    if (pf == nullptr || (pf->pos == pf->end && !refill(pf))) return -1;
    return *pf->pos;
}

int packedGetc(PackedFile* pf) {
    const int b = packedPeek(pf);
    if (b >= 0) ++pf->pos;
    return b;
}

PackedStop packedStopReason(const PackedFile* pf) { return pf != nullptr ? pf->stop : PackedStop::None; }
uint64_t packedFileBytes(const PackedFile* pf) { return pf != nullptr ? pf->fileBytes : 0; }
bool packedIsCompressed(const PackedFile* pf) { return pf != nullptr && pf->compressed; }
void packedSetInflateLimit(PackedFile* pf, uint64_t limit) { pf->inflateLimit = limit; }

void packedSetProgress(PackedFile* pf, PackedProgress hook, void* data) {
    pf->progress = hook;
    pf->progressData = data;
}

}  // namespace qmv
