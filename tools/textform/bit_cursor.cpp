#include "bit_cursor.h"

#include <bit>

namespace qmv::textform {

int FieldCursor::twelveBits(bool isSigned) {
    const char* before = in_.failure();
    const int value = in_.twelveBits(isSigned);
    if (in_.failure() != before) {
        fail(in_.failure());
        return -1;
    }
    return value;
}

void FieldCursor::skipped(uint64_t offset, uint8_t byte, uint8_t mask) {
    if (owner_ == nullptr || mask == 0) return;
    slots_.push_back({offset, std::popcount(mask),
                      static_cast<uint8_t>((byte & mask) >> std::countr_zero(mask)), owner_, true});
}

void FieldCursor::readWhole(uint64_t offset) {
    for (size_t i = slots_.size(); i-- > 0 && slots_[i].byteIndex == offset;) slots_[i].live = false;
}

void FieldCursor::settleFillers() {
    const uint64_t pos = in_.offset();
    size_t kept = 0;
    for (const Slot& slot : slots_) {
        if (slot.byteIndex >= pos) {
            slots_[kept++] = slot;
            continue;
        }
        if (slot.live) slot.owner->filler = (slot.owner->filler << slot.count) | slot.bits;
    }
    slots_.resize(kept);
}

void FieldCursor::settleAllFillers() {
    for (const Slot& slot : slots_) {
        if (slot.live) slot.owner->filler = (slot.owner->filler << slot.count) | slot.bits;
    }
    slots_.clear();
}

}  // namespace qmv::textform
