// Drawing through GL: the matrix advance after each character and the pixels
// a glyph lights.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "headless_gl.h"
#include "qmv/stroke_font.h"

namespace qmv {
namespace {

// One pixel per font unit over x in [0, 128) and y in [-40, 120).
constexpr int kWidth = 128;
constexpr int kHeight = 160;
constexpr float kLeft = 0.0f;
constexpr float kBottom = -40.0f;

class StrokeFontGl : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl_.ok()) {
            GTEST_SKIP() << "no headless GL context: " << gl_.error();
        }
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(kLeft, kLeft + kWidth, kBottom, kBottom + kHeight, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1.0f, 1.0f, 1.0f);
    }

    static std::vector<float> modelview() {
        std::vector<float> m(16);
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    }

    // lit[row * kWidth + column], row 0 at the bottom.
    static std::vector<bool> litPixels() {
        std::vector<unsigned char> rgba(kWidth * kHeight * 4);
        glFinish();
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<bool> lit(kWidth * kHeight);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            lit[i] = rgba[i * 4] > 0;
        }
        return lit;
    }

    // Whether the pixel covering font position (x, y) is lit.
    static bool litAt(const std::vector<bool>& lit, float x, float y) {
        int column = static_cast<int>(x - kLeft);
        int row = static_cast<int>(y - kBottom);
        return lit[row * kWidth + column];
    }

    test::HeadlessGl gl_{kWidth, kHeight};
};

TEST_F(StrokeFontGl, EachCharacterTranslatesTheModelviewByItsWidth) {
    for (StrokeFont font : {StrokeFont::Roman, StrokeFont::MonoRoman}) {
        for (int c : {'W', 'i', ' ', '@'}) {
            glLoadIdentity();
            strokeCharacter(font, c);
            std::vector<float> m = modelview();
            const float identityWithShift[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0,
                                                 strokeWidth(font, c), 0, 0, 1};
            for (int i = 0; i < 16; ++i) {
                EXPECT_FLOAT_EQ(m[i], identityWithShift[i]) << c << " element " << i;
            }
        }
    }
    // Advances accumulate along a string.
    glLoadIdentity();
    for (char c : std::string_view("Hi!")) {
        strokeCharacter(StrokeFont::Roman, c);
    }
    EXPECT_FLOAT_EQ(modelview()[12], strokeWidth(StrokeFont::Roman, 'H') +
                                         strokeWidth(StrokeFont::Roman, 'i') +
                                         strokeWidth(StrokeFont::Roman, '!'));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StrokeFontGl, CharacterWithoutGlyphDrawsNothingAndStaysPut) {
    for (int c : {0, 31, 127, -61}) {
        strokeCharacter(StrokeFont::Roman, c);
        strokeCharacter(StrokeFont::MonoRoman, c);
    }
    std::vector<float> m = modelview();
    EXPECT_EQ(m[12], 0.0f);
    std::vector<bool> lit = litPixels();
    EXPECT_EQ(std::count(lit.begin(), lit.end(), true), 0);
}

TEST_F(StrokeFontGl, CapitalHLightsItsStemsAndBar) {
    strokeCharacter(StrokeFont::Roman, 'H');
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<bool> lit = litPixels();

    int minColumn = kWidth, maxColumn = -1, minRow = kHeight, maxRow = -1;
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            if (lit[row * kWidth + column]) {
                minColumn = std::min(minColumn, column);
                maxColumn = std::max(maxColumn, column);
                minRow = std::min(minRow, row);
                maxRow = std::max(maxRow, row);
            }
        }
    }
    ASSERT_GE(maxColumn, 0) << "nothing drawn";
    // Stems at x = 19.05 and 85.71 from the baseline (y = 0) to y = 100.
    EXPECT_NEAR(minColumn + kLeft, 19.05f, 1.5f);
    EXPECT_NEAR(maxColumn + kLeft, 85.71f, 1.5f);
    EXPECT_NEAR(minRow + kBottom, 0.0f, 1.5f);
    EXPECT_NEAR(maxRow + kBottom, 100.0f, 1.5f);
    // The bar at y = 52.38 crosses the middle; the counters above and below
    // it stay dark.
    EXPECT_TRUE(litAt(lit, 52.0f, 52.38f));
    EXPECT_FALSE(litAt(lit, 52.0f, 20.0f));
    EXPECT_FALSE(litAt(lit, 52.0f, 80.0f));
}

}  // namespace
}  // namespace qmv
