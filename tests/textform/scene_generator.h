// Test support: random but valid scenes written with the writer library,
// from a seed. Every opcode appears across seeds, in every point size and
// colour size the writer can encode, with shapes placed inside shape
// definitions, per-edge point sizes, images in every colour size, and arcs
// whose bit-packed radii leave the reader's bit position inside a byte for
// the commands after them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qmv::test {

struct GeneratedScene {
    std::vector<uint8_t> bytes;
    std::string error;  // the writer's first error; empty for a valid scene
};

GeneratedScene generateScene(uint64_t seed);

}  // namespace qmv::test
