#include "jhf_reader.h"

#include <cstddef>
#include <utility>

namespace qmv::jhf {
namespace {

bool isLineBreak(char ch) { return ch == '\n' || ch == '\r'; }

// Reads a right-aligned decimal field of `width` characters (leading spaces).
bool readField(std::string_view text, std::size_t at, std::size_t width, int& value) {
    if (at + width > text.size()) {
        return false;
    }
    value = 0;
    bool seenDigit = false;
    for (std::size_t i = at; i < at + width; ++i) {
        char ch = text[i];
        if (ch == ' ' && !seenDigit) {
            continue;
        }
        if (ch < '0' || ch > '9') {
            return false;
        }
        seenDigit = true;
        value = value * 10 + (ch - '0');
    }
    return seenDigit;
}

std::string where(const Glyph& glyph, std::size_t index) {
    return "glyph " + std::to_string(index + 1) + " (number " + std::to_string(glyph.number) +
           ")";
}

}  // namespace

ReadResult parse(std::string_view text) {
    ReadResult result;
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && isLineBreak(text[at])) {
            ++at;
        }
        if (at == text.size()) {
            break;
        }
        Glyph glyph;
        int pairCount = 0;
        if (!readField(text, at, 5, glyph.number) || !readField(text, at + 5, 3, pairCount) ||
            pairCount < 1) {
            result.error = "bad glyph header at byte " + std::to_string(at);
            return result;
        }
        at += 8;

        std::vector<Point> stroke;
        for (int pair = 0; pair < pairCount; ++pair) {
            char chars[2];
            for (char& ch : chars) {
                while (at < text.size() && isLineBreak(text[at])) {
                    ++at;  // a wrapped line continues the glyph
                }
                if (at == text.size()) {
                    result.error = where(glyph, result.glyphs.size()) + " ends early";
                    return result;
                }
                ch = text[at++];
                if (ch < ' ' || ch > '~') {
                    result.error = where(glyph, result.glyphs.size()) + " has a bad character";
                    return result;
                }
            }
            Point p{chars[0] - 'R', chars[1] - 'R'};
            if (pair == 0) {
                glyph.left = p.x;
                glyph.right = p.y;
            } else if (chars[0] == ' ' && chars[1] == 'R') {
                if (!stroke.empty()) {
                    glyph.strokes.push_back(std::move(stroke));
                    stroke.clear();
                }
            } else {
                stroke.push_back(p);
            }
        }
        if (!stroke.empty()) {
            glyph.strokes.push_back(std::move(stroke));
        }
        // A count that disagrees with the data would otherwise shift every
        // later glyph silently.
        if (at < text.size() && !isLineBreak(text[at])) {
            result.error = where(glyph, result.glyphs.size()) + " has more data than its count";
            return result;
        }
        if (glyph.right < glyph.left) {
            result.error = where(glyph, result.glyphs.size()) + " has right extent < left";
            return result;
        }
        result.glyphs.push_back(std::move(glyph));
    }
    return result;
}

}  // namespace qmv::jhf
