// Reads a Hershey font file in the .jhf text format into glyphs in raw
// Hershey coordinates. Used only by the build-time table generator.
//
// Each glyph is a 5-character glyph number, a 3-character count of coordinate
// pairs, then the pairs. Each coordinate is one character whose offset from
// 'R' is its value; the first pair is the glyph's left and right extent, and
// the pair " R" lifts the pen between strokes. Long glyphs may be wrapped onto
// following lines, so line breaks inside a glyph's pairs are ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qmv::jhf {

struct Point {
    int x;
    int y;
};

struct Glyph {
    int number = 0;
    int left = 0;
    int right = 0;
    std::vector<std::vector<Point>> strokes;  // empty strokes are dropped
};

struct ReadResult {
    std::vector<Glyph> glyphs;
    std::string error;  // empty on success
};

// Parses the whole text of a font file.
ReadResult parse(std::string_view text);

}  // namespace qmv::jhf
