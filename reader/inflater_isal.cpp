// The inflater on ISA-L's igzip, reading the zlib wrapper and checking its
// Adler-32 sum.
#include <isa-l/igzip_lib.h>

#include <new>

#include "inflater.h"

namespace qmv {

struct Inflater::State {
    inflate_state s;
};

Inflater::Inflater() : state_(new (std::nothrow) State) {
    if (state_ == nullptr) return;
    isal_inflate_init(&state_->s);
    state_->s.crc_flag = ISAL_ZLIB;
}

Inflater::~Inflater() = default;

void Inflater::give(const uint8_t* input, size_t size) {
    state_->s.next_in = const_cast<uint8_t*>(input);
    state_->s.avail_in = static_cast<uint32_t>(size);
}

bool Inflater::inputUsed() const { return state_->s.avail_in == 0; }

Inflater::Result Inflater::run(uint8_t* out, size_t capacity, size_t& produced) {
    inflate_state& s = state_->s;
    s.next_out = out;
    s.avail_out = static_cast<uint32_t>(capacity);
    const int rc = isal_inflate(&s);
    produced = capacity - s.avail_out;
    if (rc != ISAL_DECOMP_OK && rc != ISAL_END_INPUT && rc != ISAL_OUT_OVERFLOW) return Result::Failed;
    return s.block_state == ISAL_BLOCK_FINISH ? Result::StreamEnd : Result::More;
}

const char* Inflater::name() { return "ISA-L"; }

}  // namespace qmv
