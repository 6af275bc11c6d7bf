// A small deterministic number generator for the generated scenes. The
// standard distributions may differ between library versions; this one gives
// the same file from the same seed everywhere, so benchmark figures taken on
// different machines describe the same bytes.
#pragma once

#include <cstdint>

namespace qmv::scenes {

class SceneRandom {
public:
    explicit SceneRandom(uint64_t seed) : state_(seed) {}

    // splitmix64: one add and three mixing rounds per number.
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A whole number from `low` to `high`, both included. The multiply-shift
    // keeps the bias below 2^-32, far under anything a scene could show.
    int between(int low, int high) {
        const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low + 1);
        return low + static_cast<int>(((next() >> 32) * span) >> 32);
    }

private:
    uint64_t state_;
};

}  // namespace qmv::scenes
