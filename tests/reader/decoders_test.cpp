// Operand decoders: points in every size, point lists, sizes, strings,
// angles, colours and palettes.
#include "decoders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "bit_reader.h"
#include "byte_session.h"

namespace qmv::test {
namespace {

void expectPoint(Point p, double x, double y) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}

TEST(Points, DirectionCodesListAndAlign) {
    ByteSession s({0x08, 0x77});
    s.gs().relPointSize = 3;
    Point running;
    PointList list = getPointList(2, {0, 0}, &running);
    ASSERT_EQ(list.count, 2);
    expectPoint(list.points[0], 1, 0);
    expectPoint(list.points[1], 1, 1);
    expectPoint(running, 1, 1);
    EXPECT_EQ(s.nextByte(), 0x77);
    EXPECT_EQ(s.bitPos(), 0);
}

TEST(Points, DiagonalDirectionsAreUnitSteps) {
    ByteSession s({0b011'101'11, 0b1'0000000});  // directions 3, 5 and 7
    s.gs().relPointSize = 3;
    PointList list = getPointList(3, {0, 0}, nullptr);
    ASSERT_EQ(list.count, 3);
    expectPoint(list.points[0], -1, 1);
    expectPoint(list.points[1], -2, 0);
    expectPoint(list.points[2], -1, -1);
}

TEST(Points, TwentyFourBitStep) {
    ByteSession s({0x00, 0x1F, 0xFF});
    s.gs().relPointSize = 24;
    PointList list = getPointList(1, {10, 20}, nullptr);
    ASSERT_EQ(list.count, 1);
    expectPoint(list.points[0], 11, 19);
}

TEST(Points, EightBitNibbles) {
    ByteSession s({0xF1, 0x7F});
    s.gs().relPointSize = 8;
    expectPoint(getpoint(RELPOINT), -1, 1);
    expectPoint(getpoint(RELPOINT), 7, -1);
}

TEST(Points, SixBitPairs) {
    ByteSession s({0b011'100'00});
    s.gs().relPointSize = 6;
    expectPoint(getpoint(RELPOINT), 3, -4);
}

TEST(Points, AbsoluteSizes) {
    ByteSession s({0xFF, 0x01,                      // 16
                   0x80, 0x00, 0x7F, 0xFF,          // 32
                   0x3F, 0x80, 0, 0, 0xC0, 0, 0, 0,  // 64
                   0xFF, 0xF8, 0x00});              // 24
    s.gs().absPointSize = 16;
    expectPoint(getpoint(ABSPOINT), -1, 1);
    s.gs().absPointSize = 32;
    expectPoint(getpoint(ABSPOINT), -32768, 32767);
    s.gs().absPointSize = 64;
    expectPoint(getpoint(ABSPOINT), 1, -2);
    s.gs().absPointSize = 24;
    expectPoint(getpoint(ABSPOINT), -1, -2048);
    EXPECT_EQ(s.error(), nullptr);
}

TEST(Points, AbsolutePointBelowSixteenBitsIsAnError) {
    ByteSession s({0x12});
    s.gs().absPointSize = 8;
    getpoint(ABSPOINT);
    EXPECT_STREQ(s.error(), "getpoint: point is smaller than 16 bits and is an ABSPOINT.");
}

TEST(Points, ListCutShortByTheEndOfDataHoldsWhatArrived) {
    // A huge claimed count over two bytes of steps: storage follows the data.
    ByteSession s({0x11, 0x22});
    s.gs().relPointSize = 8;
    PointList list = getPointList(4000000, {0, 0}, nullptr);
    EXPECT_EQ(list.count, 2);
    EXPECT_LT(list.points.capacity(), 1000u);
    expectPoint(list.points[1], 3, 3);
}

TEST(Sizes, AllThreeForms) {
    ByteSession s({0x05, 0x7F, 0x81, 0x00, 0xC0, 0x01, 0x00, 0xBF, 0xFF, 0xFF, 0xFF, 0xFF, 0x80,
                   0x05});
    EXPECT_EQ(getsize(), 5);
    EXPECT_EQ(getsize(), 127);
    EXPECT_EQ(getsize(), 256);
    EXPECT_EQ(getsize(), 256);
    EXPECT_EQ(getsize(), 16383);
    EXPECT_EQ(getsize(), 4194303);
    EXPECT_EQ(getsize(), 5);  // a longer form than needed is accepted
    EXPECT_EQ(s.error(), nullptr);
}

TEST(Sizes, ZeroInALongFormIsInconsistent) {
    {
        ByteSession s({0x80, 0x00});
        EXPECT_EQ(getsize(), -1);
        EXPECT_STREQ(s.error(), "getsize: Inconsistent number (2 bytes used but # is zero!)");
    }
    {
        ByteSession s({0xC0, 0x00, 0x00});
        EXPECT_EQ(getsize(), -1);
        EXPECT_STREQ(s.error(), "getsize: Inconsistent number (3 bytes used but # is zero!)");
    }
}

TEST(Sizes, SignedForms) {
    ByteSession s({0x7F, 0x40, 0x3F, 0xBF, 0xFF, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0xE0, 0x00, 0x00});
    EXPECT_EQ(getSignedSize(), -1);
    EXPECT_EQ(getSignedSize(), -64);
    EXPECT_EQ(getSignedSize(), 63);
    EXPECT_EQ(getSignedSize(), -1);
    EXPECT_EQ(getSignedSize(), 0);
    EXPECT_EQ(getSignedSize(), -1);
    EXPECT_EQ(getSignedSize(), -2097152);
    EXPECT_EQ(s.error(), nullptr);
}

TEST(Strings, LengthThenBytes) {
    ByteSession s({0x03, 'a', 0xE9, 'c', 0x00, 0x42});
    const char* text = getString();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), std::string("a\xE9" "c"));
    EXPECT_EQ(getString(), nullptr);  // empty string: none, nothing more read
    EXPECT_EQ(s.nextByte(), 0x42);
}

TEST(Angles, DirectionsGiveRadians) {
    ByteSession s({0, 0, 0, 1, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0});
    EXPECT_DOUBLE_EQ(getAngle(ABSPOINT), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(getAngle(ABSPOINT), std::numbers::pi);
    EXPECT_DOUBLE_EQ(getAngle(ABSPOINT), kFormatFullTurn - std::numbers::pi / 2);
    EXPECT_EQ(getAngle(ABSPOINT), 0.0);
}

TEST(Colors, DirectEncodings) {
    ByteSession s({0xFF, 0x80, 0x00,  // size 6
                   0x01, 0x00,        // size 4: 256, above 1.0
                   0x00, 0xFF, 0x00, 0x33,  // size 5: grey 255, alpha 51
                   0x10, 0x20, 0x30, 0x40});  // size 7
    Color c;
    getcolor(c);
    EXPECT_EQ(c.r, 1.0);
    EXPECT_DOUBLE_EQ(c.g, 128.0 / 255);
    EXPECT_EQ(c.b, 0.0);
    EXPECT_EQ(c.a, 1.0);
    s.gs().colorSize = 4;
    getcolor(c);
    EXPECT_DOUBLE_EQ(c.r, 256.0 / 255);
    EXPECT_DOUBLE_EQ(c.b, 256.0 / 255);
    s.gs().colorSize = 5;
    getcolor(c);
    EXPECT_DOUBLE_EQ(c.g, 1.0);
    EXPECT_DOUBLE_EQ(c.a, 0.2);
    s.gs().colorSize = 7;
    getcolor(c);
    EXPECT_DOUBLE_EQ(c.a, 64.0 / 255);
}

TEST(Colors, UndefinedSizeLeavesTheColour) {
    ByteSession s({0x12});
    s.gs().colorSize = 9;
    Color c{0.5, 0.25, 0.125, 1.0};
    getcolor(c);
    EXPECT_EQ(c.r, 0.5);
    EXPECT_STREQ(s.error(), "getcolor: Case undefined");
}

TEST(Colors, TwelveBitPaletteIsPackedAndEndsOnAByte) {
    ByteSession s({0x01, 0x00, 0x00, 0xFF, 0x99});
    s.gs().colorSize = 3;
    int count = 0;
    auto palette = getColorArray(&count);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(palette->colors.size(), 2u);
    EXPECT_EQ(palette->colors[0].r, 0.0);
    EXPECT_EQ(palette->colors[1].g, 1.0);
    EXPECT_EQ(s.nextByte(), 0x99);
}

TEST(Colors, PaletteLookups) {
    ByteSession s({0x02, 0x01, 0b1000'0000});
    auto palette = std::make_shared<ColorArray>();
    palette->colors = {{0.1, 0.2, 0.3, 0.4}, {0.5, 0.6, 0.7, 0.8}};
    s.gs().palette = palette;
    s.gs().colorSize = 1;
    Color c;
    getcolor(c);  // index 2: past the end, no message
    EXPECT_EQ(c.r, -1.0);
    EXPECT_EQ(c.a, -1.0);
    EXPECT_EQ(s.error(), nullptr);
    getcolor(c);
    EXPECT_EQ(c.g, 0.6);
    s.gs().colorSize = 0;
    getcolor(c);  // one bit: index 1
    EXPECT_EQ(c.b, 0.7);
    EXPECT_EQ(s.bitPos(), 1);
}

TEST(Colors, MissingPaletteIsReported) {
    ByteSession s({0x00});
    s.gs().colorSize = 1;
    Color c;
    getcolor(c);
    EXPECT_EQ(c.r, -1.0);
    EXPECT_STREQ(s.error(),
                 "PickColorFromPalette: Palette color either not defined or color inexistent");
}

TEST(EdgeSets, EachListHasItsOwnStepSize) {
    // start (0,0); two lists: size 3 with codes 0,0; size 16 with step (0,3).
    ByteSession s({0x00, 0x00, 0x00, 0x00, 0x02, 0x03, 0x02, 0b000'000'00, 0x10, 0x01, 0x00, 0x03});
    s.gs().relPointSize = 24;
    EdgeSet set = getEdgeSet();
    ASSERT_EQ(set.count, 2);
    Point p;
    ASSERT_EQ(edgeSetPoint(&set, 0, 0, &p), 1);
    expectPoint(p, 0, 0);
    ASSERT_EQ(edgeSetPoint(&set, 0, 2, &p), 1);
    expectPoint(p, 2, 0);
    ASSERT_EQ(edgeSetPoint(&set, 1, 0, &p), 1);
    expectPoint(p, 2, 3);
    EXPECT_EQ(edgeSetPoint(&set, 1, 1, &p), 0);
    EXPECT_EQ(edgeSetPoint(&set, 2, 0, &p), 0);
    EXPECT_EQ(s.gs().relPointSize, 24);
}

TEST(Faces, SignedThenUnsignedNumbers) {
    ByteSession s({0x02, 0x7F, 0x05, 0x01, 0x81, 0x00});
    Face face = getFace();
    ASSERT_EQ(face.firstCount, 2);
    EXPECT_EQ(face.first[0], -1);
    EXPECT_EQ(face.first[1], 5);
    ASSERT_EQ(face.secondCount, 1);
    EXPECT_EQ(face.second[0], 256);
}

}  // namespace
}  // namespace qmv::test
