// The facts of the scene file format that every reader and writer of it
// shares: the magic a file starts with, the full turn its angles are
// measured against, and the largest image it may define. They live here
// once; the reader, the writer and the text form take them from here.
#pragma once

#include <cstdint>

namespace qmv {

// The first bytes of every scene file.
inline constexpr unsigned char kSceneMagic[5] = {'Q', 'M', 'V', 0x98, 0xE1};

// The format's full turn, a little short of 2 pi: angles are stored and
// reported in [0, kFormatFullTurn), and curves are stepped up to it.
inline constexpr double kFormatFullTurn = 6.28318530718;

// The most pixels an image definition may have (width times height); a
// larger one is refused as "SetImage: Image too large.".
inline constexpr uint64_t kMaxImagePixels = uint64_t{1} << 26;

}  // namespace qmv
