// Puts finished scene bytes into a file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qmv {

// Writes `bytes` to `path`: as they are, or as one zlib stream deflated at
// level 9 when the name marks a compressed file (isCompressedName). On failure
// returns false with the reason in `why`.
bool saveSceneBytes(std::span<const uint8_t> bytes, const std::string& path, std::string& why);

// As saveSceneBytes, compressed or not as told whatever the name.
bool writeSceneBytes(std::span<const uint8_t> bytes, const std::string& path, bool compressed,
                     std::string& why);

}  // namespace qmv
