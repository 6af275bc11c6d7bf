// The cursor's out-of-line reads: refills, 12-bit numbers, and a whole-byte
// read of a byte whose bits were being read.
#include "qmv/bit_cursor.h"

namespace qmv {

bool BitCursor::fill() {
    if (ended_ || refill_ == nullptr) return false;
    const uint8_t* begin = nullptr;
    const uint8_t* end = nullptr;
    // The source may end the cursor while refilling (the reader does when it
    // records why the data stopped).
    if (!refill_(source_, &begin, &end) || ended_ || begin == end) return false;
    base_ += static_cast<uint64_t>(cur_ - begin_);
    begin_ = cur_ = begin;
    end_ = end;
    return true;
}

int BitCursor::takeWholePartial() {
    if (skipped_ != nullptr) skipped_->readWhole(offset());
    partial_ = false;
    return *cur_++;
}

// Two 12-bit numbers fill three bytes: the first starts at a byte frontier,
// the second at the half-byte frontier of the middle byte.
int BitCursor::twelveBits(bool isSigned) {
    int value = 0;
    if (bitPos_ == 0) {
        const int b0 = take();
        const int b1 = peekByte();
        value = (b0 << 4) | ((b1 < 0 ? 0 : b1) >> 4);
        if (b1 >= 0) partial_ = true;
        bitPos_ = 4;
    } else if (bitPos_ == 4) {
        bitPos_ = 0;
        int b1 = peekByte();
        if (b1 >= 0) {
            if (!partial_ && skipped_ != nullptr) noteSkipped(0xF0);
            ++cur_;
        } else {
            ++missedReads_;
            b1 = 0;
        }
        partial_ = false;
        const int b2 = take();
        value = ((b1 & 0x0F) << 8) | b2;
    } else {
        fail(kTwelveBitFrontier);
        return 0;
    }
    if (isSigned && (value & 0x800)) value -= 4096;
    return value;
}

}  // namespace qmv
