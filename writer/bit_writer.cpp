#include "qmv/writer/bit_writer.h"

#include <bit>

namespace qmv {

uint8_t& BitWriter::currentByte() {
    if (current_ == bytes_.size()) {
        bytes_.push_back(0);
        packedMask_ = 0;
    }
    return bytes_[current_];
}

void BitWriter::putBit(bool bit) {
    const uint8_t mask = static_cast<uint8_t>(0x80u >> bitPos_);
    uint8_t& byte = currentByte();
    if (bit) {
        byte = static_cast<uint8_t>(byte | mask);
    } else {
        byte = static_cast<uint8_t>(byte & ~mask);
    }
    packedMask_ = static_cast<uint8_t>(packedMask_ | mask);
    if (++bitPos_ == 8) {
        ++current_;
        bitPos_ = 0;
        packedMask_ = 0;
    }
}

void BitWriter::putBits(uint64_t value, int count) {
    for (int n = count - 1; n >= 0; --n) putBit(((value >> n) & 1u) != 0);
}

bool BitWriter::putByte(uint8_t value) {
    bool consistent = true;
    if (current_ < bytes_.size()) {
        consistent = ((bytes_[current_] ^ value) & packedMask_) == 0;
        bytes_[current_] = value;
    } else {
        bytes_.push_back(value);
    }
    // The bit position is left as it is: the reader's byte reads do not move it.
    ++current_;
    packedMask_ = 0;
    return consistent;
}

bool BitWriter::put12(uint16_t value) {
    // From a byte frontier the reader takes eight bits and the high half of
    // the next byte; from the half-byte frontier the low half and one more
    // byte. Both are exactly twelve bits in order.
    if (bitPos_ != 0 && bitPos_ != 4) return false;
    putBits(value & 0x0FFFu, 12);
    return true;
}

bool BitWriter::put16(uint16_t value) {
    const bool high = putByte(static_cast<uint8_t>(value >> 8));
    const bool low = putByte(static_cast<uint8_t>(value));
    return high && low;
}

bool BitWriter::put32(uint32_t value) {
    const bool high = put16(static_cast<uint16_t>(value >> 16));
    const bool low = put16(static_cast<uint16_t>(value));
    return high && low;
}

bool BitWriter::putFloat(float value) { return put32(std::bit_cast<uint32_t>(value)); }

bool BitWriter::putDouble(double value) {
    const uint64_t pattern = std::bit_cast<uint64_t>(value);
    const bool high = put32(static_cast<uint32_t>(pattern >> 32));
    const bool low = put32(static_cast<uint32_t>(pattern));
    return high && low;
}

void BitWriter::alignToByte() {
    if (bitPos_ == 0) return;
    currentByte();
    ++current_;
    bitPos_ = 0;
    packedMask_ = 0;
}

}  // namespace qmv
