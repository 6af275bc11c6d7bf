// The scene text form: a line-per-command twin of the binary scene format.
//
//   assembleText     text -> scene bytes (the first problem stops it)
//   disassembleBytes scene bytes -> text that assembles back to the same bytes
//
// docs/text-format.md describes the text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "qmv/textform/diagnostic.h"

namespace qmv::textform {

struct AssembleResult {
    bool ok = false;
    std::vector<uint8_t> bytes;  // complete only when ok
    Diagnostic error;            // the first problem when not ok
};

AssembleResult assembleText(std::string_view text);

// Any bytes at all: what the text cannot say is kept as a raw byte block at
// the end, so that assembling the result gives back exactly `bytes`.
std::string disassembleBytes(std::span<const uint8_t> bytes);

}  // namespace qmv::textform
