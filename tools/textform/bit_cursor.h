// Reads a scene held in memory by the reader's bit rules: one current byte
// and a bit position inside it; bit reads go from the most significant bit
// down and consume the byte with its eighth bit; whole-byte reads take the
// current byte whatever the position and leave the position alone; a 12-bit
// number starts only at a byte or half-byte frontier; alignment takes the
// current byte when the position is not 0.
//
// It also notes what the text has to say explicitly: the bits the reader
// skips (see FieldWriter, which writes them back) and whether anything was
// read past the end of the data, where the reader would read zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "command.h"

namespace qmv::textform {

class BitCursor {
public:
    explicit BitCursor(std::span<const uint8_t> data) : data_(data) {}

    // The current byte, or -1 at the end (and the read marked as past it).
    int peek();
    // True at the end of the data, marking nothing: where the reader's own
    // test stops a loop early, the caller marks that (notePastEnd).
    bool atEnd() const { return pos_ >= data_.size(); }

    int take();
    int bit();
    int threeBits(bool isSigned);
    // -1 with `failed` set off a frontier, as the reader records then.
    int twelveBits(bool isSigned);
    int sixteenBits(bool isSigned);
    uint32_t thirtyTwoBits();
    void align();

    // Skipped bits from here on belong to `owner` (nullptr: nobody's).
    void setOwner(Annotation* owner);
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
    bool ranPastEnd() const { return pastEnd_; }
    // Marks that the reader, at this point, would have stopped a loop at
    // the end of the data (its lists are then shorter than their counts).
    void notePastEnd() { pastEnd_ = true; }
    bool stopped() const { return pastEnd_ || !failure_.empty(); }

    size_t offset() const { return pos_; }
    int bitPosition() const { return bitPos_; }
    // True when bits of the current byte have been read.
    bool inPartialByte() const { return partial_; }

private:
    struct Slot {
        size_t byteIndex;
        int count;
        uint8_t bits;  // the skipped bits, right-aligned
        Annotation* owner;
        bool live;
    };

    void addSlot(uint8_t mask);
    void advanceBit();
    void consume();

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    int bitPos_ = 0;
    bool partial_ = false;
    bool pastEnd_ = false;
    std::string failure_;
    Annotation* owner_ = nullptr;
    std::vector<Slot> slots_;
};

}  // namespace qmv::textform
