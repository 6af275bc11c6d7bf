// Reads commands from scene bytes exactly as the reader does, into the
// command model. Problems the reader records are left in the cursor
// (failure()); reads past the end of the data, where the reader would go on
// with zeros or stop a list early, are marked there too (ranPastEnd()).
#pragma once

#include "bit_cursor.h"
#include "command.h"
#include "scene_state.h"

namespace qmv::textform {

// The header after the magic; false (with the cursor's failure set, or its
// past-end mark) when the reader would not get past it.
bool decodeHeader(FieldCursor& in, Header& header);

// The operands of `opcode`, whose byte has been taken, in the encodings of
// `encodings`.
void decodeOperands(FieldCursor& in, const Encodings& encodings, Command& command);

}  // namespace qmv::textform
