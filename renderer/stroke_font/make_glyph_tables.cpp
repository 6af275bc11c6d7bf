// Build-time tool: converts a Hershey .jhf font into the C++ glyph tables of
// both stroke fonts, so the glyph data itself never enters the repository.
//
//   make_glyph_tables <font.jhf> <output.cpp>
//
// One font unit is 100/21 Hershey units. Hershey y grows downward with the
// baseline at y = 9, so font y = (9 - hy) * 100/21; font x is measured from
// the glyph's left extent, and the extent's span is the advance. The
// monospaced font centres the same glyphs in a fixed advance.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "glyph_tables.h"
#include "jhf_reader.h"

namespace {

using qmv::stroke_font_detail::kFirstGlyph;
using qmv::stroke_font_detail::kGlyphCount;

constexpr double kUnitsPerHershey = 100.0 / 21.0;
constexpr int kHersheyBaseline = 9;

// Shortest text that reads back as the same float, as a float literal.
std::string floatLiteral(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(static_cast<float>(value)));
    std::string literal = text;
    if (literal.find_first_of(".e") == std::string::npos) {
        literal += ".0";
    }
    return literal + "f";
}

bool readFile(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool writeFile(const char* path, const std::string& text) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

// Appends one font's point array and glyph table; `shift` gives each glyph's
// horizontal offset and `advance` its width, both in font units.
template <typename Shift, typename Advance>
void emitFont(std::string& out, const std::vector<qmv::jhf::Glyph>& glyphs,
              const char* pointsName, const char* tableName, Shift shift, Advance advance) {
    out += "static const StrokePoint ";
    out += pointsName;
    out += "[] = {\n";
    for (const qmv::jhf::Glyph& glyph : glyphs) {
        double dx = shift(glyph);
        for (const auto& stroke : glyph.strokes) {
            out += "   ";
            for (const qmv::jhf::Point& p : stroke) {
                out += " {" + floatLiteral((p.x - glyph.left) * kUnitsPerHershey + dx) + ", " +
                       floatLiteral((kHersheyBaseline - p.y) * kUnitsPerHershey) + "},";
            }
            out += "\n";
        }
    }
    out += "};\n\n";

    out += "constinit const StrokeGlyph ";
    out += tableName;
    out += "[kGlyphCount] = {\n";
    std::size_t point = 0;
    std::size_t stroke = 0;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const qmv::jhf::Glyph& glyph = glyphs[i];
        std::size_t points = 0;
        for (const auto& s : glyph.strokes) {
            points += s.size();
        }
        int code = kFirstGlyph + static_cast<int>(i);
        out += "    {{" + std::string(pointsName) + " + " + std::to_string(point) + ", " +
               std::to_string(points) + "}, {kStrokeLengths + " + std::to_string(stroke) + ", " +
               std::to_string(glyph.strokes.size()) + "}, " + floatLiteral(advance(glyph)) +
               "},  // " + std::to_string(code) + " '" + static_cast<char>(code) + "'\n";
        point += points;
        stroke += glyph.strokes.size();
    }
    out += "};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <font.jhf> <output.cpp>\n", argv[0]);
        return 2;
    }
    std::string text;
    if (!readFile(argv[1], text)) {
        std::fprintf(stderr, "make_glyph_tables: cannot read %s\n", argv[1]);
        return 1;
    }
    qmv::jhf::ReadResult font = qmv::jhf::parse(text);
    if (!font.error.empty()) {
        std::fprintf(stderr, "make_glyph_tables: %s: %s\n", argv[1], font.error.c_str());
        return 1;
    }
    // The file lists its glyphs in character order from the space onward.
    // Debian's Roman Simplex file carries one more glyph after '~' (a small
    // circle); position 127 is DEL, which must stay without a glyph.
    if (font.glyphs.size() < static_cast<std::size_t>(kGlyphCount)) {
        std::fprintf(stderr, "make_glyph_tables: %s: %zu glyphs, expected at least %d\n",
                     argv[1], font.glyphs.size(), kGlyphCount);
        return 1;
    }
    font.glyphs.resize(kGlyphCount);
    // The point and stroke tables are C arrays, which may not be empty.
    bool anyStroke = false;
    for (const qmv::jhf::Glyph& glyph : font.glyphs) {
        anyStroke = anyStroke || !glyph.strokes.empty();
    }
    if (!anyStroke) {
        std::fprintf(stderr, "make_glyph_tables: %s has no strokes\n", argv[1]);
        return 1;
    }

    std::string out =
        "// Generated by make_glyph_tables from the Hershey font file; do not edit.\n"
        "#include <cstdint>\n\n#include \"glyph_tables.h\"\n\n"
        "namespace qmv::stroke_font_detail {\n\n"
        "static const std::uint16_t kStrokeLengths[] = {\n";
    for (const qmv::jhf::Glyph& glyph : font.glyphs) {
        if (glyph.strokes.empty()) {
            continue;
        }
        out += "   ";
        for (const auto& stroke : glyph.strokes) {
            if (stroke.size() > UINT16_MAX) {
                std::fprintf(stderr, "make_glyph_tables: glyph %d has an overlong stroke\n",
                             glyph.number);
                return 1;
            }
            out += " " + std::to_string(stroke.size()) + ",";
        }
        out += "\n";
    }
    out += "};\n\n";

    auto width = [](const qmv::jhf::Glyph& g) { return (g.right - g.left) * kUnitsPerHershey; };
    emitFont(out, font.glyphs, "kRomanPoints", "kRomanGlyphs",
             [](const qmv::jhf::Glyph&) { return 0.0; }, width);
    constexpr double kMonoAdvance = qmv::kMonoRomanAdvance;
    emitFont(out, font.glyphs, "kMonoRomanPoints", "kMonoRomanGlyphs",
             [&](const qmv::jhf::Glyph& g) { return (kMonoAdvance - width(g)) / 2.0; },
             [&](const qmv::jhf::Glyph&) { return kMonoAdvance; });
    out += "}  // namespace qmv::stroke_font_detail\n";

    if (!writeFile(argv[2], out)) {
        std::fprintf(stderr, "make_glyph_tables: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
