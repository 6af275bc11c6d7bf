// Test support: runs the reader's decoders over a byte string as if a parse
// were current, without the driver or a file around them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "opcode_table.h"
#include "reader_context.h"

namespace qmv::test {

class ByteSession {
public:
    explicit ByteSession(const std::vector<uint8_t>& bytes) : bytes_(bytes) {
        g_reader.ctx = &ctx_;
        g_reader.cursor = BitCursor(bytes_);
        g_reader.cursor.setFailureSink(readerError);
    }
    ByteSession(const ByteSession&) = delete;
    ByteSession& operator=(const ByteSession&) = delete;
    ~ByteSession() {
        g_reader.ctx = nullptr;
        g_reader.cursor = BitCursor();
    }

    ReaderContext& ctx() { return ctx_; }
    GraphicState& gs() { return ctx_.gs; }
    int bitPos() const { return g_reader.cursor.bitPosition(); }
    // The byte the next take would consume, or -1 at the end.
    int nextByte() const { return g_reader.cursor.readyCount() > 0 ? *g_reader.cursor.ready() : -1; }
    const char* error() const { return ctx_.hasError ? ctx_.errorText.c_str() : nullptr; }

private:
    std::vector<uint8_t> bytes_;
    ReaderContext ctx_;
};

}  // namespace qmv::test
