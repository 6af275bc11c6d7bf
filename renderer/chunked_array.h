// An array that grows by fixed chunks instead of by doubling: no copy of
// what it holds as it grows and no spare half, and it can be handed over
// chunk by chunk, each freed once it is copied. The scene's vertex pools
// are of this kind, so that reading a drawing of tens of millions of
// points never holds two copies of them.
//
// Chunks are mapped from the system and unmapped again, not taken from the
// heap: a freed heap block in the middle of the heap stays with the
// process, and the upload would then hold the pools and the buffers both.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <memory>
#include <cstdlib>
#include <span>
#include <type_traits>
#include <vector>

namespace qmv::renderer {

// Pages of the system's, for trivially copyable values.
struct MappedChunkDeleter {
    size_t bytes = 0;
    void operator()(void* p) const {
        if (p != nullptr) munmap(p, bytes);
    }
};

template <typename T>
std::unique_ptr<T[], MappedChunkDeleter> mapChunk(size_t count) {
    static_assert(std::is_trivially_copyable_v<T>);
    const size_t bytes = count * sizeof(T);
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) std::abort();  // out of memory, as operator new ends without exceptions
    return std::unique_ptr<T[], MappedChunkDeleter>(static_cast<T*>(p), MappedChunkDeleter{bytes});
}

template <typename T>
class ChunkedArray {
public:
    static constexpr size_t kChunkShift = 16;
    static constexpr size_t kChunk = size_t{1} << kChunkShift;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void push_back(const T& value) {
        if ((size_ >> kChunkShift) == chunks_.size()) {
            chunks_.push_back(mapChunk<T>(kChunk));
        }
        chunks_[size_ >> kChunkShift][size_ & (kChunk - 1)] = value;
        ++size_;
    }
    T& operator[](size_t i) { return chunks_[i >> kChunkShift][i & (kChunk - 1)]; }
    const T& operator[](size_t i) const { return chunks_[i >> kChunkShift][i & (kChunk - 1)]; }

    // The values in chunk k, for a copy; then its memory may go.
    size_t chunkCount() const { return chunks_.size(); }
    std::span<const T> chunk(size_t k) const {
        const size_t begin = k << kChunkShift;
        const size_t count = size_ - begin < kChunk ? size_ - begin : kChunk;
        return {chunks_[k].get(), count};
    }
    void releaseChunk(size_t k) { chunks_[k].reset(); }
    // Lets every chunk go; the size stays, for what was handed over.
    void release() { std::vector<Chunk>().swap(chunks_); }

private:
    using Chunk = std::unique_ptr<T[], MappedChunkDeleter>;
    std::vector<Chunk> chunks_;
    size_t size_ = 0;
};

}  // namespace qmv::renderer
