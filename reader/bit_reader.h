// The parse's cursor, reached from the handlers and decoders as `in()`: the
// current parse owns it (ReaderGlobals), over the blocks of its PackedFile.
#pragma once

#include "qmv/bit_cursor.h"
#include "reader_context.h"

namespace qmv {

inline BitCursor& in() { return g_reader.cursor; }

// Bit `number` (1 = least significant) of `flags`.
inline bool testBit(int flags, int number) { return (flags >> (number - 1)) & 1; }

}  // namespace qmv
