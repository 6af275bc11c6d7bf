// JSON value formatting for the dump's event stream. Everything appends to a
// caller-owned std::string so a whole event line is built without extra
// allocation and written out in large chunks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qmv::json {

void appendInt(std::string& out, int64_t value);

// Shortest text that reads back as the same double ("0.1", "10", "1e+300",
// "-0"). NaN and the infinities are not JSON numbers, so they are written as
// the strings "nan", "inf" and "-inf".
void appendDouble(std::string& out, double value);

// As appendDouble, but shortest for the float itself: 0.1f prints as 0.1, not
// as the digits of its widened double value.
void appendFloat(std::string& out, float value);

// A quoted JSON string in which every byte b stands for the code point U+00bb
// (scene texts carry no character set, so bytes map one to one), encoded as
// UTF-8. '"', '\\' and the control characters below 0x20 are escaped.
void appendBytes(std::string& out, std::string_view bytes);

// appendBytes for a NUL-terminated text; nullptr becomes null.
void appendText(std::string& out, const char* text);

}  // namespace qmv::json
