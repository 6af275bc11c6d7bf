#include "inflate_ahead.h"

#include <new>

namespace qmv {

InflateAhead::InflateAhead(Produce produce, void* source, size_t blockBytes)
    : produce_(produce), source_(source), blockBytes_(blockBytes) {
    for (auto& buffer : buffers_) {
        buffer.reset(new (std::nothrow) uint8_t[blockBytes]);
        if (!buffer) return;
    }
    started_ = pthread_create(&thread_, nullptr, threadMain, this) == 0;
}

InflateAhead::~InflateAhead() {
    if (!started_) return;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        quit_ = true;
    }
    changed_.notify_all();
    pthread_join(thread_, nullptr);
}

void* InflateAhead::threadMain(void* self) {
    static_cast<InflateAhead*>(self)->run();
    return nullptr;
}

void InflateAhead::run() {
    for (;;) {
        int slot = 0;
        {
            std::unique_lock<std::mutex> guard(lock_);
            changed_.wait(guard, [&] { return quit_ || ready_ + (holding_ ? 1 : 0) < kSlots; });
            if (quit_) return;
            slot = (nextSlot_ + ready_) % kSlots;
        }
        const size_t got = produce_(source_, buffers_[slot].get(), blockBytes_);
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (got == 0) {
                ended_ = true;
            } else {
                sizes_[slot] = got;
                ++ready_;
            }
        }
        changed_.notify_all();
        if (got == 0) return;
    }
}

bool InflateAhead::next(const uint8_t** begin, const uint8_t** end) {
    std::unique_lock<std::mutex> guard(lock_);
    if (holding_) {
        holding_ = false;
        changed_.notify_all();
    }
    changed_.wait(guard, [&] { return ready_ > 0 || ended_; });
    if (ready_ == 0) return false;
    const int slot = nextSlot_;
    nextSlot_ = (nextSlot_ + 1) % kSlots;
    --ready_;
    holding_ = true;
    *begin = buffers_[slot].get();
    *end = *begin + sizes_[slot];
    return true;
}

}  // namespace qmv
