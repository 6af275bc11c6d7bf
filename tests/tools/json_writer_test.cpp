#include "json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace qmv::json {
namespace {

std::string doubleText(double v) {
    std::string out;
    appendDouble(out, v);
    return out;
}

std::string floatText(float v) {
    std::string out;
    appendFloat(out, v);
    return out;
}

std::string bytesText(std::string_view bytes) {
    std::string out;
    appendBytes(out, bytes);
    return out;
}

uint64_t bitsOf(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

TEST(JsonNumbers, DoublesUseTheShortestTextThatReadsBack) {
    EXPECT_EQ(doubleText(0.1), "0.1");
    EXPECT_EQ(doubleText(1e300), "1e+300");
    EXPECT_EQ(doubleText(5e-324), "5e-324");
    EXPECT_EQ(doubleText(10.0), "10");
    EXPECT_EQ(doubleText(-2048.0), "-2048");
    EXPECT_EQ(doubleText(120000.0), "120000");
    EXPECT_EQ(doubleText(100000.0), "1e+05");  // the exponent form is shorter
    EXPECT_EQ(doubleText(0.0), "0");
    EXPECT_EQ(doubleText(-0.0), "-0");
    EXPECT_EQ(doubleText(128.0 / 255.0), "0.5019607843137255");

    for (double v : {0.1, 1.0 / 3.0, 6.28318530718, 1e300, 5e-324, -1.7976931348623157e308,
                     2.2250738585072014e-308, 123456789.125, -0.0}) {
        const std::string text = doubleText(v);
        EXPECT_EQ(bitsOf(std::strtod(text.c_str(), nullptr)), bitsOf(v)) << text;
    }
}

TEST(JsonNumbers, FloatsAreShortestForTheFloatNotItsWidenedDouble) {
    EXPECT_EQ(floatText(0.1f), "0.1");
    EXPECT_EQ(floatText(1.0f), "1");
    EXPECT_EQ(floatText(static_cast<float>(128.0 / 255.0)), "0.5019608");
    EXPECT_EQ(floatText(1.0f / 3.0f), "0.33333334");
    EXPECT_EQ(floatText(-0.0f), "-0");
}

TEST(JsonNumbers, NonFiniteValuesBecomeStrings) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(doubleText(std::numeric_limits<double>::quiet_NaN()), "\"nan\"");
    EXPECT_EQ(doubleText(-std::numeric_limits<double>::quiet_NaN()), "\"nan\"");
    EXPECT_EQ(doubleText(inf), "\"inf\"");
    EXPECT_EQ(doubleText(-inf), "\"-inf\"");
    EXPECT_EQ(floatText(std::numeric_limits<float>::quiet_NaN()), "\"nan\"");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "\"-inf\"");
}

TEST(JsonStrings, SpecialBytesAreEscapedAndHighBytesEncoded) {
    EXPECT_EQ(bytesText(std::string_view("\x00", 1)), "\"\\u0000\"");
    EXPECT_EQ(bytesText("\x01\x1f"), "\"\\u0001\\u001f\"");
    EXPECT_EQ(bytesText("\b\f\n\r\t"), "\"\\b\\f\\n\\r\\t\"");
    EXPECT_EQ(bytesText("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(bytesText(" ~"), "\" ~\"");
    EXPECT_EQ(bytesText("\x7f"), "\"\x7f\"");  // DEL needs no escape in JSON
    EXPECT_EQ(bytesText("\xE9\xFF"), "\"\xC3\xA9\xC3\xBF\"");
}

// Decodes a JSON string literal the way a JSON reader would, returning the
// code points; -1 marks malformed input.
std::vector<int> decodeJsonString(const std::string& text) {
    std::vector<int> points;
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return {-1};
    for (size_t i = 1; i + 1 < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            char e = text[i + 1];
            const char* simple = "\"\\/bfnrt";
            const char* meaning = "\"\\/\b\f\n\r\t";
            if (e == 'u') {
                points.push_back(static_cast<int>(std::strtol(text.substr(i + 2, 4).c_str(), nullptr, 16)));
                i += 6;
            } else if (const char* at = std::strchr(simple, e); at != nullptr && e != '\0') {
                points.push_back(static_cast<unsigned char>(meaning[at - simple]));
                i += 2;
            } else {
                return {-1};
            }
        } else if (c < 0x20 || c == '"') {
            return {-1};
        } else if (c < 0x80) {
            points.push_back(c);
            ++i;
        } else if ((c & 0xE0) == 0xC0) {
            auto next = static_cast<unsigned char>(text[i + 1]);
            if ((next & 0xC0) != 0x80) return {-1};
            points.push_back(((c & 0x1F) << 6) | (next & 0x3F));
            i += 2;
        } else {
            return {-1};
        }
    }
    return points;
}

TEST(JsonStrings, EveryByteReadsBackAsTheCodePointOfItsValue) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::vector<int> decoded = decodeJsonString(bytesText(all));
    ASSERT_EQ(decoded.size(), 256u);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(decoded[b], b) << "byte " << b;
}

TEST(JsonStrings, MissingTextIsNull) {
    std::string out;
    appendText(out, nullptr);
    out += ',';
    appendText(out, "");
    out += ',';
    appendText(out, "x\xA0");
    EXPECT_EQ(out, "null,\"\",\"x\xC2\xA0\"");
}

}  // namespace
}  // namespace qmv::json
