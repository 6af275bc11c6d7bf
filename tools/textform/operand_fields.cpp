#include "operand_fields.h"

namespace qmv::textform {

namespace {

constexpr int64_t kMaxSize = 4194303;
constexpr int64_t kMinSignedSize = -2097152;
constexpr int64_t kMaxSignedSize = 2097151;

const char* const kClash =
    "the reader takes this operand's first byte whole from the byte that holds the bits just "
    "before it (its bit position is not at a frontier here), and the two disagree";

std::string frontierProblem(int position) {
    return "a 12-bit field can start only at a byte or half-byte frontier, and the reader's bit "
           "position here is " +
           std::to_string(position);
}

bool writeBytes(FieldWriter& out, uint64_t value, int count) {
    bool ok = true;
    for (int i = count - 1; i >= 0; --i) {
        if (!out.byte(static_cast<uint8_t>(value >> (8 * i)))) ok = false;
    }
    return ok;
}

}  // namespace

PointField readPoint(FieldCursor& in, int sizeBits) {
    PointField p;
    switch (sizeBits) {
    case 3:
        p.x = static_cast<uint64_t>(in.threeBits(false));
        break;
    case 6:
        p.x = static_cast<uint64_t>(in.threeBits(false));
        p.y = static_cast<uint64_t>(in.threeBits(false));
        break;
    case 8: {
        const int b = in.take();
        p.x = static_cast<uint64_t>(b >> 4);
        p.y = static_cast<uint64_t>(b & 0x0F);
        break;
    }
    case 16:
        p.x = static_cast<uint64_t>(in.take());
        p.y = static_cast<uint64_t>(in.take());
        break;
    case 24: {
        const int x = in.twelveBits(false);
        if (x < 0) break;
        const int y = in.twelveBits(false);
        if (y < 0) break;
        p.x = static_cast<uint64_t>(x);
        p.y = static_cast<uint64_t>(y);
        break;
    }
    case 32:
        p.x = static_cast<uint64_t>(in.sixteenBits(false));
        p.y = static_cast<uint64_t>(in.sixteenBits(false));
        break;
    case 64:
        p.x = in.thirtyTwoBits();
        p.y = in.thirtyTwoBits();
        break;
    case 128:
        p.x = (uint64_t{in.thirtyTwoBits()} << 32) | in.thirtyTwoBits();
        p.y = (uint64_t{in.thirtyTwoBits()} << 32) | in.thirtyTwoBits();
        break;
    default:
        break;
    }
    return p;
}

std::string writePoint(FieldWriter& out, int sizeBits, const PointField& p) {
    bool ok = true;
    switch (sizeBits) {
    case 3:
        out.bits(p.x, 3);
        break;
    case 6:
        out.bits(p.x, 3);
        out.bits(p.y, 3);
        break;
    case 8:
        ok = out.byte(static_cast<uint8_t>((p.x << 4) | (p.y & 0x0F)));
        break;
    case 16:
        ok = writeBytes(out, p.x, 1) & writeBytes(out, p.y, 1);
        break;
    case 24: {
        const int position = out.bitPosition();
        if (!out.twelveBits(static_cast<uint16_t>(p.x)) ||
            !out.twelveBits(static_cast<uint16_t>(p.y))) {
            return frontierProblem(position);
        }
        break;
    }
    case 32:
        ok = writeBytes(out, p.x, 2) & writeBytes(out, p.y, 2);
        break;
    case 64:
        ok = writeBytes(out, p.x, 4) & writeBytes(out, p.y, 4);
        break;
    case 128:
        ok = writeBytes(out, p.x, 8) & writeBytes(out, p.y, 8);
        break;
    default:
        break;
    }
    return ok ? std::string() : kClash;
}

ColorLevels readColor(FieldCursor& in, int colorSize, bool hasPalette) {
    ColorLevels c;
    uint32_t* v = c.level;
    switch (colorSize) {
    case 0:
        v[0] = static_cast<uint32_t>(in.bit());
        break;
    case 1:
        v[0] = static_cast<uint32_t>(in.take());
        break;
    case 2:
        v[0] = static_cast<uint32_t>(in.take());
        break;
    case 3: {
        const int level = in.twelveBits(false);
        v[0] = level < 0 ? 0 : static_cast<uint32_t>(level);
        break;
    }
    case 4:
        v[0] = static_cast<uint32_t>(in.sixteenBits(false));
        break;
    case 5:
        v[0] = static_cast<uint32_t>(in.sixteenBits(false));
        v[1] = static_cast<uint32_t>(in.sixteenBits(false));
        break;
    case 6:
    case 7:
        for (int i = 0; i < (colorSize == 6 ? 3 : 4); ++i) v[i] = static_cast<uint32_t>(in.take());
        break;
    default:
        in.fail("getcolor: Case undefined");
        return c;
    }
    if ((colorSize == 0 || colorSize == 1) && !hasPalette) {
        in.fail("PickColorFromPalette: Palette color either not defined or color inexistent");
    }
    return c;
}

std::string writeColor(FieldWriter& out, int colorSize, const ColorLevels& c) {
    const uint32_t* v = c.level;
    bool ok = true;
    switch (colorSize) {
    case 0:
        out.bits(v[0], 1);
        break;
    case 1:
    case 2:
        ok = writeBytes(out, v[0], 1);
        break;
    case 3: {
        const int position = out.bitPosition();
        if (!out.twelveBits(static_cast<uint16_t>(v[0]))) return frontierProblem(position);
        break;
    }
    case 4:
        ok = writeBytes(out, v[0], 2);
        break;
    case 5:
        ok = writeBytes(out, v[0], 2) & writeBytes(out, v[1], 2);
        break;
    case 6:
    case 7:
        for (int i = 0; i < (colorSize == 6 ? 3 : 4); ++i) ok = writeBytes(out, v[i], 1) && ok;
        break;
    default:
        return "colour size " + std::to_string(colorSize) + " has no colour encoding";
    }
    return ok ? std::string() : kClash;
}

int64_t readSize(FieldCursor& in, int& form) {
    const int b = in.take();
    if (b < 0x80) {
        form = 1;
        return b;
    }
    if (b < 0xC0) {
        form = 2;
        const int64_t value = int64_t{b & 0x3F} * 256 + in.take();
        if (value == 0) in.fail("getsize: Inconsistent number (2 bytes used but # is zero!)");
        return value;
    }
    form = 3;
    const int64_t value = int64_t{b & 0x3F} * 65536 + in.sixteenBits(false);
    if (value == 0) in.fail("getsize: Inconsistent number (3 bytes used but # is zero!)");
    return value;
}

int64_t readSignedSize(FieldCursor& in, int& form) {
    const int b = in.take();
    if (b < 0x80) {
        form = 1;
        return b > 63 ? b - 128 : b;
    }
    if (b < 0xC0) {
        form = 2;
        const int64_t value = int64_t{b & 0x3F} * 256 + in.take();
        return value > 8191 ? value - 16384 : value;
    }
    form = 3;
    const int64_t value = int64_t{b & 0x3F} * 65536 + in.sixteenBits(false);
    return value > 2097151 ? value - 4194304 : value;
}

int shortestSizeForm(int64_t value) { return value < 0x80 ? 1 : value < 0x4000 ? 2 : 3; }

int shortestSignedSizeForm(int64_t value) {
    const int64_t magnitude = value < 0 ? -value - 1 : value;
    return magnitude < 64 ? 1 : magnitude < 8192 ? 2 : 3;
}

std::string sizeProblem(int64_t value, int form) {
    if (value < 0 || value > kMaxSize) {
        return std::to_string(value) + " is outside the sizes 0 to 4194303";
    }
    if (form == 0) return {};
    if (form < shortestSizeForm(value)) {
        return std::to_string(value) + " does not fit a " + std::to_string(form) + "-byte size";
    }
    if (value == 0 && form > 1) {
        return "the reader refuses 0 in a " + std::to_string(form) + "-byte size";
    }
    return {};
}

std::string signedSizeProblem(int64_t value, int form) {
    if (value < kMinSignedSize || value > kMaxSignedSize) {
        return std::to_string(value) + " is outside the signed sizes -2097152 to 2097151";
    }
    if (form != 0 && form < shortestSignedSizeForm(value)) {
        return std::to_string(value) + " does not fit a " + std::to_string(form) +
               "-byte signed size";
    }
    return {};
}

std::string writeSize(FieldWriter& out, int64_t value, int form) {
    if (form == 0) form = shortestSizeForm(value);
    const uint64_t v = static_cast<uint64_t>(value);
    bool ok = true;
    if (form == 1) {
        ok = writeBytes(out, v & 0x7F, 1);
    } else if (form == 2) {
        ok = writeBytes(out, 0x8000u | (v & 0x3FFF), 2);
    } else {
        ok = writeBytes(out, 0xC00000u | (v & 0x3FFFFF), 3);
    }
    return ok ? std::string() : kClash;
}

std::string writeSignedSize(FieldWriter& out, int64_t value, int form) {
    if (form == 0) form = shortestSignedSizeForm(value);
    // Two's complement in 7, 14 or 22 bits: the masks below do it.
    return writeSize(out,
                     form == 1   ? (value & 0x7F)
                     : form == 2 ? (value & 0x3FFF)
                                 : (value & 0x3FFFFF),
                     form);
}

}  // namespace qmv::textform
