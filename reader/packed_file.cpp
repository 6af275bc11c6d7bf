// The PackedFile: buffered reads of a raw file or of the inflated bytes of one
// zlib stream, handed out a block at a time.
#include "qmv/packed_file.h"

#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <new>

#include "inflate_ahead.h"
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
    // File bytes read so far: counted by the inflating thread, read by the
    // parse for its progress.
    std::atomic<uint64_t> bytesRead{0};

    // Compressed: the inflated bytes produced so far and the most the stream
    // may inflate to (0: no limit).
    uint64_t inflatedBytes = 0;
    uint64_t inflateLimit = 0;
    std::atomic<bool> inflateLimitHit{false};  // set by the inflating thread
    bool stopped = false;                      // by the progress hook

    std::unique_ptr<uint8_t[]> inBuffer;
    std::unique_ptr<uint8_t[]> outBuffer;
    std::unique_ptr<Inflater> inflater;
    // The bytes not yet handed out.
    const uint8_t* pos = nullptr;
    const uint8_t* end = nullptr;

    PackedProgress progress = nullptr;
    void* progressData = nullptr;

    // Compressed: the thread inflating ahead, started at the first read (when
    // the limit is known). Without one the parse inflates in its own thread.
    std::unique_ptr<InflateAhead> ahead;
    bool aheadTried = false;

    ~PackedFile() {
        ahead.reset();  // before the file and the inflater it uses
        if (file != nullptr) std::fclose(file);
    }
};

namespace {

size_t readFile(PackedFile* pf, uint8_t* into) {
    if (pf->fileEnded || pf->file == nullptr) return 0;
    const size_t got = std::fread(into, 1, PackedFile::kBufferSize, pf->file);
    if (got < PackedFile::kBufferSize) pf->fileEnded = true;
    pf->bytesRead.fetch_add(got, std::memory_order_relaxed);
    return got;
}

// Raw container: the next block of the file.
size_t refillRaw(PackedFile* pf) { return readFile(pf, pf->outBuffer.get()); }

// Compressed container: inflates until some bytes come out, the stream ends,
// or no progress is possible. A corrupt or cut stream reads as data that ends
// early.
size_t inflateBlock(PackedFile* pf, uint8_t* into, size_t capacity) {
    Inflater& inflater = *pf->inflater;
    for (;;) {
        if (pf->streamEnded) return 0;
        if (inflater.inputUsed() && !pf->fileEnded) {
            inflater.give(pf->inBuffer.get(), readFile(pf, pf->inBuffer.get()));
        }
        size_t produced = 0;
        const Inflater::Result result =
            inflater.run(into, capacity, produced);
        pf->inflatedBytes += produced;
        if (pf->inflateLimit != 0 && pf->inflatedBytes > pf->inflateLimit) {
            pf->inflateLimitHit.store(true, std::memory_order_relaxed);
            return 0;
        }
        if (result != Inflater::Result::More) pf->streamEnded = true;
        if (produced > 0) return produced;
        // Nothing came out of the last input: the stream was cut short.
        if (inflater.inputUsed() && pf->fileEnded) return 0;
    }
}

size_t produceInflated(void* source, uint8_t* into, size_t capacity) {
    return inflateBlock(static_cast<PackedFile*>(source), into, capacity);
}

// The next block of the data into pos and end; false at its end.
bool nextBytes(PackedFile* pf) {
    if (!pf->compressed) {
        const size_t got = refillRaw(pf);
        pf->pos = pf->outBuffer.get();
        pf->end = pf->pos + got;
        return got > 0;
    }
    if (!pf->aheadTried) {
        pf->aheadTried = true;
        pf->ahead.reset(new (std::nothrow) InflateAhead(produceInflated, pf, PackedFile::kBufferSize));
        if (pf->ahead != nullptr && !pf->ahead->ok()) pf->ahead.reset();
    }
    if (pf->ahead != nullptr) return pf->ahead->next(&pf->pos, &pf->end);
    const size_t got = inflateBlock(pf, pf->outBuffer.get(), PackedFile::kBufferSize);
    pf->pos = pf->outBuffer.get();
    pf->end = pf->pos + got;
    return got > 0;
}

bool refill(PackedFile* pf) {
    if (pf->dataEnded) return false;
    if (!nextBytes(pf)) {
        pf->dataEnded = true;
        return false;
    }
    // Told after every refill, also of a compressed file's blocks that took
    // no new input, so that a stop takes effect within one buffer.
    if (pf->progress != nullptr &&
        !pf->progress(pf->progressData, pf->bytesRead.load(std::memory_order_relaxed), pf->fileBytes)) {
        pf->stopped = true;
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
    pf->ahead.reset();
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

PackedStop packedStopReason(const PackedFile* pf) {
    if (pf == nullptr || !pf->dataEnded) return PackedStop::None;
    if (pf->stopped) return PackedStop::Stopped;
    // The end came through the ring after the flag was set.
    return pf->inflateLimitHit.load(std::memory_order_relaxed) ? PackedStop::InflateLimit
                                                               : PackedStop::None;
}
uint64_t packedFileBytes(const PackedFile* pf) { return pf != nullptr ? pf->fileBytes : 0; }
bool packedIsCompressed(const PackedFile* pf) { return pf != nullptr && pf->compressed; }
void packedSetInflateLimit(PackedFile* pf, uint64_t limit) { pf->inflateLimit = limit; }

const char* packedInflaterName() { return Inflater::name(); }

void packedSetProgress(PackedFile* pf, PackedProgress hook, void* data) {
    pf->progress = hook;
    pf->progressData = data;
}

}  // namespace qmv
