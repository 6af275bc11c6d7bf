// Writes commands of the command model as scene bytes, walking the same
// grammar as the decoder. The parser has checked that every value fits its
// encoding; what is left to fail here depends on where the bits fall (a
// 12-bit field off a frontier, a byte that is also read as bits, a filler
// value wider than the bits it fills).
#pragma once

#include "command.h"
#include "field_writer.h"
#include "qmv/textform/diagnostic.h"
#include "scene_state.h"

namespace qmv::textform {

bool encodeHeader(FieldWriter& out, const Header& header, Diagnostic& error);

// The opcode byte and the operands.
bool encodeCommand(FieldWriter& out, const Encodings& encodings, const Command& command,
                   Diagnostic& error);

}  // namespace qmv::textform
