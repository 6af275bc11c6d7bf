#include "texture_layout.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qmv::renderer {

int textureSide(int n, int maxTextureSize) {
    if (n <= 0) return 0;
    const unsigned fit = maxTextureSize > 2 ? static_cast<unsigned>(maxTextureSize - 2) : 1u;
    const unsigned cap = std::bit_floor(fit);
    return static_cast<int>(std::min(std::bit_ceil(static_cast<unsigned>(n)), cap));
}

void spreadWithBorder(std::span<float> texels, int width, int height) {
    const size_t w = static_cast<size_t>(width);
    const size_t stride = (w + 2) * 4;  // floats per bordered row
    auto at = [&](size_t column, size_t row) { return texels.data() + row * stride + column * 4; };
    auto copyTexel = [&](size_t toColumn, size_t toRow, size_t fromColumn, size_t fromRow) {
        std::memcpy(at(toColumn, toRow), at(fromColumn, fromRow), 4 * sizeof(float));
    };

    // From the last row down, so that no packed row is overwritten before it
    // has moved (row r moves to a later place than where it starts).
    for (size_t r = static_cast<size_t>(height); r-- > 0;) {
        std::memmove(at(1, r + 1), texels.data() + r * w * 4, w * 4 * sizeof(float));
    }
    const size_t h = static_cast<size_t>(height);
    for (size_t i = 1; i <= w; ++i) {
        copyTexel(i, 0, i, 1);
        copyTexel(i, h + 1, i, h);
    }
    for (size_t j = h; j >= 1; --j) {
        copyTexel(0, j, 1, j);
        copyTexel(w + 1, j, w, j);
    }
    copyTexel(0, 0, 1, 1);
    copyTexel(0, h + 1, 1, h);
    copyTexel(w + 1, h + 1, w, h);
    copyTexel(w + 1, 0, w, 1);
}

}  // namespace qmv::renderer
