// Test support: runs the reader's decoders over a byte string as if a parse
// were current, without the driver around them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "opcode_table.h"
#include "reader_context.h"
#include "temp_file.h"

namespace qmv::test {

class ByteSession {
public:
    explicit ByteSession(const std::vector<uint8_t>& bytes) : file_(bytes) {
        fillOpcodeTable();
        g_reader.ctx = &ctx_;
        g_reader.file = packedOpen(file_.path().c_str(), PACKED_READ, 0);
        g_reader.bitPos = 0;
        g_reader.ended = false;
    }
    ByteSession(const ByteSession&) = delete;
    ByteSession& operator=(const ByteSession&) = delete;
    ~ByteSession() {
        packedClose(g_reader.file);
        g_reader.file = nullptr;
        g_reader.ctx = nullptr;
        g_reader.ended = false;
        g_reader.bitPos = 0;
    }

    ReaderContext& ctx() { return ctx_; }
    GraphicState& gs() { return ctx_.gs; }
    int bitPos() const { return g_reader.bitPos; }
    // The byte the next take would consume, or -1 at the end.
    int nextByte() const { return packedPeek(g_reader.file); }
    const char* error() const { return ctx_.hasError ? ctx_.errorText.c_str() : nullptr; }

private:
    TempFile file_;
    ReaderContext ctx_;
};

}  // namespace qmv::test
