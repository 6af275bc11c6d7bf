// Test support: the round trips every test here makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qmv/textform/textform.h"

namespace qmv::test {

// The text of `bytes` assembled again; `problem` says what went wrong.
struct RoundTrip {
    std::string text;
    std::vector<uint8_t> bytes;
    std::string problem;  // empty when the text assembled
};

inline RoundTrip roundTrip(const std::vector<uint8_t>& bytes) {
    RoundTrip trip;
    trip.text = textform::disassembleBytes(bytes);
    textform::AssembleResult result = textform::assembleText(trip.text);
    if (!result.ok) {
        trip.problem = std::to_string(result.error.line) + ":" +
                       std::to_string(result.error.column) + ": " + result.error.message;
    }
    trip.bytes = std::move(result.bytes);
    return trip;
}

// True when the text writes some bytes as a raw block.
inline bool hasRawBlock(const std::string& text) {
    return text.starts_with("Raw\n") || text.find("\nRaw\n") != std::string::npos;
}

}  // namespace qmv::test
