// Points, SIZE numbers, strings and the plain byte operands.
#include "qmv/writer/operand_writer.h"

#include <charconv>
#include <cmath>

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

// A single-precision point holds a double exactly when it survives the trip
// through float; infinities and NaNs pass through the reader as they are.
bool fitsFloat(double value) {
    return !std::isfinite(value) || static_cast<double>(static_cast<float>(value)) == value;
}

}  // namespace

std::string formatNumber(double value) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string formatPoint(Point p) { return "(" + formatNumber(p.x) + ", " + formatNumber(p.y) + ")"; }

void OperandWriter::fail(std::string_view operand, std::string_view problem) {
    std::string message = command_;
    message += ": ";
    message += operand;
    message += ": ";
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
        fail(operand, "a 12-bit number can start only at a byte or half-byte frontier, not at bit " +
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
    switch (sizeBits) {
    case 3: {
        int code = directionCode(p);
        if (code < 0) {
            fail(operand, formatPoint(p) +
                              " is not one of the eight unit steps that a 3-bit point holds");
            code = 0;
        }
        bits_.putBits(static_cast<uint64_t>(code), 3);
        return;
    }
    case 64:
        if (!fitsFloat(p.x) || !fitsFloat(p.y)) {
            fail(operand, formatPoint(p) + " is not exactly a pair of 32-bit floats");
        }
        putByte(0, operand);  // replaced below; keeps one code path for clashes
        return;
    default:
        break;
    }
    (void)0;
}

}  // namespace qmv
