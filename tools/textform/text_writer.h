// The canonical text of the header and of each command: operands in file
// order as what they mean, @ and ~ annotations only where the bytes differ
// from what the plain operand gives, and comments with the absolute points
// of step lists and the angles of direction vectors.
#pragma once

#include <string>
#include <string_view>

#include "command.h"
#include "scene_state.h"

namespace qmv::textform {

std::string formatHeader(const Header& header);

// One command (a line, or several for a large image), ending in a line
// break. `encodings` are those in force before the command; `note` is a
// comment for commands that have none of their own.
std::string formatCommand(const Command& command, const Encodings& encodings,
                          std::string_view indent, std::string_view note = {});

}  // namespace qmv::textform
