// Inflating ahead. The problem: a parse of a compressed file waited for the
// inflater at every block, so it took the time of the two added together.
// The method: a second thread fills a ring of blocks while the parse
// consumes them, one lock per block of 64 KiB. The invariant: the parse sees
// the blocks the inflater makes, in their order, as if it inflated them
// itself; memory is the ring's, whatever the size of the file.
//
// Shared between the two threads, and only under `lock_`: which slots are
// ready, which one the parse holds, the end and the request to quit. A slot's
// bytes are written by the inflating thread while it is neither ready nor
// held, and read by the parse while it holds it.
#pragma once

#include <pthread.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace qmv {

class InflateAhead {
public:
    // Fills a block of `capacity` bytes; returns the count, 0 at the end.
    using Produce = size_t (*)(void* source, uint8_t* into, size_t capacity);

    InflateAhead(Produce produce, void* source, size_t blockBytes);
    // Asks the thread to stop after its current block and waits for it.
    ~InflateAhead();
    InflateAhead(const InflateAhead&) = delete;
    InflateAhead& operator=(const InflateAhead&) = delete;

    // False when the buffers or the thread could not be had.
    bool ok() const { return started_; }

    // The next block, valid until the next call; false at the end. The
    // block handed out before is given back to the ring.
    bool next(const uint8_t** begin, const uint8_t** end);

private:
    static constexpr int kSlots = 4;
    static void* threadMain(void* self);
    void run();

    Produce produce_;
    void* source_;
    size_t blockBytes_;
    std::unique_ptr<uint8_t[]> buffers_[kSlots];
    size_t sizes_[kSlots] = {};

    std::mutex lock_;
    std::condition_variable changed_;
    int nextSlot_ = 0;  // the slot the parse takes next
    int ready_ = 0;     // filled slots from nextSlot_ on
    bool holding_ = false;  // the parse holds the slot before nextSlot_
    bool ended_ = false;
    bool quit_ = false;

    pthread_t thread_{};
    bool started_ = false;
};

}  // namespace qmv
