// The lowest layer of the scene writer: packs bits, nibble-aligned 12-bit
// numbers, bytes and big-endian numbers in exactly the order in which the
// scene reader takes them apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmv {

// The reader holds one current byte and a bit position inside it. Bit reads
// walk the current byte from its most significant bit down and consume it
// with its eighth bit. Whole-byte reads ignore the bit position: they consume
// the current byte as it stands, even when bit reads have used some of its bits,
// and leave the bit position unchanged, so that the next bit read starts that
// many bits into the following byte. Alignment consumes the current byte
// whenever the bit position is not 0, whether or not bits of it were read.
//
// This writer keeps the same two numbers and emits the bytes such a reader
// needs. Files where every bit-packed run ends with an alignment never see
// the odd cases; the operand orders that do (a 3- or 6-bit point followed
// directly by byte operands) get these rules:
//   - a whole byte written while bits of the current byte are packed becomes
//     that current byte, so it must agree with those bits; putByte reports a
//     clash rather than emit bytes that read back differently;
//   - bits written after a whole byte at bit position p start p bits into a
//     fresh byte; the p skipped high bits are never read and are left zero;
//   - alignment at a non-zero bit position always ends one byte, appending a
//     zero byte when the current one holds no bits yet.
class BitWriter {
public:
    // One bit at the current bit position.
    void putBit(bool bit);

    // The low `count` bits of `value` (count 0 to 64), most significant first.
    void putBits(uint64_t value, int count);

    // A whole-byte read. False when the current byte already holds packed
    // bits that differ from `value`; the byte is written as `value` anyway.
    [[nodiscard]] bool putByte(uint8_t value);

    // A 12-bit number, which the reader takes only from a byte frontier or a
    // half-byte frontier. False (and nothing written) at any other position.
    [[nodiscard]] bool put12(uint16_t value);

    // Big-endian whole-byte numbers; false when a byte clashes (putByte).
    [[nodiscard]] bool put16(uint16_t value);
    [[nodiscard]] bool put32(uint32_t value);
    [[nodiscard]] bool putFloat(float value);
    [[nodiscard]] bool putDouble(double value);

    // Moves to the next byte frontier; pads with zero bits.
    void alignToByte();

    // How many bits of the reader's current byte are used (0 at a frontier).
    int bitPosition() const { return bitPos_; }

    // Index of the byte that the next whole-byte write becomes.
    size_t nextByteIndex() const { return current_; }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    // The byte the reader holds as current, appending it when absent.
    uint8_t& currentByte();

    std::vector<uint8_t> bytes_;
    // Index of the reader's current byte: bytes_.size() when no bit of it has
    // been written yet, otherwise the last byte.
    size_t current_ = 0;
    int bitPos_ = 0;
    // The bits of the current byte that bit writes have fixed.
    uint8_t packedMask_ = 0;
};

}  // namespace qmv
