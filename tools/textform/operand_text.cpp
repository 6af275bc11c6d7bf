#include "operand_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <system_error>

namespace qmv::textform {

namespace {

constexpr Point kDirections[8] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                  {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

constexpr uint32_t kFloatNaN = 0x7FC00000u;
constexpr uint64_t kDoubleNaN = 0x7FF8000000000000ull;

// Width in bits of each coordinate of the whole-number sizes; 0 otherwise.
int integerWidth(int sizeBits) {
    switch (sizeBits) {
    case 6:
        return 3;
    case 8:
        return 4;
    case 16:
        return 8;
    case 24:
        return 12;
    case 32:
        return 16;
    default:
        return 0;
    }
}

int64_t signExtend(uint64_t field, int width) {
    const uint64_t mask = (uint64_t{1} << width) - 1;
    field &= mask;
    const uint64_t sign = uint64_t{1} << (width - 1);
    return (field & sign) != 0 ? static_cast<int64_t>(field) - static_cast<int64_t>(mask + 1)
                               : static_cast<int64_t>(field);
}

std::string formatFloatBits(uint32_t pattern) {
    const float value = std::bit_cast<float>(pattern);
    if (std::isnan(value)) {
        if (pattern == kFloatNaN) return "nan";
        char text[32];
        std::snprintf(text, sizeof text, "bits(0x%08x)", pattern);
        return text;
    }
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string formatDoubleBits(uint64_t pattern) {
    const double value = std::bit_cast<double>(pattern);
    if (std::isnan(value)) {
        if (pattern == kDoubleNaN) return "nan";
        char text[40];
        std::snprintf(text, sizeof text, "bits(0x%016llx)",
                      static_cast<unsigned long long>(pattern));
        return text;
    }
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    return formatNumber(value);
}

// Decimal or 0x hex, with an optional sign.
bool parseWhole(const std::string& text, int64_t& value) {
    std::string_view t = text;
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    const auto result = std::from_chars(t.data(), t.data() + t.size(), magnitude, base);
    if (t.empty() || result.ec != std::errc() || result.ptr != t.data() + t.size()) return false;
    if (magnitude > (uint64_t{1} << 62)) return false;
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

// A decimal number, correctly rounded to the nearest float or double (the
// C library's conversion is exact where a two-step one through double
// could round twice).
bool looksDecimal(const std::string& text) {
    if (text.empty()) return false;
    for (char ch : text) {
        const bool ok = (ch >= '0' && ch <= '9') || ch == '.' || ch == 'e' || ch == 'E' ||
                        ch == '+' || ch == '-';
        if (!ok) return false;
    }
    return true;
}

bool parseReal(const std::string& text, float& value) {
    if (!looksDecimal(text)) return false;
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

bool parseReal(const std::string& text, double& value) {
    if (!looksDecimal(text)) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

// A coordinate of a whole-number size, or the problem.
std::string wholeCoordinate(const Coordinate& c, int sizeBits, int64_t low, int64_t high,
                            int64_t& value) {
    if (c.form != Coordinate::Form::Number || !parseWhole(c.text, value)) {
        return "a " + std::to_string(sizeBits) + "-bit point holds whole numbers only";
    }
    if (value < low || value > high) {
        return std::to_string(value) + " is outside " + std::to_string(low) + " to " +
               std::to_string(high) + ", the range of a " + std::to_string(sizeBits) + "-bit point";
    }
    return {};
}

std::string floatCoordinate(const Coordinate& c, uint64_t& field) {
    switch (c.form) {
    case Coordinate::Form::Inf:
        field = 0x7F800000u;
        return {};
    case Coordinate::Form::NegativeInf:
        field = 0xFF800000u;
        return {};
    case Coordinate::Form::NaN:
        field = kFloatNaN;
        return {};
    case Coordinate::Form::Bits:
        if (c.bits > 0xFFFFFFFFull) return "a 32-bit float pattern has at most 8 hex digits";
        field = c.bits;
        return {};
    case Coordinate::Form::Number:
        break;
    }
    float value = 0;
    if (!parseReal(c.text, value)) return "'" + c.text + "' is not a number";
    if (std::isinf(value)) return c.text + " is beyond the range of 32-bit floats";
    field = std::bit_cast<uint32_t>(value);
    return {};
}

std::string doubleCoordinate(const Coordinate& c, uint64_t& field) {
    switch (c.form) {
    case Coordinate::Form::Inf:
        field = std::bit_cast<uint64_t>(std::numeric_limits<double>::infinity());
        return {};
    case Coordinate::Form::NegativeInf:
        field = std::bit_cast<uint64_t>(-std::numeric_limits<double>::infinity());
        return {};
    case Coordinate::Form::NaN:
        field = kDoubleNaN;
        return {};
    case Coordinate::Form::Bits:
        field = c.bits;
        return {};
    case Coordinate::Form::Number:
        break;
    }
    double value = 0;
    if (!parseReal(c.text, value)) return "'" + c.text + "' is not a number";
    if (std::isinf(value)) return c.text + " is beyond the range of 64-bit doubles";
    field = std::bit_cast<uint64_t>(value);
    return {};
}

std::string hex2(uint32_t v) {
    char text[4];
    std::snprintf(text, sizeof text, "%02x", v & 0xFFu);
    return text;
}

}  // namespace

std::string formatNumber(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string formatPoint(const PointField& p, int sizeBits) {
    if (sizeBits == 64) {
        return "(" + formatFloatBits(static_cast<uint32_t>(p.x)) + ", " +
               formatFloatBits(static_cast<uint32_t>(p.y)) + ")";
    }
    if (sizeBits == 128) return "(" + formatDoubleBits(p.x) + ", " + formatDoubleBits(p.y) + ")";
    const Point v = pointValue(p, sizeBits);
    return "(" + formatNumber(v.x) + ", " + formatNumber(v.y) + ")";
}

Point pointValue(const PointField& p, int sizeBits) {
    if (sizeBits == 3) return kDirections[p.x & 7];
    if (sizeBits == 64) {
        return {std::bit_cast<float>(static_cast<uint32_t>(p.x)),
                std::bit_cast<float>(static_cast<uint32_t>(p.y))};
    }
    if (sizeBits == 128) return {std::bit_cast<double>(p.x), std::bit_cast<double>(p.y)};
    const int width = integerWidth(sizeBits);
    if (width == 0) return {};
    return {static_cast<double>(signExtend(p.x, width)),
            static_cast<double>(signExtend(p.y, width))};
}

std::string pointFromCoordinates(const Coordinate& x, const Coordinate& y, int sizeBits,
                                 PointField& out, int& which) {
    out = {};
    which = 0;
    if (sizeBits == 64 || sizeBits == 128) {
        std::string problem =
            sizeBits == 64 ? floatCoordinate(x, out.x) : doubleCoordinate(x, out.x);
        if (!problem.empty()) return problem;
        which = 1;
        return sizeBits == 64 ? floatCoordinate(y, out.y) : doubleCoordinate(y, out.y);
    }
    const int width = integerWidth(sizeBits);
    if (sizeBits != 3 && width == 0) {
        int64_t v = 0;
        if (x.form != Coordinate::Form::Number || !parseWhole(x.text, v) || v != 0) {
            return "a " + std::to_string(sizeBits) +
                   "-bit point size stores nothing, so the point reads as (0, 0)";
        }
        which = 1;
        if (y.form != Coordinate::Form::Number || !parseWhole(y.text, v) || v != 0) {
            return "a " + std::to_string(sizeBits) +
                   "-bit point size stores nothing, so the point reads as (0, 0)";
        }
        return {};
    }
    const int64_t high = sizeBits == 3 ? 1 : (int64_t{1} << (width - 1)) - 1;
    const int64_t low = sizeBits == 3 ? -1 : -high - 1;
    int64_t vx = 0;
    int64_t vy = 0;
    std::string problem = wholeCoordinate(x, sizeBits, low, high, vx);
    if (!problem.empty()) return problem;
    which = 1;
    problem = wholeCoordinate(y, sizeBits, low, high, vy);
    if (!problem.empty()) return problem;
    if (sizeBits == 3) {
        for (int code = 0; code < 8; ++code) {
            if (kDirections[code].x == static_cast<double>(vx) &&
                kDirections[code].y == static_cast<double>(vy)) {
                out.x = static_cast<uint64_t>(code);
                return {};
            }
        }
        which = 0;
        return "a 3-bit point is one of the eight unit steps, not (0, 0)";
    }
    const uint64_t mask = (uint64_t{1} << width) - 1;
    out.x = static_cast<uint64_t>(vx) & mask;
    out.y = static_cast<uint64_t>(vy) & mask;
    return {};
}

std::string stepBetween(Point from, Point to, int sizeBits, PointField& out) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const std::string reach = "from (" + formatNumber(from.x) + ", " + formatNumber(from.y) +
                              ") to (" + formatNumber(to.x) + ", " + formatNumber(to.y) + ")";
    if (!std::isfinite(dx) || !std::isfinite(dy)) return "the step " + reach + " is not finite";
    out = {};
    if (sizeBits == 64) {
        const float fx = static_cast<float>(dx);
        const float fy = static_cast<float>(dy);
        if (static_cast<double>(fx) != dx || static_cast<double>(fy) != dy ||
            from.x + static_cast<double>(fx) != to.x || from.y + static_cast<double>(fy) != to.y) {
            return "the step " + reach + " is not exactly a pair of 32-bit floats";
        }
        out.x = std::bit_cast<uint32_t>(fx);
        out.y = std::bit_cast<uint32_t>(fy);
        return {};
    }
    if (sizeBits == 128) {
        if (from.x + dx != to.x || from.y + dy != to.y) {
            return "the point cannot be reached exactly by a step " + reach;
        }
        out.x = std::bit_cast<uint64_t>(dx);
        out.y = std::bit_cast<uint64_t>(dy);
        return {};
    }
    Coordinate cx;
    Coordinate cy;
    cx.text = formatNumber(dx);
    cy.text = formatNumber(dy);
    int which = 0;
    std::string problem = pointFromCoordinates(cx, cy, sizeBits, out, which);
    if (problem.empty() && (from.x + dx != to.x || from.y + dy != to.y)) {
        problem = "it cannot be reached exactly";
    }
    if (!problem.empty()) {
        return "the step (" + cx.text + ", " + cy.text + ") " + reach + " does not fit: " + problem;
    }
    return {};
}

std::string formatColor(const ColorLevels& c, int colorSize) {
    const uint32_t* v = c.level;
    switch (colorSize) {
    case 0:
    case 1:
        return "index(" + std::to_string(v[0]) + ")";
    case 2:
    case 3:
    case 4:
        return "grey(" + std::to_string(v[0]) + ")";
    case 5:
        return "grey(" + std::to_string(v[0]) + ", " + std::to_string(v[1]) + ")";
    case 6:
        return "#" + hex2(v[0]) + hex2(v[1]) + hex2(v[2]);
    case 7:
        return "#" + hex2(v[0]) + hex2(v[1]) + hex2(v[2]) + hex2(v[3]);
    default:
        return "?";
    }
}

std::string formatString(const std::string& bytes) {
    std::string out = "\"";
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += ch;
        } else if (b >= 0x20 && b < 0x7F) {
            out += ch;
        } else {
            out += "\\x" + hex2(b);
        }
    }
    out += '"';
    return out;
}

}  // namespace qmv::textform
