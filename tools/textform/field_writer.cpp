#include "field_writer.h"

#include <bit>

namespace qmv::textform {

FieldWriter FieldWriter::continuingAt(int bitPosition) {
    // One throw-away byte brings the BitWriter to the position: bits up to
    // it, then the whole-byte write that takes that byte and keeps the
    // position, as the reader's byte reads do.
    FieldWriter writer;
    if (bitPosition > 0) writer.bits_.putBits(0, bitPosition);
    (void)writer.bits_.putByte(0);
    writer.prefix_ = 1;
    return writer;
}

void FieldWriter::setOwner(const Annotation* owner) {
    owner_ = owner;
    if (owner != nullptr && (owners_.empty() || owners_.back() != owner)) owners_.push_back(owner);
}

void FieldWriter::addSlot(size_t byteIndex, uint8_t mask) {
    if (owner_ == nullptr || mask == 0) return;
    slots_.push_back({byteIndex, mask, owner_, true, false, 0});
}

void FieldWriter::bit(bool value) {
    const int position = bits_.bitPosition();
    if (position > 0 && atFreshByte()) {
        // The reader's bit position was carried over a byte read: the bits
        // above it in this new byte are never read.
        addSlot(bits_.nextByteIndex(), static_cast<uint8_t>(0xFF00u >> position));
    }
    bits_.putBit(value);
}

void FieldWriter::bits(uint64_t value, int count) {
    for (int n = count - 1; n >= 0; --n) bit(((value >> n) & 1u) != 0);
}

bool FieldWriter::byte(uint8_t value) {
    if (!atFreshByte()) {
        // The byte read takes over the current byte, skipped bits and all.
        const size_t index = bits_.nextByteIndex();
        for (size_t i = slots_.size(); i-- > 0 && slots_[i].byteIndex == index;)
            slots_[i].live = false;
    }
    return bits_.putByte(value);
}

bool FieldWriter::twelveBits(uint16_t value) {
    const int position = bits_.bitPosition();
    if (position != 0 && position != 4) return false;
    bits(value & 0x0FFFu, 12);
    return true;
}

void FieldWriter::align() {
    const int position = bits_.bitPosition();
    if (position == 0) return;
    // The reader takes the current byte: a fresh one is skipped whole.
    const uint8_t mask = atFreshByte() ? 0xFF : static_cast<uint8_t>(0xFFu >> position);
    addSlot(bits_.nextByteIndex(), mask);
    bits_.alignToByte();
}

bool FieldWriter::settleRun(const Annotation* owner, size_t begin, size_t end, Diagnostic& error) {
    int total = 0;
    for (size_t i = begin; i < end; ++i) {
        if (slots_[i].live) total += std::popcount(slots_[i].mask);
    }
    uint64_t remaining = owner->filler;
    bool ok = true;
    if (total < 64 && (remaining >> total) != 0) {
        error.line = owner->fillerAt.line;
        error.column = owner->fillerAt.column;
        error.message = total == 0 ? std::string(
                                         "the reader skips no bits here, so the filler "
                                         "value must be 0")
                                   : "the filler value needs more than the " +
                                         std::to_string(total) + " bits that the reader skips here";
        ok = false;
        remaining = 0;
    }
    // The first skipped bit in file order is the most significant.
    int left = total;
    for (size_t i = begin; i < end; ++i) {
        Slot& slot = slots_[i];
        slot.settled = true;
        if (!slot.live) continue;
        uint8_t value = 0;
        for (int b = 7; b >= 0; --b) {
            if (((slot.mask >> b) & 1u) == 0) continue;
            --left;
            if (left < 64 && ((remaining >> left) & 1u)) value |= static_cast<uint8_t>(1u << b);
        }
        slot.value = value;
    }
    return ok;
}

bool FieldWriter::settleFillers(Diagnostic& error) {
    bool ok = true;
    size_t next = firstUnsettled_;
    for (const Annotation* owner : owners_) {
        const size_t begin = next;
        while (next < slots_.size() && slots_[next].owner == owner) ++next;
        if (!settleRun(owner, begin, next, error) && ok) ok = false;
        if (!ok) break;
    }
    owners_.clear();
    firstUnsettled_ = slots_.size();
    return ok;
}

std::vector<uint8_t> FieldWriter::bytes() const {
    const std::vector<uint8_t>& written = bits_.bytes();
    std::vector<uint8_t> out(written.begin() + static_cast<std::ptrdiff_t>(prefix_), written.end());
    for (const Slot& slot : slots_) {
        if (!slot.live || !slot.settled) continue;
        uint8_t& b = out[slot.byteIndex - prefix_];
        b = static_cast<uint8_t>((b & ~slot.mask) | (slot.value & slot.mask));
    }
    return out;
}

}  // namespace qmv::textform
