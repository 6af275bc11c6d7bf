// The tour's image definitions, one in each of five colour sizes: the pixels
// are computed here, top row first as the writer takes them.
#include <array>
#include <cmath>
#include <string_view>

#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

// A wall of bricks in two palette entries: 0 mortar, 1 brick. Courses are 8
// pixels high with a mortar line at the bottom, and every other course is
// shifted by half a brick.
std::vector<PaletteIndex> brickPixels() {
    std::vector<PaletteIndex> pixels;
    for (int row = 0; row < 16; ++row) {
        const int course = row / 8;
        const int joint = course % 2 == 0 ? 0 : 8;
        for (int column = 0; column < 16; ++column) {
            const bool mortar = row % 8 == 7 || column == joint;
            pixels.push_back({mortar ? 0 : 1});
        }
    }
    return pixels;
}

// The 16-colour palette of the pixel-art image; it stays the palette of every
// layer, which the colour-size swatches use for their byte indices.
const std::vector<Color> kPixelPalette = {
    rgb(255, 255, 255), rgb(20, 20, 30),   rgb(235, 64, 52),   rgb(250, 170, 40),
    rgb(250, 220, 60),  rgb(120, 200, 80), rgb(40, 140, 60),   rgb(60, 120, 210),
    rgb(150, 200, 240), rgb(140, 80, 180), rgb(240, 130, 170), rgb(140, 90, 50),
    rgb(200, 200, 200), rgb(120, 120, 120), rgb(30, 160, 160), rgb(250, 240, 220),
};

// A flower against the sky; each character is a palette index in hex.
constexpr std::array<std::string_view, 16> kFlower = {
    "8888888888888888",
    "888888aaaa888888",
    "8888aaaaaaaa8888",
    "888aaaa44aaaa888",
    "88aaaa4334aaaa88",
    "88aaa433334aaa88",
    "88aaaa4334aaaa88",
    "888aaaa44aaaa888",
    "8888aaaaaaaa8888",
    "888888a66a888888",
    "8855888668888888",
    "8885558665558888",
    "8888855665588888",
    "8888888668888888",
    "bbbbbbb66bbbbbbb",
    "bbbbbbbbbbbbbbbb",
};

std::vector<PaletteIndex> flowerPixels() {
    std::vector<PaletteIndex> pixels;
    for (std::string_view row : kFlower) {
        for (char c : row) pixels.push_back({c <= '9' ? c - '0' : c - 'a' + 10});
    }
    return pixels;
}

int level(double value) {
    return static_cast<int>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}

Color mix(Color a, Color b, double t) {
    return rgb(level(255 * (a.r + (b.r - a.r) * t)), level(255 * (a.g + (b.g - a.g) * t)),
               level(255 * (a.b + (b.b - a.b) * t)));
}

// Sky, sun, sea with the sun's reflection, and a dark headland on the left.
std::vector<Color> sunsetPixels(int width, int height) {
    const int horizon = 30;
    const double sunX = 40, sunY = 24, sunRadius = 8;
    std::vector<Color> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Color c;
            const double headland = horizon - 10.0 + 0.35 * x + 2.0 * std::sin(x * 0.7);
            if (y < horizon) {
                c = mix(rgb(60, 50, 130), rgb(250, 170, 90), static_cast<double>(y) / horizon);
                if (std::hypot(x - sunX, y - sunY) <= sunRadius) c = rgb(255, 232, 130);
                if (x < 22 && y >= headland) c = rgb(45, 35, 60);
            } else {
                c = mix(rgb(40, 60, 120), rgb(15, 30, 70),
                        static_cast<double>(y - horizon) / (height - horizon));
                const bool glitter = std::fabs(x - sunX) < 6.0 - 0.25 * (y - horizon) && y % 3 != 0;
                if (glitter) c = rgb(250, 200, 110);
            }
            pixels.push_back(c);
        }
    }
    return pixels;
}

// A warm dot whose alpha falls off towards its rim.
std::vector<Color> softDotPixels(int size) {
    std::vector<Color> pixels;
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - centre, y - centre) / centre;
            pixels.push_back(rgb(255, 90, 60, level(255.0 * (1.0 - d * d))));
        }
    }
    return pixels;
}

// Concentric grey rings.
std::vector<Color> ripplePixels(int size) {
    std::vector<Color> pixels;
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int g = level(128.0 + 100.0 * std::cos(std::hypot(x - centre, y - centre) * 0.9));
            pixels.push_back(rgb(g, g, g));
        }
    }
    return pixels;
}

}  // namespace

void writeImages(SceneWriter& w, TourAssets& assets) {
    // One-bit indices need a palette of two; it is written in a direct size.
    w.setColorSize(6);
    w.setPalette(std::vector<Color>{rgb(225, 215, 195), rgb(178, 74, 52)});
    w.setColorSize(0);
    assets.bricks = w.setImage(16, 16, brickPixels());

    w.setColorSize(6);
    w.setPalette(kPixelPalette);
    w.setColorSize(1);
    assets.pixelFlower = w.setImage(16, 16, flowerPixels());

    w.setColorSize(6);
    assets.sunset = w.setImage(64, 48, sunsetPixels(64, 48));
    w.setColorSize(7);
    assets.softDot = w.setImage(32, 32, softDotPixels(32));
    w.setColorSize(2);
    assets.ripples = w.setImage(32, 32, ripplePixels(32));
    w.setColorSize(6);
}

}  // namespace qmv::scenes::tour
