// The out-of-line reads of the bit reader: the mode-checked byte reads and the
// nibble-aligned 12-bit numbers.
#include "bit_reader.h"

namespace qmv {

void noteDataEnd() {
    markEnded();
    if (g_reader.file == nullptr) return;
    if (g_reader.file->stopped) {
        readerError(kParseStoppedMessage);
    } else if (g_reader.file->inflateLimitHit) {
        readerError("Parser: Compressed data inflates past its limit.");
    }
}

int get1Ubyte(int getMode) {
    if (getMode == GETMODE_TAKE) return takeUbyte();
    if (getMode == GETMODE_PEEK) return peekUbyte();
    readerError("get1Ubyte: Getmode invalid.");
    return 0;
}

int getRawByte(int getMode) { return getMode == GETMODE_TAKE ? takeUbyte() : peekUbyte(); }

int get1byte(int sign, int getMode) {
    int value = get1Ubyte(getMode);
    if (sign == VAL_SIGNED && value > 127) value -= 256;
    return value;
}

// Two 12-bit numbers fill three bytes: the first starts at a byte frontier,
// the second at the half-byte frontier of the middle byte.
int get1int12(int sign) {
    int value = 0;
    if (g_reader.bitPos == 0) {
        int b0 = takeUbyte();
        int b1 = peekUbyte();
        value = (b0 << 4) | (b1 >> 4);
        for (int i = 0; i < 4; ++i) advanceBit();
    } else if (g_reader.bitPos == 4) {
        g_reader.bitPos = 0;
        int b1 = takeUbyte();
        int b2 = takeUbyte();
        value = ((b1 & 0x0F) << 8) | b2;
    } else {
        readerError("get1int12 called but byte frontier was no correct.");
        return 0;
    }
    if (sign == VAL_SIGNED && (value & 0x800)) value -= 4096;
    return value;
}

}  // namespace qmv
