// Glyph tables of both fonts, checked against the font file and against
// values worked out by hand from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "font_file.h"
#include "qmv/stroke_font.h"

namespace qmv {
namespace {

constexpr double kUnit = 100.0 / 21.0;  // font units per Hershey unit
constexpr float kTolerance = 1e-4f;
constexpr StrokeFont kFonts[] = {StrokeFont::Roman, StrokeFont::MonoRoman};

struct Extent {
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
};

Extent inkExtent(const StrokeGlyph& glyph) {
    Extent e;
    for (const StrokePoint& p : glyph.points) {
        e.minX = std::min(e.minX, p.x);
        e.maxX = std::max(e.maxX, p.x);
        e.minY = std::min(e.minY, p.y);
        e.maxY = std::max(e.maxY, p.y);
    }
    return e;
}

std::size_t totalLength(const StrokeGlyph& glyph) {
    std::size_t n = 0;
    for (std::uint16_t length : glyph.strokeLengths) {
        n += length;
    }
    return n;
}

TEST(StrokeFontTable, HasAGlyphForEveryPrintableCharacter) {
    for (StrokeFont font : kFonts) {
        for (int c = 32; c <= 126; ++c) {
            const StrokeGlyph* glyph = strokeGlyph(font, c);
            ASSERT_NE(glyph, nullptr) << c;
            EXPECT_GT(glyph->width, 0.0f) << c;
            EXPECT_EQ(totalLength(*glyph), glyph->points.size()) << c;
            if (c != ' ') {
                EXPECT_FALSE(glyph->strokeLengths.empty()) << c;
            }
        }
    }
}

TEST(StrokeFontTable, CharactersOutsidePrintableAsciiHaveNoGlyph) {
    // -61 is 0xC3 (the lead byte of UTF-8 letters) as a signed char.
    for (StrokeFont font : kFonts) {
        for (int c : {0, 1, 9, 10, 31, 127, 128, 255, 256, -1, -61, -128}) {
            EXPECT_EQ(strokeGlyph(font, c), nullptr) << c;
            EXPECT_EQ(strokeWidth(font, c), 0.0f) << c;
        }
    }
}

TEST(StrokeFontTable, RomanWidthsOfHandCheckedCharacters) {
    // Extents read off the file: ' ' "JZ" (-8..8), 'H' "G]" (-11..11),
    // 'I' "NV" (-4..4), 'W' "F^" (-12..12), '@' "E`" (-13..14).
    EXPECT_NEAR(strokeWidth(StrokeFont::Roman, ' '), 76.190476f, kTolerance);
    EXPECT_NEAR(strokeWidth(StrokeFont::Roman, 'H'), 104.761905f, kTolerance);
    EXPECT_NEAR(strokeWidth(StrokeFont::Roman, 'I'), 38.095238f, kTolerance);
    EXPECT_NEAR(strokeWidth(StrokeFont::Roman, 'W'), 114.285714f, kTolerance);
    EXPECT_NEAR(strokeWidth(StrokeFont::Roman, '@'), 128.571429f, kTolerance);
}

TEST(StrokeFontTable, RomanGlyphsMatchTheFontFile) {
    std::vector<test::FileGlyph> file = test::readFontFile(QMV_HERSHEY_FONT_FILE);
    // The file may hold further glyphs after '~'; only 32..126 are used.
    ASSERT_GE(file.size(), 95u) << QMV_HERSHEY_FONT_FILE;
    for (int c = 32; c <= 126; ++c) {
        const test::FileGlyph& expected = file[c - 32];
        const StrokeGlyph* glyph = strokeGlyph(StrokeFont::Roman, c);
        ASSERT_NE(glyph, nullptr);
        EXPECT_NEAR(glyph->width, (expected.right - expected.left) * kUnit, kTolerance) << c;
        ASSERT_EQ(glyph->strokeLengths.size(), expected.strokes.size()) << c;
        std::size_t at = 0;
        for (std::size_t s = 0; s < expected.strokes.size(); ++s) {
            ASSERT_EQ(glyph->strokeLengths[s], expected.strokes[s].size()) << c << " stroke " << s;
            for (auto [hx, hy] : expected.strokes[s]) {
                const StrokePoint& p = glyph->points[at++];
                EXPECT_NEAR(p.x, (hx - expected.left) * kUnit, kTolerance) << c;
                EXPECT_NEAR(p.y, (9 - hy) * kUnit, kTolerance) << c;
            }
        }
    }
}

TEST(StrokeFontTable, SpaceAdvancesWithoutStrokes) {
    for (StrokeFont font : kFonts) {
        const StrokeGlyph* space = strokeGlyph(font, ' ');
        ASSERT_NE(space, nullptr);
        EXPECT_TRUE(space->strokeLengths.empty());
        EXPECT_TRUE(space->points.empty());
        EXPECT_GT(space->width, 0.0f);
    }
}

TEST(StrokeFontTable, CapitalHStandsOnTheBaseline) {
    // "G]KFK[ RYFY[ RKPYP": stems at x = 4 and 18 Hershey units from the left
    // extent, from y = -12 (cap height) down to the baseline at y = 9.
    Extent e = inkExtent(*strokeGlyph(StrokeFont::Roman, 'H'));
    EXPECT_NEAR(e.minY, 0.0f, kTolerance);
    EXPECT_NEAR(e.maxY, 100.0f, kTolerance);
    EXPECT_NEAR(e.minX, 19.047619f, kTolerance);
    EXPECT_NEAR(e.maxX, 85.714286f, kTolerance);
}

TEST(StrokeFontTable, GlyphsStayWithinTheFontHeights) {
    for (int c : {'I', 'l'}) {
        for (StrokeFont font : kFonts) {
            Extent e = inkExtent(*strokeGlyph(font, c));
            EXPECT_GE(e.minY, kStrokeFontBottom) << c;
            EXPECT_LE(e.maxY, kStrokeFontTop) << c;
        }
    }
    // The published heights are the tallest and deepest ink of the whole
    // font, rounded to two decimals.
    float top = -1e9f;
    float bottom = 1e9f;
    for (int c = 32; c <= 126; ++c) {
        Extent e = inkExtent(*strokeGlyph(StrokeFont::Roman, c));
        top = std::max(top, e.maxY);
        bottom = std::min(bottom, e.minY);
    }
    EXPECT_NEAR(top, kStrokeFontTop, 0.005f);
    EXPECT_NEAR(bottom, kStrokeFontBottom, 0.005f);
    EXPECT_NEAR(kStrokeFontMiddle, (kStrokeFontTop + kStrokeFontBottom) / 2, 0.005f);
}

TEST(MonoRomanTable, EveryGlyphAdvancesByTheSameWidth) {
    for (int c = 32; c <= 126; ++c) {
        EXPECT_NEAR(strokeWidth(StrokeFont::MonoRoman, c), 104.76f, 1e-6f) << c;
    }
}

TEST(MonoRomanTable, GlyphsAreRomanGlyphsCentredInTheAdvance) {
    for (int c = 32; c <= 126; ++c) {
        const StrokeGlyph* roman = strokeGlyph(StrokeFont::Roman, c);
        const StrokeGlyph* mono = strokeGlyph(StrokeFont::MonoRoman, c);
        ASSERT_TRUE(std::ranges::equal(roman->strokeLengths, mono->strokeLengths)) << c;
        ASSERT_EQ(roman->points.size(), mono->points.size()) << c;
        float shift = (104.76f - roman->width) / 2;
        for (std::size_t i = 0; i < roman->points.size(); ++i) {
            EXPECT_NEAR(mono->points[i].x, roman->points[i].x + shift, kTolerance) << c;
            EXPECT_EQ(mono->points[i].y, roman->points[i].y) << c;
        }
    }
    // A narrow letter ends up in the middle of its cell: 'I' is a single stem
    // at the centre of its 8-unit extent.
    Extent i = inkExtent(*strokeGlyph(StrokeFont::MonoRoman, 'I'));
    EXPECT_NEAR(i.minX, 52.38f, kTolerance);
    EXPECT_NEAR(i.maxX, 52.38f, kTolerance);
}

}  // namespace
}  // namespace qmv
