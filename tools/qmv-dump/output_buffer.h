// A text buffer in front of a stdio stream. Events are appended to text() and
// written out only once a large chunk has collected, so a dump costs a few
// write calls per megabyte rather than one per event, and memory stays bounded
// however long the scene is.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace qmv {

class OutputBuffer {
public:
    static constexpr size_t kDefaultChunk = size_t{1} << 20;

    explicit OutputBuffer(std::FILE* sink, size_t chunk = kDefaultChunk);
    ~OutputBuffer();
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    std::string& text() { return text_; }

    // Writes the buffered text once it has reached a chunk.
    void flushIfFull() {
        if (text_.size() >= chunk_) flush();
    }

    // Writes everything buffered and flushes the stream; false once any write
    // has failed (the text is dropped then, so memory stays bounded).
    bool flush();

    bool ok() const { return ok_; }

private:
    std::FILE* sink_;
    size_t chunk_;
    std::string text_;
    bool ok_ = true;
};

}  // namespace qmv
