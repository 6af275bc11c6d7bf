// Points, SIZE numbers, strings and the plain byte operands.
#include "qmv/writer/operand_writer.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#include "number_checks.h"

namespace qmv {

namespace {

// The step of each 3-bit direction code, anticlockwise from east.
constexpr Point kDirectionSteps[8] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                      {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

int directionCode(Point step) {
    for (int code = 0; code < 8; ++code) {
        if (kDirectionSteps[code].x == step.x && kDirectionSteps[code].y == step.y) return code;
    }
    return -1;
}

// Range of each coordinate of the integral point sizes.
struct IntegerRange {
    int64_t low;
    int64_t high;
};

bool integerRange(int sizeBits, IntegerRange& range) {
    switch (sizeBits) {
    case 6:
        range = {-4, 3};
        return true;
    case 8:
        range = {-8, 7};
        return true;
    case 16:
        range = {-128, 127};
        return true;
    case 24:
        range = {-2048, 2047};
        return true;
    case 32:
        range = {-32768, 32767};
        return true;
    default:
        return false;
    }
}

// A 32-bit float coordinate is the double rounded to the nearest float, as
// a caller who picks that size expects; only finite values beyond the
// float range cannot be held (they would turn into infinities). Infinities
// and NaNs themselves pass through the reader as they are.
bool fitsFloat(double value) {
    return !std::isfinite(value) || std::fabs(value) <= std::numeric_limits<float>::max();
}

}  // namespace

std::string formatNumber(double value) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string formatPoint(Point p) {
    return "(" + formatNumber(p.x) + ", " + formatNumber(p.y) + ")";
}

void OperandWriter::fail(std::string_view operand, std::string_view problem) {
    std::string message = command_;
    message += ": ";
    if (!operand.empty()) {
        message += operand;
        message += ": ";
    }
    message += problem;
    errors_.record(std::move(message));
}

void OperandWriter::putByte(uint8_t value, std::string_view operand) {
    const int position = bits_.bitPosition();
    if (!bits_.putByte(value)) {
        fail(operand, "read as a whole byte from a byte that already holds " +
                          std::to_string(position) +
                          " packed bits, and its value does not begin with those bits");
    }
}

void OperandWriter::put16(uint16_t value, std::string_view operand) {
    putByte(static_cast<uint8_t>(value >> 8), operand);
    putByte(static_cast<uint8_t>(value), operand);
}

void OperandWriter::put12(int64_t value, std::string_view operand) {
    const int position = bits_.bitPosition();
    if (!bits_.put12(static_cast<uint16_t>(value & 0x0FFF))) {
        fail(operand,
             "a 12-bit number can start only at a byte or half-byte frontier, not at bit " +
                 std::to_string(position));
    }
}

void OperandWriter::byte(int64_t value, std::string_view operand) {
    if (value < 0 || value > 255) {
        fail(operand, std::to_string(value) + " does not fit a byte (0 to 255)");
        value = 0;
    }
    putByte(static_cast<uint8_t>(value), operand);
}

void OperandWriter::u16(int64_t value, std::string_view operand) {
    if (value < 0 || value > 65535) {
        fail(operand, std::to_string(value) + " does not fit 16 bits (0 to 65535)");
        value = 0;
    }
    put16(static_cast<uint16_t>(value), operand);
}

void OperandWriter::point(Point p, int sizeBits, std::string_view operand) {
    if (sizeBits == 3) {
        int code = directionCode(p);
        if (code < 0) {
            fail(operand,
                 formatPoint(p) + " is not one of the eight unit steps that a 3-bit point holds");
            code = 0;
        }
        bits_.putBits(static_cast<uint64_t>(code), 3);
        return;
    }
    if (sizeBits == 64) {
        if (!fitsFloat(p.x) || !fitsFloat(p.y)) {
            fail(operand, formatPoint(p) + " is beyond the range of 32-bit floats");
        }
        for (double v : {p.x, p.y}) {
            const uint32_t pattern = std::bit_cast<uint32_t>(static_cast<float>(v));
            put16(static_cast<uint16_t>(pattern >> 16), operand);
            put16(static_cast<uint16_t>(pattern), operand);
        }
        return;
    }
    if (sizeBits == 128) {
        for (double v : {p.x, p.y}) {
            const uint64_t pattern = std::bit_cast<uint64_t>(v);
            for (int shift = 48; shift >= 0; shift -= 16) {
                put16(static_cast<uint16_t>(pattern >> shift), operand);
            }
        }
        return;
    }
    IntegerRange range{};
    if (!integerRange(sizeBits, range)) {
        fail(operand, "no point encoding has " + std::to_string(sizeBits) + " bits");
        return;
    }
    if (!isWholeIn(p.x, range.low, range.high) || !isWholeIn(p.y, range.low, range.high)) {
        fail(operand, formatPoint(p) + " does not fit a " + std::to_string(sizeBits) +
                          "-bit point (whole numbers from " + std::to_string(range.low) + " to " +
                          std::to_string(range.high) + ")");
        p = {};
    }
    const int64_t x = static_cast<int64_t>(p.x);
    const int64_t y = static_cast<int64_t>(p.y);
    switch (sizeBits) {
    case 6:
        bits_.putBits(static_cast<uint64_t>(x & 7), 3);
        bits_.putBits(static_cast<uint64_t>(y & 7), 3);
        break;
    case 8:
        // One byte: x in the high nibble, y in the low, each two's complement.
        putByte(static_cast<uint8_t>(((x & 0x0F) << 4) | (y & 0x0F)), operand);
        break;
    case 16:
        putByte(static_cast<uint8_t>(x & 0xFF), operand);
        putByte(static_cast<uint8_t>(y & 0xFF), operand);
        break;
    case 24:
        put12(x, operand);
        put12(y, operand);
        break;
    case 32:
        put16(static_cast<uint16_t>(x & 0xFFFF), operand);
        put16(static_cast<uint16_t>(y & 0xFFFF), operand);
        break;
    default:
        break;
    }
}

void OperandWriter::stepList(std::span<const Point> steps, int sizeBits, std::string_view operand) {
    for (size_t i = 0; i < steps.size(); ++i) {
        point(steps[i], sizeBits, std::string(operand) + " " + std::to_string(i));
    }
    bits_.alignToByte();
}

namespace {

// The shortest layout for a value, given the first values that need two and
// three bytes.
SizeForm shortestForm(int64_t value, int64_t oneByteLimit, int64_t twoByteLimit) {
    if (value < oneByteLimit) return SizeForm::OneByte;
    if (value < twoByteLimit) return SizeForm::TwoBytes;
    return SizeForm::ThreeBytes;
}

}  // namespace

// The layouts: 0xxxxxxx (7 bits), 10xxxxxx + byte (14 bits), 11xxxxxx + two
// bytes (22 bits). A signed size stores its value in two's complement of the
// same widths.
void OperandWriter::size(int64_t value, std::string_view operand, SizeForm form) {
    if (value < 0 || value > kMaxSize) {
        fail(operand, std::to_string(value) + " is outside the sizes 0 to 4194303");
        value = 0;
    }
    if (form == SizeForm::Shortest) form = shortestForm(value, 0x80, 0x4000);
    const int64_t limit = form == SizeForm::OneByte    ? 0x80
                          : form == SizeForm::TwoBytes ? 0x4000
                                                       : kMaxSize + 1;
    if (value >= limit) {
        fail(operand, std::to_string(value) + " does not fit a " +
                          std::to_string(static_cast<int>(form)) + "-byte size");
        value = 0;
    }
    switch (form) {
    case SizeForm::OneByte:
        putByte(static_cast<uint8_t>(value), operand);
        break;
    case SizeForm::TwoBytes:
        putByte(static_cast<uint8_t>(0x80 | (value >> 8)), operand);
        putByte(static_cast<uint8_t>(value), operand);
        break;
    default:
        putByte(static_cast<uint8_t>(0xC0 | (value >> 16)), operand);
        put16(static_cast<uint16_t>(value), operand);
        break;
    }
}

void OperandWriter::signedSize(int64_t value, std::string_view operand, SizeForm form) {
    if (value < kMinSignedSize || value > kMaxSignedSize) {
        fail(operand, std::to_string(value) + " is outside the signed sizes -2097152 to 2097151");
        value = 0;
    }
    if (form == SizeForm::Shortest) {
        const int64_t magnitude = value < 0 ? -value - 1 : value;
        form = shortestForm(magnitude, 64, 8192);
    }
    const int64_t half = form == SizeForm::OneByte    ? 64
                         : form == SizeForm::TwoBytes ? 8192
                                                      : 2097152;
    if (value < -half || value >= half) {
        fail(operand, std::to_string(value) + " does not fit a " +
                          std::to_string(static_cast<int>(form)) + "-byte signed size");
        value = 0;
    }
    switch (form) {
    case SizeForm::OneByte:
        putByte(static_cast<uint8_t>(value & 0x7F), operand);
        break;
    case SizeForm::TwoBytes:
        putByte(static_cast<uint8_t>(0x80 | ((value >> 8) & 0x3F)), operand);
        putByte(static_cast<uint8_t>(value & 0xFF), operand);
        break;
    default:
        putByte(static_cast<uint8_t>(0xC0 | ((value >> 16) & 0x3F)), operand);
        put16(static_cast<uint16_t>(value & 0xFFFF), operand);
        break;
    }
}

void OperandWriter::string(std::string_view text, std::string_view operand) {
    if (static_cast<int64_t>(text.size()) > kMaxSize) {
        fail(operand, "a text of " + std::to_string(text.size()) +
                          " bytes is longer than the 4194303 a size can count");
        size(0, operand);
        return;
    }
    size(static_cast<int64_t>(text.size()), operand);
    for (char c : text) putByte(static_cast<uint8_t>(c), operand);
}

}  // namespace qmv
