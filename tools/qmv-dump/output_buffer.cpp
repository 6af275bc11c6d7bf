#include "output_buffer.h"

namespace qmv {

OutputBuffer::OutputBuffer(std::FILE* sink, size_t chunk) : sink_(sink), chunk_(chunk) {
    // Room for a chunk plus the event that pushed it over the mark.
    text_.reserve(chunk_ + chunk_ / 4);
}

OutputBuffer::~OutputBuffer() { flush(); }

bool OutputBuffer::flush() {
    if (!text_.empty() && ok_) {
        if (std::fwrite(text_.data(), 1, text_.size(), sink_) != text_.size()) ok_ = false;
    }
    text_.clear();
    if (ok_ && std::fflush(sink_) != 0) ok_ = false;
    return ok_;
}

}  // namespace qmv
