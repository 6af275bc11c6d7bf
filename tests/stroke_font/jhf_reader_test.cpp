// The generator's .jhf reader on inputs the installed font file does not
// exercise: wrapped glyphs, stray pen-ups and malformed counts.
#include "jhf_reader.h"

#include <gtest/gtest.h>

namespace qmv::jhf {
namespace {

TEST(JhfReader, GlyphWrappedOntoTheNextLineIsOneGlyph) {
    // Glyph 2 of 6 pairs: extent, 2 points, pen-up, 2 points; the line
    // break falls between the two characters of a pair.
    ReadResult r = parse("    1  1JZ\n    2  6G]KFK[ RY\nFY[\n");
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_EQ(r.glyphs.size(), 2u);
    const Glyph& h = r.glyphs[1];
    EXPECT_EQ(h.number, 2);
    EXPECT_EQ(h.left, -11);
    EXPECT_EQ(h.right, 11);
    ASSERT_EQ(h.strokes.size(), 2u);
    ASSERT_EQ(h.strokes[1].size(), 2u);
    EXPECT_EQ(h.strokes[1][0].x, 7);
    EXPECT_EQ(h.strokes[1][0].y, -12);
    EXPECT_EQ(h.strokes[1][1].y, 9);
}

TEST(JhfReader, PenUpsWithoutPointsMakeNoEmptyStrokes) {
    ReadResult r = parse(" 1234  5JZ R RRR R\r\n");
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_EQ(r.glyphs.size(), 1u);
    EXPECT_EQ(r.glyphs[0].number, 1234);
    ASSERT_EQ(r.glyphs[0].strokes.size(), 1u);
    EXPECT_EQ(r.glyphs[0].strokes[0].size(), 1u);
}

TEST(JhfReader, CountThatDisagreesWithTheDataIsAnError) {
    EXPECT_FALSE(parse("    1  1JZRR\n").error.empty());    // more data than counted
    EXPECT_FALSE(parse("    1  3JZRR").error.empty());      // file ends early
    EXPECT_FALSE(parse("    1 x1JZ\n").error.empty());      // count not a number
    EXPECT_FALSE(parse("    1  0\n").error.empty());        // no extent pair
    EXPECT_FALSE(parse("    1  1ZJ\n").error.empty());      // right extent left of the left one
}

}  // namespace
}  // namespace qmv::jhf
