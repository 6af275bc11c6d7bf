// Images: their textures, drawn whole and in part with both filters.
#include <gtest/gtest.h>

#include <vector>

#include "render_scene.h"
#include "render_support.h"

namespace qmv::test {
namespace {

const Rgba kRed{255, 0, 0, 255};
const Rgba kBlue{0, 0, 255, 255};

// 4 x 2 pixels: the left half red, the right half blue, with one green
// pixel at the top left to tell the rows apart.
int defineHalves(SceneWriter& w) {
    const Color r = rgb(255, 0, 0), b = rgb(0, 0, 255), g = rgb(0, 255, 0);
    return w.setImage(4, 2, std::vector<Color>{g, r, b, b, r, r, b, b});
}

TEST(Images, TextureSizesArePowersOfTwoWithSmallSidesKept) {
    ASSERT_TRUE(glContext().ok());
    SceneWriter w(squareHeader());
    w.setImage(100, 50, std::vector<Color>(5000, rgb(1, 1, 1)));
    w.setImage(65, 2, std::vector<Color>(130, rgb(1, 1, 1)));
    w.setImage(1, 3, std::vector<Color>(3, rgb(1, 1, 1)));
    w.layer("l");
    w.finish();
    SceneFile file(w);
    SceneDocument doc(file.path().c_str());
    ASSERT_EQ(doc.error(), nullptr);
    const RenderScene& scene = *doc.scene();
    ASSERT_EQ(renderSceneImageCount(&scene), 3);
    const int expected[3][4] = {{100, 50, 128, 64}, {65, 2, 128, 2}, {1, 3, 1, 4}};
    for (int i = 0; i < 3; ++i) {
        const renderer::ImageEntry& e = scene.images[static_cast<size_t>(i)];
        EXPECT_EQ(e.width, expected[i][0]);
        EXPECT_EQ(e.height, expected[i][1]);
        EXPECT_EQ(e.textureWidth, expected[i][2]);
        EXPECT_EQ(e.textureHeight, expected[i][3]);
    }
}

// Nearest filtering: 10 x 10 pixel blocks of the image's exact colours,
// its bottom row along y and its first column along x.
TEST(Images, AWholeImageFillsItsRectangle) {
    SceneWriter w(squareHeader());
    const int image = defineHalves(w);
    w.layer("l");
    w.fullImage(image, {10, 10}, {40, 20});
    w.finish();
    const Painted p = paint(w);
    EXPECT_TRUE(near(p.at(15, 15), kRed));
    EXPECT_TRUE(near(p.at(25, 15), kRed));
    EXPECT_TRUE(near(p.at(35, 15), kBlue));
    EXPECT_TRUE(near(p.at(45, 25), kBlue));
    EXPECT_TRUE(near(p.at(15, 25), {0, 255, 0, 255}));
    EXPECT_TRUE(near(p.at(9, 15), kWhite));
    EXPECT_TRUE(near(p.at(51, 15), kWhite));
}

// Pixel coordinate p maps to p / (width - 1): the source from (0, 0) with
// extent (width - 1, height - 1) is the whole image, and from x = 2 on only
// blue remains.
TEST(Images, PartsOfAnImageMapPixelCoordinates) {
    SceneWriter w(squareHeader());
    const int image = defineHalves(w);
    w.layer("l");
    w.fullImage(image, {0, 0}, {40, 20});
    w.image(image, {0, 0}, {3, 1}, {0, 50}, {40, 20});
    w.image(image, {2, 0}, {1, 1}, {60, 0}, {40, 40});
    w.finish();
    const Painted p = paint(w);
    for (double x = 1; x < 40; x += 2) {
        for (double y = 1; y < 20; y += 2) {
            ASSERT_EQ(p.at(x, y), p.at(x, y + 50)) << x << ", " << y;
        }
    }
    const Painted::Box box{60, 0, 100, 40, false};
    for (double x = box.xmin + 1; x < box.xmax; x += 3) {
        for (double y = box.ymin + 1; y < box.ymax; y += 3) {
            ASSERT_TRUE(near(p.at(x, y), kBlue)) << x << ", " << y;
        }
    }
}

// Black and white pixels side by side, 100 units wide: nearest keeps the
// edge sharp, bilinear grades it.
TEST(Images, StretchModesChooseTheFilter) {
    for (int mode : {0, 1}) {
        SceneWriter w(squareHeader());
        const int image = w.setImage(2, 1, std::vector<Color>{rgb(0, 0, 0), rgb(255, 255, 255)});
        w.layer("l");
        w.setImageStretchMode(mode);
        w.fullImage(image, {0, 0}, {100, 100});
        w.finish();
        const Painted p = paint(w);
        const Rgba left = p.at(40, 50), right = p.at(60, 50);
        if (mode == 0) {
            EXPECT_TRUE(near(left, kBlack));
            EXPECT_TRUE(near(right, kWhite));
        } else {
            EXPECT_GT(left.r, 60);
            EXPECT_LT(left.r, 127);
            EXPECT_GT(right.r, 128);
            EXPECT_LT(right.r, 195);
            EXPECT_LT(p.at(1, 50).r, 8);
        }
    }
}

// A one-pixel image has a texture of its own size, whole or in part.
TEST(Images, OnePixelImagesDraw) {
    SceneWriter w(squareHeader());
    const int image = w.setImage(1, 1, std::vector<Color>{rgb(255, 0, 0)});
    w.layer("l");
    w.fullImage(image, {0, 0}, {50, 100});
    w.image(image, {0, 0}, {0, 0}, {50, 0}, {50, 100});
    w.finish();
    const Painted p = paint(w);
    EXPECT_TRUE(near(p.at(25, 50), kRed));
    EXPECT_TRUE(near(p.at(75, 50), kRed));
}

}  // namespace
}  // namespace qmv::test
