// The facts of the scene file format that every reader and writer of it
// shares: the magic a file starts with, the full turn its angles are
// measured against, the largest image it may define, and how a file's name
// tells a compressed file. They live here once; the reader, the writer and
// the text form take them from here.
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

// A file is one zlib stream when the first ".qmv" of its path (any case) is
// followed by 'z' or 'Z'; otherwise it is raw. The content is never sniffed.
constexpr bool isCompressedName(const char* path) {
    if (path == nullptr) return false;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p != '.') continue;
        if ((p[1] == 'q' || p[1] == 'Q') && (p[2] == 'm' || p[2] == 'M') &&
            (p[3] == 'v' || p[3] == 'V')) {
            return p[4] == 'z' || p[4] == 'Z';
        }
    }
    return false;
}

}  // namespace qmv
