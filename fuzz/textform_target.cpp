// Fuzz target: the assembler of the text form (what qmv-as runs) on any
// text, and the two round trips the text form promises: assembled bytes
// disassemble to text that assembles to the same bytes, and any bytes at
// all disassemble to text that assembles back to exactly those bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "qmv/textform/textform.h"

namespace {

void requireSameBytes(const qmv::textform::AssembleResult& again, std::span<const uint8_t> bytes,
                      const char* what) {
    if (!again.ok) {
        std::fprintf(stderr, "%s: the disassembled text does not assemble: %d:%d: %s\n", what,
                     again.error.line, again.error.column, again.error.message.c_str());
        std::abort();
    }
    if (again.bytes.size() != bytes.size() ||
        !std::equal(bytes.begin(), bytes.end(), again.bytes.begin())) {
        std::fprintf(stderr, "%s: the round trip changed the bytes\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qmv::textform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AssembleResult assembled = assembleText(text);
    if (assembled.ok) {
        requireSameBytes(assembleText(disassembleBytes(assembled.bytes)), assembled.bytes,
                         "assembled scene");
    } else if (assembled.error.message.empty() || assembled.error.line < 1 ||
               assembled.error.column < 1) {
        std::fprintf(stderr, "a failed assembly without a located message\n");
        std::abort();
    }
    const std::span<const uint8_t> bytes(data, size);
    requireSameBytes(assembleText(disassembleBytes(bytes)), bytes, "input bytes");
    return 0;
}
