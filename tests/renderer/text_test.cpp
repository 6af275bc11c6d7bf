// Stroke text: where a string lands for its alignment code, angle, font and
// size, measured against the ink of the font's own glyphs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "qmv/stroke_font.h"
#include "render_support.h"

namespace qmv::test {
namespace {

// The ink of a string in font units, its first character's left edge at 0
// and its baseline at 0; and its advance.
struct Ink {
    double xmin = 1e9, ymin = 1e9, xmax = -1e9, ymax = -1e9, advance = 0;
};

Ink inkOf(StrokeFont font, const std::string& text) {
    Ink ink;
    for (char c : text) {
        if (const StrokeGlyph* glyph = strokeGlyph(font, c)) {
            for (const StrokePoint& p : glyph->points) {
                ink.xmin = std::min(ink.xmin, ink.advance + p.x);
                ink.xmax = std::max(ink.xmax, ink.advance + p.x);
                ink.ymin = std::min(ink.ymin, static_cast<double>(p.y));
                ink.ymax = std::max(ink.ymax, static_cast<double>(p.y));
            }
        }
        ink.advance += strokeWidth(font, c);
    }
    return ink;
}

// Draws `text` at (100, 50) of a 200 x 100 scene in font size 30 (0.24
// scene units per font unit).
Painted paintText(const std::string& text, int alignment, double angle = 0.0, int font = 0,
                  int style = 0) {
    SceneHeader header = squareHeader();
    header.upperRight = {200, 100};
    SceneWriter w(header);
    w.layer("text");
    w.setTextColor(rgb(0, 0, 0));
    w.setFont(font, style, 30);
    w.setTextAlignment(alignment, w.directionFor(angle));
    w.text({100, 50}, text);
    w.finish();
    return paint(w, 200, 100);
}

void expectBox(const Painted::Box& box, double xmin, double ymin, double xmax, double ymax) {
    ASSERT_FALSE(box.empty);
    // A stroke one pixel wide may reach half a pixel past its centre line.
    EXPECT_NEAR(box.xmin, xmin, 1.5);
    EXPECT_NEAR(box.xmax, xmax, 1.5);
    EXPECT_NEAR(box.ymin, ymin, 1.5);
    EXPECT_NEAR(box.ymax, ymax, 1.5);
}

TEST(Text, AlignmentCodesPlaceTheAnchor) {
    const double s = 30 * 0.008;
    const Ink ink = inkOf(StrokeFont::Roman, "HIT");
    const double top = 119.05, bottom = -33.33, middle = 42.86;
    struct Case {
        int code;
        double x;  // anchor to the left end, font units
        double y;  // anchor above the baseline
    };
    const Case cases[] = {
        {9, 0, 0},
        {10, ink.advance / 2, 0},
        {11, ink.advance, 0},
        {5, 0, top},
        {0, ink.advance / 2, top},
        {1, ink.advance / 2, bottom},
        {6, ink.advance, bottom},
        {8, ink.advance / 2, middle},
        {200, 0, 0},  // unknown codes anchor at the left end of the baseline
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("alignment " + std::to_string(c.code));
        const double left = 100 - c.x * s, base = 50 - c.y * s;
        expectBox(paintText("HIT", c.code).inkBox(kWhite), left + ink.xmin * s,
                  base + ink.ymin * s, left + ink.xmax * s, base + ink.ymax * s);
    }
}

// The string turns about the anchor; the alignment shift stays along the
// scene axes.
TEST(Text, AnglesTurnTheStringAboutItsShiftedAnchor) {
    const double s = 0.24;
    const Ink ink = inkOf(StrokeFont::Roman, "HI");
    // A quarter turn: the string runs upwards from the anchor, its baseline
    // on x = 100 and its glyphs to the left of it.
    expectBox(paintText("HI", 9, std::numbers::pi / 2).inkBox(kWhite), 100 - ink.ymax * s,
              50 + ink.xmin * s, 100 - ink.ymin * s, 50 + ink.xmax * s);
    // Centred along x first, then turned a half turn about the shifted point.
    const double left = 100 - ink.advance / 2 * s;
    expectBox(paintText("HI", 10, std::numbers::pi).inkBox(kWhite), left - ink.xmax * s,
              50 - ink.ymax * s, left - ink.xmin * s, 50 - ink.ymin * s);
}

TEST(Text, FontCodeOneIsMonospacedAndOthersProportional) {
    const double s = 0.24;
    for (int font : {0, 2, 255}) {
        const Ink ink = inkOf(StrokeFont::Roman, "il");
        expectBox(paintText("il", 9, 0, font).inkBox(kWhite), 100 + ink.xmin * s,
                  50 + ink.ymin * s, 100 + ink.xmax * s, 50 + ink.ymax * s);
    }
    const Ink mono = inkOf(StrokeFont::MonoRoman, "il");
    expectBox(paintText("il", 9, 0, 1).inkBox(kWhite), 100 + mono.xmin * s, 50 + mono.ymin * s,
              100 + mono.xmax * s, 50 + mono.ymax * s);
}

// Bold styles draw a second copy 0.00001 units along, which is the same
// pixels; text without a glyph draws nothing.
TEST(Text, StylesAndEmptyStrings) {
    const Painted plain = paintText("Wave", 9, 0, 0, 0);
    for (int style : {1, 2, 3}) {
        EXPECT_EQ(paintText("Wave", 9, 0, 0, style).image.pixels, plain.image.pixels)
            << "style " << style;
    }
    EXPECT_TRUE(paintText("", 10).inkBox(kWhite).empty);
    EXPECT_TRUE(paintText("\xC3\xA9\t", 10).inkBox(kWhite).empty);
}

}  // namespace
}  // namespace qmv::test
