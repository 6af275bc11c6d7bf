// Reads statements of the text form into the command model, checking each
// value against the encoding it will be written in (which the caller's
// state gives), with the line and column of anything wrong.
#pragma once

#include <cstdint>
#include <vector>

#include "command.h"
#include "qmv/textform/diagnostic.h"
#include "scene_state.h"
#include "value_reader.h"

namespace qmv::textform {

// The ten header fields after the "Header" line, one a line.
bool parseHeaderFields(TokenStream& in, Header& header, Diagnostic& error);

// The operands of `command.opcode` to the end of the statement.
bool parseOperands(TokenStream& in, const Encodings& encodings, Command& command,
                   Diagnostic& error);

// Hex bytes to the end of the text.
bool parseRawBytes(TokenStream& in, std::vector<uint8_t>& bytes, Diagnostic& error);

}  // namespace qmv::textform
