// The baseline for the compressed container: what zlib alone takes to read
// and inflate a file, with nothing done to the bytes it produces.
#pragma once

#include <cstdint>
#include <string>

namespace qmv::bench {

// Reads `path` in 64 KiB blocks and inflates it into one reused 64 KiB
// buffer. Returns the number of inflated bytes, or -1 when the file cannot
// be read or is not one complete zlib stream.
int64_t inflateFileDiscarding(const std::string& path);

}  // namespace qmv::bench
