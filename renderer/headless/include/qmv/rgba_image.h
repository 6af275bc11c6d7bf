// An 8-bit RGBA picture in memory, rows from the top, as a PNG holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmv {

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 4 bytes, top row first

    // Column x, row y counted from the top.
    Rgba at(int x, int y) const {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) +
                                    static_cast<size_t>(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

}  // namespace qmv
