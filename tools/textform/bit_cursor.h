// The disassembler's view of a scene held in memory: the reader's own bit
// cursor (qmv/bit_cursor.h) decodes every value, and this layer notes what
// the text has to say explicitly: the bits the reader skips (see FieldWriter,
// which writes them back), the first problem the reader would record, and
// whether anything was read past the end of the data, where the reader would
// read zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "command.h"
#include "qmv/bit_cursor.h"

namespace qmv::textform {

class FieldCursor : private SkippedBits {
public:
    explicit FieldCursor(std::span<const uint8_t> data) : in_(data) { in_.setSkippedBits(this); }
    FieldCursor(const FieldCursor&) = delete;
    FieldCursor& operator=(const FieldCursor&) = delete;

    // The current byte, or -1 at the end (and the read marked as past it).
    int peek() { return in_.peekByte(); }
    // True at the end of the data, marking nothing: where the reader's own
    // test stops a loop early, the caller marks that (notePastEnd).
    bool atEnd() { return in_.exhausted(); }

    int take() { return in_.take(); }
    int bit() { return in_.bit(); }
    int threeBits(bool isSigned) { return in_.threeBits(isSigned); }
    // -1 with the failure recorded off a frontier, as the reader records then.
    int twelveBits(bool isSigned);
    int sixteenBits(bool isSigned) { return in_.sixteenBits(isSigned); }
    uint32_t thirtyTwoBits() { return in_.thirtyTwoBits(); }
    void align() { in_.align(); }

    // Skipped bits from here on belong to `owner` (nullptr: nobody's).
    void setOwner(Annotation* owner) { owner_ = owner; }
    // Hands each owner the skipped bits of the bytes already consumed, as its
    // filler value (a byte still current may yet be read whole).
    void settleFillers();
    // The same for every skipped bit, at the end of a command.
    void settleAllFillers();

    // The first problem the reader records, or "".
    const std::string& failure() const { return failure_; }
    void fail(const std::string& message) {
        if (failure_.empty()) failure_ = message;
    }
    bool ranPastEnd() const { return pastEnd_ || in_.ended(); }
    // Marks that the reader, at this point, would have stopped a loop at
    // the end of the data (its lists are then shorter than their counts).
    void notePastEnd() { pastEnd_ = true; }
    bool stopped() const { return ranPastEnd() || !failure_.empty(); }

    size_t offset() const { return static_cast<size_t>(in_.offset()); }
    int bitPosition() const { return in_.bitPosition(); }
    // True when bits of the current byte have been read.
    bool inPartialByte() const { return in_.inPartialByte(); }

private:
    struct Slot {
        uint64_t byteIndex;
        int count;
        uint8_t bits;  // the skipped bits, right-aligned
        Annotation* owner;
        bool live;
    };

    void skipped(uint64_t offset, uint8_t byte, uint8_t mask) override;
    void readWhole(uint64_t offset) override;

    BitCursor in_;
    bool pastEnd_ = false;
    std::string failure_;
    Annotation* owner_ = nullptr;
    std::vector<Slot> slots_;
};

}  // namespace qmv::textform
