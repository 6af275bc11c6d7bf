// The bit cursor: the one decoder of the format's bit rules, over bytes in
// memory or blocks handed out by a source (a PackedFile, for the reader).
//
// There is one current byte and a bit position inside it. Bit reads go from
// the most significant bit down and consume the byte with its eighth bit.
// Whole-byte reads take the current byte whatever the position and leave the
// position alone. A 12-bit number starts only at a byte or half-byte
// frontier. Alignment takes the current byte when the position is not 0.
// Once the data has ended (or `end` was called, as the reader does on its
// first error) every read yields 0 and the position stays where it was.
//
// A parse owns one cursor; tests and the text form's disassembler make their
// own. The disassembler also needs to know which bits were passed over
// without being read, to write them back: a SkippedBits observer is told.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qmv {

// Told of the bits a cursor passes over unread: the bits of `byte` (at
// `offset` in the data) under `mask`.
class SkippedBits {
public:
    virtual void skipped(uint64_t offset, uint8_t byte, uint8_t mask) = 0;
    // The byte at `offset`, some of its bits read, was then read whole: the
    // bits reported skipped in it were not skipped after all.
    virtual void readWhole(uint64_t offset) = 0;

protected:
    ~SkippedBits() = default;
};

class BitCursor {
public:
    // Puts the next block of bytes in [*begin, *end); false when none is left.
    using Refill = bool (*)(void* source, const uint8_t** begin, const uint8_t** end);

    BitCursor() = default;
    explicit BitCursor(std::span<const uint8_t> bytes)
        : begin_(bytes.data()), cur_(bytes.data()), end_(bytes.data() + bytes.size()) {}
    BitCursor(Refill refill, void* source) : refill_(refill), source_(source) {}

    void setSkippedBits(SkippedBits* observer) { skipped_ = observer; }
    // Also told of the cursor's own failures (the reader records them).
    void setFailureSink(void (*sink)(const char* message)) { failureSink_ = sink; }

    // The current byte, or -1 when none is left (the data is then marked
    // ended). take consumes it.
    int peekByte() {
        if (cur_ < end_) return *cur_;
        return fill() ? *cur_ : endHere();
    }
    int takeByte() {
        if (cur_ < end_) [[likely]] {
            if (partial_) [[unlikely]] return takeWholePartial();
            return *cur_++;
        }
        if (!fill()) {
            ++missedReads_;
            return endHere();
        }
        partial_ = false;
        return *cur_++;
    }

    // As peekByte and takeByte, 0 in place of -1.
    int peek() {
        const int b = peekByte();
        return b < 0 ? 0 : b;
    }
    int take() {
        const int b = takeByte();
        return b < 0 ? 0 : b;
    }

    int signedByte() {
        const int b = take();
        return b > 127 ? b - 256 : b;
    }

    // True when the data has ended; it is then marked so.
    bool atEnd() { return peekByte() < 0; }
    // True when no byte is left, marking nothing.
    bool exhausted() { return cur_ >= end_ && (ended_ || !fill()); }

    int bit() {
        const int b = peekByte();
        if (b < 0) {
            ++missedReads_;
            return 0;
        }
        if (!partial_ && bitPos_ > 0 && skipped_ != nullptr)
            noteSkipped(static_cast<uint8_t>(0xFF00u >> bitPos_));
        partial_ = true;
        const int value = (b >> (7 - bitPos_)) & 1;
        if (++bitPos_ > 7) {
            ++cur_;
            partial_ = false;
            bitPos_ = 0;
        }
        return value;
    }

    int threeBits(bool isSigned) {
        int value = bit() << 2;
        value |= bit() << 1;
        value |= bit();
        if (isSigned && (value & 4)) value -= 8;
        return value;
    }
    // Off a frontier it records `kTwelveBitFrontier` and yields 0.
    int twelveBits(bool isSigned);
    int sixteenBits(bool isSigned) {
        const int b0 = take();
        const int value = b0 * 256 + take();
        return isSigned && (value & 0x8000) ? value - 65536 : value;
    }
    uint32_t thirtyTwoBits() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint32_t>(take());
        return value;
    }
    double floatValue() { return std::bit_cast<float>(thirtyTwoBits()); }
    double doubleValue() {
        const uint64_t high = thirtyTwoBits();
        return std::bit_cast<double>((high << 32) | thirtyTwoBits());
    }

    void align() {
        if (bitPos_ == 0) return;
        if (peekByte() >= 0) {
            if (skipped_ != nullptr)
                noteSkipped(partial_ ? static_cast<uint8_t>(0xFFu >> bitPos_) : 0xFF);
            ++cur_;
        } else {
            ++missedReads_;
        }
        partial_ = false;
        bitPos_ = 0;
    }

    // Ends the data here: every read from now on yields 0.
    void end() {
        ended_ = true;
        end_ = cur_;
    }
    bool ended() const { return ended_; }
    // The first problem recorded by the cursor itself, or nullptr.
    const char* failure() const { return failure_; }
    // Reads that found no byte: tells a value read whole from one cut short.
    uint64_t missedReads() const { return missedReads_; }

    int bitPosition() const { return bitPos_; }
    // True when bits of the current byte have been read.
    bool inPartialByte() const { return partial_; }
    // The bytes consumed so far.
    uint64_t offset() const { return base_ + static_cast<uint64_t>(cur_ - begin_); }

    // Whole-byte runs for the decoders' fast paths: the bytes at hand, and
    // consuming `count` of them as whole-byte reads would.
    const uint8_t* ready() const { return cur_; }
    size_t readyCount() const { return static_cast<size_t>(end_ - cur_); }
    void consume(size_t count) { cur_ += count; }
    // Consuming `bits` bits as bit reads would, within the bytes at hand.
    void consumeBits(size_t bits) {
        const size_t total = static_cast<size_t>(bitPos_) + bits;
        cur_ += total / 8;
        bitPos_ = static_cast<int>(total % 8);
        partial_ = bitPos_ != 0;
    }

    static constexpr const char* kTwelveBitFrontier =
        "get1int12 called but byte frontier was no correct.";

private:
    bool fill();
    int endHere() {
        end();
        return -1;
    }
    int takeWholePartial();
    void noteSkipped(uint8_t mask) {
        if (cur_ < end_) skipped_->skipped(offset(), *cur_, mask);
    }
    void fail(const char* message) {
        if (failure_ == nullptr) failure_ = message;
        if (failureSink_ != nullptr) failureSink_(message);
    }

    Refill refill_ = nullptr;
    void* source_ = nullptr;
    SkippedBits* skipped_ = nullptr;
    void (*failureSink_)(const char*) = nullptr;
    const uint8_t* begin_ = nullptr;  // the block's first byte
    const uint8_t* cur_ = nullptr;
    const uint8_t* end_ = nullptr;
    uint64_t base_ = 0;  // bytes in the blocks before this one
    uint64_t missedReads_ = 0;
    const char* failure_ = nullptr;
    int bitPos_ = 0;
    bool partial_ = false;
    bool ended_ = false;
};

}  // namespace qmv
