// File access for the text-form tools: scene files read through the
// reader's container rule, and outputs that appear whole or not at all.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qmv::textform {

// The scene's bytes: inflated when the name marks a compressed file (the
// reader's rule), as they are otherwise. False with the reason in `why`.
bool readSceneFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& why);

bool readTextFile(const std::string& path, std::string& text, std::string& why);

// Writes to a temporary file beside `path` and renames it over `path`, so
// that a failure never leaves a partial file. `compressed` deflates the
// bytes into one zlib stream.
bool writeFileWhole(const std::string& path, std::span<const uint8_t> bytes, bool compressed,
                    std::string& why);

}  // namespace qmv::textform
