#include "bit_cursor.h"

#include <bit>

namespace qmv::textform {

int BitCursor::peek() {
    if (pos_ >= data_.size()) {
        pastEnd_ = true;
        return -1;
    }
    return data_[pos_];
}

void BitCursor::consume() {
    if (pos_ < data_.size()) ++pos_;
    partial_ = false;
}

void BitCursor::addSlot(uint8_t mask) {
    if (owner_ == nullptr || mask == 0 || pos_ >= data_.size()) return;
    slots_.push_back({pos_, std::popcount(mask),
                      static_cast<uint8_t>((data_[pos_] & mask) >> std::countr_zero(mask)), owner_,
                      true});
}

int BitCursor::take() {
    const int b = peek();
    if (b < 0) return 0;
    if (partial_) {
        // The whole byte is read after all: its skipped bits are not skipped.
        for (size_t i = slots_.size(); i-- > 0 && slots_[i].byteIndex == pos_;)
            slots_[i].live = false;
    }
    consume();
    return b;
}

void BitCursor::advanceBit() {
    if (++bitPos_ > 7) {
        consume();
        bitPos_ = 0;
    }
}

int BitCursor::bit() {
    const int b = peek();
    if (b < 0) return 0;
    if (!partial_ && bitPos_ > 0) addSlot(static_cast<uint8_t>(0xFF00u >> bitPos_));
    const int value = (b >> (7 - bitPos_)) & 1;
    partial_ = true;
    advanceBit();
    return value;
}

int BitCursor::threeBits(bool isSigned) {
    int value = 0;
    for (int n = 2; n >= 0; --n) value |= bit() << n;
    if (isSigned && (value & 4)) value -= 8;
    return value;
}

int BitCursor::twelveBits(bool isSigned) {
    int value = 0;
    if (bitPos_ == 0) {
        const int b0 = take();
        const int b1 = peek();
        value = (b0 << 4) | ((b1 < 0 ? 0 : b1) >> 4);
        if (b1 >= 0) partial_ = true;
        bitPos_ = 4;
    } else if (bitPos_ == 4) {
        if (!partial_) addSlot(0xF0);
        bitPos_ = 0;
        partial_ = false;
        const int b1 = peek() < 0 ? 0 : data_[pos_];
        consume();
        const int b2 = take();
        value = ((b1 & 0x0F) << 8) | b2;
    } else {
        fail("get1int12 called but byte frontier was no correct.");
        return -1;
    }
    if (isSigned && (value & 0x800)) value -= 4096;
    return value;
}

int BitCursor::sixteenBits(bool isSigned) {
    const int b0 = take();
    const int b1 = take();
    int value = b0 * 256 + b1;
    if (isSigned && (value & 0x8000)) value -= 65536;
    return value;
}

uint32_t BitCursor::thirtyTwoBits() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint32_t>(take());
    return value;
}

void BitCursor::align() {
    if (bitPos_ == 0) return;
    addSlot(partial_ ? static_cast<uint8_t>(0xFFu >> bitPos_) : 0xFF);
    if (peek() >= 0) consume();
    bitPos_ = 0;
}

void BitCursor::setOwner(Annotation* owner) { owner_ = owner; }

void BitCursor::settleFillers() {
    size_t kept = 0;
    for (const Slot& slot : slots_) {
        if (slot.byteIndex >= pos_) {
            slots_[kept++] = slot;
            continue;
        }
        if (slot.live) slot.owner->filler = (slot.owner->filler << slot.count) | slot.bits;
    }
    slots_.resize(kept);
}

void BitCursor::settleAllFillers() {
    for (const Slot& slot : slots_) {
        if (slot.live) slot.owner->filler = (slot.owner->filler << slot.count) | slot.bits;
    }
    slots_.clear();
}

}  // namespace qmv::textform
