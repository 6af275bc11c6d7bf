// Operands in explicit encodings: SIZE numbers, points of every size, step
// lists, strings and colours, with the values each encoding refuses.
#include <gtest/gtest.h>

#include <vector>

#include "qmv/writer/operand_writer.h"
#include "writer_test_support.h"

namespace qmv::test {
namespace {

class WriterOperands : public ::testing::Test {
protected:
    std::string written() const { return hex(bits.bytes()); }

    BitWriter bits;
    ErrorLog errors;
    OperandWriter out{bits, errors};
};

TEST_F(WriterOperands, SizesUseTheShortestOfThreeForms) {
    const std::pair<int64_t, const char*> cases[] = {
        {5, "05"},        {127, "7F"},         {128, "80 80"},        {256, "81 00"},
        {16383, "BF FF"}, {16384, "C0 40 00"}, {4194303, "FF FF FF"},
    };
    for (const auto& [value, expected] : cases) {
        BitWriter b;
        ErrorLog e;
        OperandWriter(b, e).size(value, "n");
        EXPECT_EQ(hex(b.bytes()), expected) << value;
        EXPECT_TRUE(e.ok());
    }
}

TEST_F(WriterOperands, SignedSizesAreTwosComplementOfEachForm) {
    const std::pair<int64_t, const char*> cases[] = {
        {-1, "7F"},          {-64, "40"},           {63, "3F"},
        {64, "80 40"},       {-65, "BF BF"},        {-8192, "A0 00"},
        {-8193, "FF DF FF"}, {2097151, "DF FF FF"}, {-2097152, "E0 00 00"},
    };
    for (const auto& [value, expected] : cases) {
        BitWriter b;
        ErrorLog e;
        OperandWriter(b, e).signedSize(value, "n");
        EXPECT_EQ(hex(b.bytes()), expected) << value;
    }
    out.signedSize(-1, "n", SizeForm::TwoBytes);
    EXPECT_EQ(written(), "BF FF");
}

TEST_F(WriterOperands, SizesOutsideTheirRangeAreRefused) {
    out.setCommand("QMVR_DrawCircle at byte 40");
    out.size(4194304, "radius");
    EXPECT_EQ(errors.first(),
              "QMVR_DrawCircle at byte 40: radius: 4194304 is outside the sizes 0 to 4194303");
    out.size(-1, "radius");
    out.signedSize(2097152, "edge");
    EXPECT_EQ(errors.count(), 3);
    EXPECT_EQ(written(), "00 00 00");  // zeros keep the layout
}

TEST_F(WriterOperands, PointsInEveryIntegralSize) {
    out.point({-4, 3}, 6, "p");
    out.align();
    out.point({-1, 1}, 8, "p");
    out.point({-1, 1}, 16, "p");
    out.point({1, -1}, 24, "p");
    out.point({-1, -2}, 32, "p");
    EXPECT_EQ(written(), "8C F1 FF 01 00 1F FF FF FF FF FE");
    EXPECT_TRUE(errors.ok());
}

TEST_F(WriterOperands, PointsAsFloatsAndDoubles) {
    out.point({1, -2}, 64, "p");
    out.point({0.1, 0}, 64, "p");  // rounded to the nearest float
    out.point({1, 0}, 128, "p");
    EXPECT_EQ(written(),
              "3F 80 00 00 C0 00 00 00 3D CC CC CD 00 00 00 00 "
              "3F F0 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_TRUE(errors.ok());
    out.point({1e39, 0}, 64, "p");  // beyond the float range
    EXPECT_FALSE(errors.ok());
}

TEST_F(WriterOperands, DirectionStepsPackThreeBitsEachAndTheListEndsOnAByte) {
    const std::vector<Point> steps = {{1, 0}, {0, 1}};
    out.stepList(steps, 3, "step");
    EXPECT_EQ(written(), "08");
    EXPECT_EQ(bits.bitPosition(), 0);
    const std::vector<Point> allEight = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                         {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    out.stepList(allEight, 3, "step");
    EXPECT_EQ(written(), "08 05 39 77");
}

TEST_F(WriterOperands, PointsThatTheirSizeCannotHold) {
    out.setCommand("QMVR_Polyline at byte 29");
    out.point({2, 0}, 3, "step 4");
    EXPECT_EQ(errors.first(),
              "QMVR_Polyline at byte 29: step 4: (2, 0) is not one of the eight unit steps that "
              "a 3-bit point holds");
    const std::pair<Point, int> refused[] = {
        {{0, 0}, 3},     {{4, 0}, 6},      {{0, -9}, 8},   {{128, 0}, 16},
        {{0, 2048}, 24}, {{40000, 0}, 32}, {{0.5, 0}, 32}, {{1, 1}, 12},
    };
    for (const auto& [p, size] : refused) {
        ErrorLog e;
        BitWriter b;
        OperandWriter(b, e).point(p, size, "p");
        EXPECT_FALSE(e.ok()) << formatPoint(p) << " in " << size << " bits";
    }
}

TEST_F(WriterOperands, StringsAreALengthAndTheBytes) {
    out.string("", "name");
    out.string(std::string("a\0b", 3), "name");
    EXPECT_EQ(written(), "00 03 61 00 62");
}

TEST_F(WriterOperands, DirectColours) {
    out.color({1.0, 128 / 255.0, 0.0, 1.0}, 6, {}, "c");
    out.color({0.2, 0.4, 0.6, 0.8}, 7, {}, "c");
    out.color({1.0, 1.0, 1.0, 1.0}, 2, {}, "c");
    EXPECT_EQ(written(), "FF 80 00 33 66 99 CC FF");
    EXPECT_TRUE(errors.ok());
}

TEST_F(WriterOperands, WideGreyLevelsGoAboveOne) {
    const double level256 = 256 / 255.0;
    out.color({level256, level256, level256, 1.0}, 3, {}, "c");
    out.align();
    out.color({level256, level256, level256, 1.0}, 4, {}, "c");
    out.color({0.0, 0.0, 0.0, 2.0}, 5, {}, "c");
    EXPECT_EQ(written(), "10 00 01 00 00 00 01 FE");
    EXPECT_TRUE(errors.ok());
}

TEST_F(WriterOperands, ColoursAnEncodingCannotHold) {
    const std::pair<Color, int> refused[] = {
        {{0.5, 0, 0, 1}, 6},                            // not n/255
        {{1, 1, 1, 0.5}, 6},                            // alpha needs colour size 7 or 5
        {{1, 0, 0, 1}, 2},                              // not a grey
        {{2, 2, 2, 1}, 2},                              // level 510 needs a wider grey
        {{-1 / 255.0, 0, 0, 1}, 7}, {{1, 1, 1, 1}, 8},  // no such colour size
    };
    for (const auto& [c, size] : refused) {
        ErrorLog e;
        BitWriter b;
        OperandWriter(b, e).color(c, size, {}, "c");
        EXPECT_FALSE(e.ok()) << "colour size " << size;
    }
}

TEST_F(WriterOperands, PaletteColoursAreIndices) {
    const std::vector<Color> palette = {{0, 0, 0, 1}, {1, 1, 1, 1}, {1, 0, 0, 1}};
    out.color({1, 1, 1, 1}, 0, palette, "c");
    out.color({0, 0, 0, 1}, 0, palette, "c");
    out.align();
    out.color({1, 0, 0, 1}, 1, palette, "c");
    EXPECT_EQ(written(), "80 02");
    EXPECT_TRUE(errors.ok());

    out.color({1, 0, 0, 1}, 0, palette, "c");  // entry 2 is beyond one bit
    EXPECT_NE(errors.first().find("palette index 2 is outside 0 to 1"), std::string::npos)
        << errors.first();
    ErrorLog e;
    OperandWriter(bits, e).paletteIndex(3, 1, palette.size(), "c");
    EXPECT_FALSE(e.ok());
    ErrorLog none;
    OperandWriter(bits, none).color({0, 0, 0, 1}, 1, {}, "c");
    EXPECT_NE(none.first().find("no palette is set"), std::string::npos);
}

}  // namespace
}  // namespace qmv::test
