// The inflater behind compressed scene files: one zlib stream, inflated a
// block at a time. Two builds of it exist: ISA-L's (the default, a few times
// faster) and zlib's (QMV_INFLATE_WITH_ISAL=OFF, for systems without ISA-L).
// Both read the same streams and stop at the same faults; a corrupt or cut
// stream hands out the bytes inflated before the fault, then ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qmv {

class Inflater {
public:
    enum class Result { More, StreamEnd, Failed };

    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // False when the inflater could not be set up.
    bool ok() const { return state_ != nullptr; }

    // Gives the next input; the bytes must stay until they are used.
    void give(const uint8_t* input, size_t size);
    bool inputUsed() const;

    // Inflates into [out, out + capacity), putting the count in `produced`.
    Result run(uint8_t* out, size_t capacity, size_t& produced);

    // The name of the build ("ISA-L", "zlib").
    static const char* name();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace qmv
