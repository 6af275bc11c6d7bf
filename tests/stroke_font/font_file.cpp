#include "font_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace qmv::test {

std::vector<FileGlyph> readFontFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Glyphs may wrap onto several lines; with line breaks gone the pair
    // counts alone delimit them.
    std::erase(text, '\n');
    std::erase(text, '\r');

    std::vector<FileGlyph> glyphs;
    std::size_t at = 0;
    while (at + 8 <= text.size()) {
        int pairs = std::atoi(text.substr(at + 5, 3).c_str());
        at += 8;
        if (pairs < 1 || at + 2 * static_cast<std::size_t>(pairs) > text.size()) {
            return {};
        }
        FileGlyph glyph;
        glyph.left = text[at] - 'R';
        glyph.right = text[at + 1] - 'R';
        glyph.strokes.emplace_back();
        for (int i = 1; i < pairs; ++i) {
            const char* pair = &text[at + 2 * i];
            if (pair[0] == ' ' && pair[1] == 'R') {
                glyph.strokes.emplace_back();
            } else {
                glyph.strokes.back().emplace_back(pair[0] - 'R', pair[1] - 'R');
            }
        }
        std::erase_if(glyph.strokes, [](const auto& s) { return s.empty(); });
        glyphs.push_back(std::move(glyph));
        at += 2 * static_cast<std::size_t>(pairs);
    }
    if (at != text.size()) {
        return {};
    }
    return glyphs;
}

}  // namespace qmv::test
