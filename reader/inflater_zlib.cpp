// The inflater on zlib.
#include <zlib.h>

#include <new>
#include <utility>

#include "inflater.h"

namespace qmv {

struct Inflater::State {
    z_stream z{};
    bool live = false;
    ~State() {
        if (live) inflateEnd(&z);
    }
};

Inflater::Inflater() {
    std::unique_ptr<State> state(new (std::nothrow) State);
    if (state == nullptr || inflateInit(&state->z) != Z_OK) return;
    state->live = true;
    state_ = std::move(state);
}

Inflater::~Inflater() = default;

void Inflater::give(const uint8_t* input, size_t size) {
    state_->z.next_in = const_cast<Bytef*>(input);
    state_->z.avail_in = static_cast<uInt>(size);
}

bool Inflater::inputUsed() const { return state_->z.avail_in == 0; }

Inflater::Result Inflater::run(uint8_t* out, size_t capacity, size_t& produced) {
    z_stream& z = state_->z;
    z.next_out = out;
    z.avail_out = static_cast<uInt>(capacity);
    const int rc = inflate(&z, Z_NO_FLUSH);
    produced = capacity - z.avail_out;
    if (rc == Z_STREAM_END) return Result::StreamEnd;
    // Z_BUF_ERROR (no progress possible), a data error or a dictionary.
    return rc == Z_OK ? Result::More : Result::Failed;
}

const char* Inflater::name() { return "zlib"; }

}  // namespace qmv
