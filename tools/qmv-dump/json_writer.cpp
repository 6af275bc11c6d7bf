#include "json_writer.h"

#include <charconv>
#include <cmath>

namespace qmv::json {

namespace {

// Writes a non-finite value as a string; returns false for finite ones.
bool appendNonFinite(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "\"nan\"";
        return true;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "\"-inf\"" : "\"inf\"";
        return true;
    }
    return false;
}

template <typename T>
void appendShortest(std::string& out, T value) {
    // 32 characters hold the longest shortest-form double ("-2.2250738585072014e-308").
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace

void appendInt(std::string& out, int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendDouble(std::string& out, double value) {
    if (!appendNonFinite(out, value)) appendShortest(out, value);
}

void appendFloat(std::string& out, float value) {
    if (!appendNonFinite(out, value)) appendShortest(out, value);
}

void appendBytes(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        switch (b) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (b < 0x20) {
                    out += "\\u00";
                    out += kHex[b >> 4];
                    out += kHex[b & 0x0F];
                } else if (b < 0x80) {
                    out += static_cast<char>(b);
                } else {
                    // U+0080 to U+00FF take two UTF-8 bytes: 110000xx 10xxxxxx.
                    out += static_cast<char>(0xC0 | (b >> 6));
                    out += static_cast<char>(0x80 | (b & 0x3F));
                }
        }
    }
    out += '"';
}

void appendText(std::string& out, const char* text) {
    if (text == nullptr) {
        out += "null";
    } else {
        appendBytes(out, std::string_view(text));
    }
}

}  // namespace qmv::json
