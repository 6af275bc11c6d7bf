// The bit reader: the one place that turns the PackedFile's bytes into bits,
// nibble-aligned 12-bit numbers, bytes and big-endian numbers. Bits come most
// significant first. Once the data has ended or an error is recorded every
// read yields 0 and the bit position stays where it was.
#pragma once

#include <bit>
#include <cstdint>

#include "reader_context.h"

namespace qmv {

inline constexpr int GETMODE_PEEK = 4;
inline constexpr int GETMODE_TAKE = 5;
inline constexpr int VAL_UNSIGNED = 2;
inline constexpr int VAL_SIGNED = 3;

// Marks the data as ended (end of file); errors set the flag in readerError.
inline void markEnded() { g_reader.ended = true; }

// The PackedFile has no byte left: marks the data ended, and records the
// error when a compressed stream was cut at its inflate limit.
void noteDataEnd();

// The current byte, or -1 (and the data marked ended) when there is none.
inline int peekRaw() {
    if (g_reader.ended) return -1;
    int b = packedPeek(g_reader.file);
    if (b < 0) noteDataEnd();
    return b;
}

inline int takeRaw() {
    if (g_reader.ended) {
        ++g_reader.missedReads;
        return -1;
    }
    PackedFile* pf = g_reader.file;
    if (pf->outPos < pf->outEnd) return pf->outBuffer[pf->outPos++];
    int b = packedGetc(pf);
    if (b < 0) {
        noteDataEnd();
        ++g_reader.missedReads;
    }
    return b;
}

// True when an error is recorded or the data has ended.
inline bool atEnd() { return peekRaw() < 0; }

inline void advanceBit() {
    if (++g_reader.bitPos > 7) {
        takeRaw();
        g_reader.bitPos = 0;
    }
}

inline void alignToByte() {
    if (g_reader.bitPos != 0) {
        takeRaw();
        g_reader.bitPos = 0;
    }
}

inline int get1bit(int bitIndex) {
    int b = peekRaw();
    if (b < 0) {
        ++g_reader.missedReads;
        return 0;
    }
    int bit = (b >> bitIndex) & 1;
    advanceBit();
    return bit;
}

inline int takeUbyte() {
    int b = takeRaw();
    return b < 0 ? 0 : b;
}

inline int peekUbyte() {
    int b = peekRaw();
    return b < 0 ? 0 : b;
}

int get1Ubyte(int getMode);
int getRawByte(int getMode);
int get1byte(int sign, int getMode);

inline int get1int3(int sign) {
    int value = 0;
    for (int n = 2; n >= 0; --n) value |= get1bit(7 - g_reader.bitPos) << n;
    if (sign == VAL_SIGNED && (value & 4)) value -= 8;
    return value;
}

int get1int12(int sign);

inline int get1int16(int sign) {
    int b0 = takeUbyte();
    int b1 = takeUbyte();
    int value = b0 * 256 + b1;
    if (sign == VAL_SIGNED && (value & 0x8000)) value -= 65536;
    return value;
}

inline uint32_t get1int32() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint32_t>(takeUbyte());
    return value;
}

inline double get1float() { return std::bit_cast<float>(get1int32()); }

inline double get1double() {
    uint64_t high = get1int32();
    uint64_t low = get1int32();
    return std::bit_cast<double>((high << 32) | low);
}

// Bit `number` (1 = least significant) of `flags`.
inline bool testBit(int flags, int number) { return (flags >> (number - 1)) & 1; }

}  // namespace qmv
