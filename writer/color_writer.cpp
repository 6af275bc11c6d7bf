// Colours and palette indices in the eight colour sizes.
#include <algorithm>

#include "number_checks.h"
#include "qmv/writer/operand_writer.h"

namespace qmv {

namespace {

std::string describeColor(const Color& c) {
    return "colour (" + formatNumber(c.r) + ", " + formatNumber(c.g) + ", " + formatNumber(c.b) +
           ", " + formatNumber(c.a) + ")";
}

int64_t firstPaletteMatch(const Color& c, std::span<const Color> palette) {
    for (size_t i = 0; i < palette.size(); ++i) {
        const Color& entry = palette[i];
        if (sameComponent(entry.r, c.r) && sameComponent(entry.g, c.g) &&
            sameComponent(entry.b, c.b) && sameComponent(entry.a, c.a)) {
            return static_cast<int64_t>(i);
        }
    }
    return -1;
}

// The grey level shared by red, green and blue, or -1.
int64_t greyLevel(const Color& c, int64_t maxLevel) {
    const int64_t level = componentLevel(c.r, maxLevel);
    if (level < 0 || componentLevel(c.g, maxLevel) != level ||
        componentLevel(c.b, maxLevel) != level) {
        return -1;
    }
    return level;
}

bool opaque(const Color& c) { return componentLevel(c.a, 255) == 255; }

}  // namespace

void OperandWriter::putGreyLevel(int64_t level, int colorSize, std::string_view operand) {
    if (colorSize == 2) {
        putByte(static_cast<uint8_t>(level), operand);
    } else if (colorSize == 3) {
        put12(level, operand);
    } else {
        put16(static_cast<uint16_t>(level), operand);
    }
}

void OperandWriter::color(const Color& c, int colorSize, std::span<const Color> palette,
                          std::string_view operand) {
    switch (colorSize) {
    case 0:
    case 1: {
        int64_t index = palette.empty() ? 0 : firstPaletteMatch(c, palette);
        if (index < 0) {
            fail(operand, describeColor(c) + " is not in the palette");
            index = 0;
        }
        paletteIndex(index, colorSize, palette.size(), operand);
        return;
    }
    case 2:
    case 3:
    case 4: {
        const int64_t maxLevel = colorSize == 2 ? 255 : colorSize == 3 ? 4095 : 65535;
        int64_t level = greyLevel(c, maxLevel);
        if (level < 0 || !opaque(c)) {
            fail(operand, describeColor(c) +
                              " is not an opaque grey of level n/255 with n from 0 to " +
                              std::to_string(maxLevel) + ", all colour size " +
                              std::to_string(colorSize) + " holds");
            level = 0;
        }
        putGreyLevel(level, colorSize, operand);
        return;
    }
    case 5: {
        int64_t level = greyLevel(c, 65535);
        int64_t alpha = componentLevel(c.a, 65535);
        if (level < 0 || alpha < 0) {
            fail(operand, describeColor(c) +
                              " is not a grey with alpha, each of level n/255 with n from 0 to "
                              "65535, all colour size 5 holds");
            level = alpha = 0;
        }
        put16(static_cast<uint16_t>(level), operand);
        put16(static_cast<uint16_t>(alpha), operand);
        return;
    }
    case 6:
    case 7: {
        int64_t levels[4] = {componentLevel(c.r, 255), componentLevel(c.g, 255),
                             componentLevel(c.b, 255), componentLevel(c.a, 255)};
        const bool alphaOk = colorSize == 7 || levels[3] == 255;
        if (levels[0] < 0 || levels[1] < 0 || levels[2] < 0 || levels[3] < 0 || !alphaOk) {
            fail(operand, describeColor(c) + " needs components n/255 with n from 0 to 255" +
                              (colorSize == 6 ? " and alpha 1 in colour size 6" : ""));
            levels[0] = levels[1] = levels[2] = 0;
            levels[3] = 255;
        }
        const int components = colorSize == 6 ? 3 : 4;
        for (int i = 0; i < components; ++i) putByte(static_cast<uint8_t>(levels[i]), operand);
        return;
    }
    default:
        fail(operand, "colour size " + std::to_string(colorSize) + " has no colour encoding");
        return;
    }
}

void OperandWriter::paletteIndex(int64_t index, int colorSize, size_t paletteCount,
                                 std::string_view operand) {
    if (colorSize != 0 && colorSize != 1) {
        fail(operand, "a palette index needs colour size 0 or 1, not " + std::to_string(colorSize));
        return;
    }
    // One bit reaches entries 0 and 1, one byte entries 0 to 255.
    const size_t reachable = colorSize == 0 ? 2 : 256;
    const int64_t limit = static_cast<int64_t>(std::min(reachable, paletteCount));
    if (paletteCount == 0) {
        fail(operand, "colour size " + std::to_string(colorSize) +
                          " writes palette indices, and no palette is set");
        index = 0;
    } else if (index < 0 || index >= limit) {
        fail(operand, "palette index " + std::to_string(index) + " is outside 0 to " +
                          std::to_string(limit - 1) + " (colour size " + std::to_string(colorSize) +
                          ", " + std::to_string(paletteCount) + " palette entries)");
        index = 0;
    }
    if (colorSize == 0) {
        bits_.putBit(index != 0);
    } else {
        putByte(static_cast<uint8_t>(index), operand);
    }
}

}  // namespace qmv
