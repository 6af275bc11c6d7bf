// The byte sink of the encoder: the writer's BitWriter, which packs bits and
// bytes exactly as the reader takes them apart, plus a record of every bit
// the reader skips (alignment padding, and the high bits of a fresh byte
// that a bit read enters part-way because an earlier byte read left the bit
// position there). Each skipped bit belongs to the element being written;
// the element's filler value fills them in, so that files with non-zero
// padding come out byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "command.h"
#include "qmv/textform/diagnostic.h"
#include "qmv/writer/bit_writer.h"

namespace qmv::textform {

class FieldWriter {
public:
    // Starts at a byte frontier of an empty file.
    FieldWriter() = default;

    // Starts where a command begins whose previous command left the reader's
    // bit position at `bitPosition` with no bit of the next byte read yet.
    static FieldWriter continuingAt(int bitPosition);

    // Skipped bits from here on belong to `owner` (nullptr: nobody's). Each
    // element is owned once, so that its skipped bits are one run.
    void setOwner(const Annotation* owner);

    void bits(uint64_t value, int count);
    // False when the byte is also the current byte of packed bits and
    // disagrees with them.
    [[nodiscard]] bool byte(uint8_t value);
    // False (nothing written) off a byte or half-byte frontier.
    [[nodiscard]] bool twelveBits(uint16_t value);
    void align();

    // Fills the skipped bits of the elements written since the last call with
    // their filler values. False (with `error` at the ~ annotation) when a
    // filler value has more bits than its element skips.
    bool settleFillers(Diagnostic& error);

    int bitPosition() const { return bits_.bitPosition(); }
    // True when no bit of the reader's current byte has been written: the
    // next command starts on a byte of its own.
    bool atFreshByte() const { return bits_.nextByteIndex() == bits_.bytes().size(); }

    // The bytes written so far with every settled filler in place.
    std::vector<uint8_t> bytes() const;

private:
    struct Slot {
        size_t byteIndex;
        uint8_t mask;  // the skipped bits of that byte
        const Annotation* owner;
        bool live;  // false once a whole-byte write has taken the byte over
        bool settled;
        uint8_t value;  // the bits under `mask` once settled
    };

    // Fills one owner's run of slots [begin, end).
    bool settleRun(const Annotation* owner, size_t begin, size_t end, Diagnostic& error);

    void bit(bool value);
    void addSlot(size_t byteIndex, uint8_t mask);

    BitWriter bits_;
    size_t prefix_ = 0;  // bytes written only to reach the starting position
    const Annotation* owner_ = nullptr;
    std::vector<Slot> slots_;
    std::vector<const Annotation*> owners_;  // since the last settleFillers
    size_t firstUnsettled_ = 0;
};

}  // namespace qmv::textform
