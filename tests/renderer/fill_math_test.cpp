// The arithmetic under fills and textures that pixels show poorly: gradient
// colours at their degenerate points, texture sizes at their limits and the
// bordered texture layout (which Mesa drops before sampling).
#include <gtest/gtest.h>

#include <vector>

#include "fill_params.h"
#include "texture_layout.h"

namespace qmv::renderer {
namespace {

const Color kBlackC{0, 0, 0, 1};
const Color kWhiteC{1, 1, 1, 1};

void expectColour(const Color& c, double grey) {
    EXPECT_DOUBLE_EQ(c.r, grey);
    EXPECT_DOUBLE_EQ(c.g, grey);
    EXPECT_DOUBLE_EQ(c.b, grey);
    EXPECT_DOUBLE_EQ(c.a, 1.0);
}

TEST(Gradient, IsLinearAlongTheAxisConstantAcrossItAndClampedBeyond) {
    const Point a{0, 0}, b{10, 0};
    expectColour(gradientColorAt({5, 3}, a, kBlackC, b, kWhiteC), 0.5);
    expectColour(gradientColorAt({2.5, -40}, a, kBlackC, b, kWhiteC), 0.25);
    expectColour(gradientColorAt({-2, 7}, a, kBlackC, b, kWhiteC), 0.0);
    expectColour(gradientColorAt({12, 0}, a, kBlackC, b, kWhiteC), 1.0);
    expectColour(gradientColorAt({10, 0}, a, kBlackC, b, kWhiteC), 1.0);
}

TEST(Gradient, DegenerateCasesGiveTheFirstColour) {
    // On the first point, and with both points equal (divisions by zero).
    expectColour(gradientColorAt({0, 0}, {0, 0}, kBlackC, {10, 0}, kWhiteC), 0.0);
    expectColour(gradientColorAt({5, 5}, {3, 3}, kBlackC, {3, 3}, kWhiteC), 0.0);
}

TEST(Gradient, FollowsADiagonalAxisAndBlendsAlpha) {
    const Color from{1, 0, 0, 0}, to{0, 0, 1, 1};
    const Color c = gradientColorAt({0, 10}, {0, 0}, from, {10, 10}, to);  // halfway along
    EXPECT_NEAR(c.r, 0.5, 1e-12);
    EXPECT_NEAR(c.b, 0.5, 1e-12);
    EXPECT_NEAR(c.a, 0.5, 1e-12);
}

TEST(TextureLayout, SidesArePowersOfTwoThatFitWithTheirBorder) {
    EXPECT_EQ(textureSide(100, 16384), 128);
    EXPECT_EQ(textureSide(50, 16384), 64);
    EXPECT_EQ(textureSide(64, 16384), 64);
    EXPECT_EQ(textureSide(65, 16384), 128);
    EXPECT_EQ(textureSide(2, 16384), 2);
    EXPECT_EQ(textureSide(1, 16384), 1);  // no logarithm of zero
    EXPECT_EQ(textureSide(0, 16384), 0);
    // 64 plus two border texels does not fit in 64: the side drops to 32.
    EXPECT_EQ(textureSide(40, 64), 32);
    EXPECT_EQ(textureSide(40, 66), 64);
    EXPECT_EQ(textureSide(9000, 16384), 8192);
}

TEST(TextureLayout, TheBorderRepeatsTheNearestEdgeTexel) {
    // A 3 x 2 image, texel value = 10 * row + column + 1 in every channel.
    const int w = 3, h = 2;
    std::vector<float> texels(static_cast<size_t>((w + 2) * (h + 2) * 4), -1.0f);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            for (int k = 0; k < 4; ++k) texels[static_cast<size_t>((r * w + c) * 4 + k)] =
                static_cast<float>(10 * r + c + 1);
    spreadWithBorder(texels, w, h);

    auto at = [&](int c, int r) { return texels[static_cast<size_t>((r * (w + 2) + c) * 4)]; };
    const float expected[4][5] = {
        {1, 1, 2, 3, 3},      // bottom border row
        {1, 1, 2, 3, 3},      // image row 0
        {11, 11, 12, 13, 13}, // image row 1
        {11, 11, 12, 13, 13}, // top border row
    };
    for (int r = 0; r < h + 2; ++r)
        for (int c = 0; c < w + 2; ++c) EXPECT_EQ(at(c, r), expected[r][c]) << c << "," << r;
}

}  // namespace
}  // namespace qmv::renderer
