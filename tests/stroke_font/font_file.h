// The tests' own reading of the Hershey .jhf file, kept apart from the
// generator's reader so the tables are checked against an independent parse.
#pragma once

#include <utility>
#include <vector>

namespace qmv::test {

struct FileGlyph {
    int left = 0;
    int right = 0;
    // Raw Hershey coordinates (x right, y down), one vector per stroke.
    std::vector<std::vector<std::pair<int, int>>> strokes;
};

// Every glyph in file order; empty when the file cannot be read or parsed.
std::vector<FileGlyph> readFontFile(const char* path);

}  // namespace qmv::test
