// A fuzz input as the reader's bytes in memory. The container is chosen from
// the content, as a person naming a download would: bytes that start like a
// zlib stream (0x78) are read as compressed, anything else as raw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "qmv/reader.h"

namespace qmv::fuzz {

class MemoryInput {
public:
    MemoryInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit MemoryInput(const std::vector<uint8_t>& bytes) : MemoryInput(bytes.data(), bytes.size()) {}

    bool compressed() const { return size_ > 0 && data_[0] == 0x78; }

    // readerOpen's arguments, for these bytes.
    ReaderContext* open(void* clientData, int callbacksEnabled, const char* tracePath) const {
        ReaderOptions options;
        options.clientData = clientData;
        options.callbacksEnabled = callbacksEnabled;
        options.tracePath = tracePath;
        return readerOpenMemory(data_, size_, compressed() ? 1 : 0, compressed() ? "input.qmvz" : "input.qmv",
                                options);
    }

private:
    const uint8_t* data_;
    size_t size_;
};

}  // namespace qmv::fuzz
