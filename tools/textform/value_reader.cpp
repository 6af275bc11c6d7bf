#include "value_reader.h"

#include <bit>
#include <charconv>
#include <climits>

#include "operand_fields.h"

namespace qmv::textform {

namespace {

constexpr int64_t kMaxSize = 4194303;

// Decimal or 0x hex, with an optional sign.
bool parseInteger(const std::string& text, int64_t& value) {
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
    if (magnitude > static_cast<uint64_t>(INT64_MAX)) return false;
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool parseUnsigned(const std::string& text, uint64_t& value) {
    std::string_view t = text;
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    const auto result = std::from_chars(t.data(), t.data() + t.size(), value, base);
    return !t.empty() && result.ec == std::errc() && result.ptr == t.data() + t.size();
}

}  // namespace

std::string describe(const Token& token) {
    switch (token.kind) {
    case TokenKind::EndOfLine:
        return "the end of the line";
    case TokenKind::EndOfText:
        return "the end of the text";
    case TokenKind::String:
        return "a text in double quotes";
    case TokenKind::Colour:
        return "'#" + token.text + "'";
    default:
        return "'" + token.text + "'";
    }
}

int hexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

bool ValueReader::fail(const TextPos& at, const std::string& message) {
    error_.line = at.line;
    error_.column = at.column;
    error_.message = message;
    return false;
}

bool ValueReader::failHere(const std::string& expected) {
    return fail(in_.peek().at, "expected " + expected + ", found " + describe(in_.peek()));
}

bool ValueReader::expect(TokenKind kind, const std::string& what, Token* out) {
    if (!in_.at(kind)) return failHere(what);
    Token token = in_.take();
    if (out != nullptr) *out = std::move(token);
    return true;
}

bool ValueReader::endOfStatement(std::string_view name) {
    if (in_.at(TokenKind::EndOfLine) || in_.at(TokenKind::EndOfText)) {
        if (in_.at(TokenKind::EndOfLine)) in_.take();
        return true;
    }
    if (in_.at(TokenKind::Bad)) return fail(in_.peek().at, in_.peek().text);
    return fail(in_.peek().at, "unexpected " + describe(in_.peek()) + " after the operands of " +
                                   std::string(name));
}

bool ValueReader::integer(int64_t low, int64_t high, const std::string& what, int64_t& value,
                          TextPos* at) {
    if (in_.at(TokenKind::Bad)) return fail(in_.peek().at, in_.peek().text);
    if (!in_.at(TokenKind::Number)) return failHere(what);
    const Token token = in_.take();
    if (at != nullptr) *at = token.at;
    if (!parseInteger(token.text, value)) {
        return fail(token.at, "'" + token.text + "' is not a whole number");
    }
    if (value < low || value > high) {
        return fail(token.at, std::to_string(value) + " is outside " + std::to_string(low) +
                                  " to " + std::to_string(high) + " (" + what + ")");
    }
    return true;
}

bool ValueReader::coordinate(Coordinate& c) {
    const Token& token = in_.peek();
    c.at = token.at;
    if (token.kind == TokenKind::Number) {
        c.form = Coordinate::Form::Number;
        c.text = in_.take().text;
        return true;
    }
    if (token.kind != TokenKind::Word) return failHere("a number");
    const std::string word = token.text;
    if (word == "inf" || word == "+inf") {
        c.form = Coordinate::Form::Inf;
    } else if (word == "-inf") {
        c.form = Coordinate::Form::NegativeInf;
    } else if (word == "nan") {
        c.form = Coordinate::Form::NaN;
    } else if (word == "bits") {
        in_.take();
        Token pattern;
        if (!expect(TokenKind::LeftParen, "'(' after bits")) return false;
        if (!expect(TokenKind::Number, "a hex bit pattern", &pattern)) return false;
        if (!pattern.text.starts_with("0x") || !parseUnsigned(pattern.text, c.bits)) {
            return fail(pattern.at, "a bit pattern is written in hex, 0x and up to 16 digits");
        }
        c.form = Coordinate::Form::Bits;
        return expect(TokenKind::RightParen, "')' after the bit pattern");
    } else {
        return failHere("a number");
    }
    in_.take();
    return true;
}

bool ValueReader::coordinatePair(Coordinate& x, Coordinate& y, TextPos& at) {
    at = in_.peek().at;
    if (!expect(TokenKind::LeftParen, "a point (x, y)")) return false;
    if (!coordinate(x)) return false;
    if (!expect(TokenKind::Comma, "',' between x and y")) return false;
    if (!coordinate(y)) return false;
    return expect(TokenKind::RightParen, "')' after the point");
}

bool ValueReader::point(int sizeBits, PointField& out, TextPos& at) {
    Coordinate x;
    Coordinate y;
    if (!coordinatePair(x, y, at)) return false;
    int which = 0;
    const std::string problem = pointFromCoordinates(x, y, sizeBits, out, which);
    if (!problem.empty()) return fail(which == 0 ? x.at : y.at, problem);
    return true;
}

bool ValueReader::target(Point& out, TextPos& at) {
    Coordinate x;
    Coordinate y;
    if (!coordinatePair(x, y, at)) return false;
    PointField exact;
    int which = 0;
    const std::string problem = pointFromCoordinates(x, y, 128, exact, which);
    if (!problem.empty()) return fail(which == 0 ? x.at : y.at, problem);
    out = {std::bit_cast<double>(exact.x), std::bit_cast<double>(exact.y)};
    return true;
}

bool ValueReader::annotations(Annotation& note, bool formAllowed, bool fillerAllowed,
                              uint32_t* repeat) {
    bool sawForm = false;
    bool sawFiller = false;
    bool sawRepeat = false;
    for (;;) {
        const Token& token = in_.peek();
        if (token.kind == TokenKind::At) {
            if (!formAllowed || sawForm) return fail(token.at, "no size here takes an @ form");
            sawForm = true;
            note.formAt = in_.take().at;
            int64_t form = 0;
            if (!integer(1, 3, "the bytes of a size form", form)) return false;
            note.sizeForm = static_cast<int>(form);
        } else if (token.kind == TokenKind::Tilde) {
            if (!fillerAllowed || sawFiller)
                return fail(token.at, "no bits are skipped here to fill with ~");
            sawFiller = true;
            note.fillerAt = in_.take().at;
            Token value;
            if (!expect(TokenKind::Number, "the filler bits after ~", &value)) return false;
            if (!parseUnsigned(value.text, note.filler)) {
                return fail(value.at, "'" + value.text + "' is not a filler value");
            }
        } else if (token.kind == TokenKind::Star) {
            if (repeat == nullptr || sawRepeat)
                return fail(token.at, "nothing here can be repeated with *");
            sawRepeat = true;
            in_.take();
            int64_t count = 0;
            if (!integer(1, UINT32_MAX, "a repeat count", count)) return false;
            *repeat = static_cast<uint32_t>(count);
        } else {
            return true;
        }
    }
}

bool ValueReader::checkSizeForm(int64_t value, const Annotation& note, bool isSigned,
                                const TextPos& at) {
    const std::string problem =
        isSigned ? signedSizeProblem(value, note.sizeForm) : sizeProblem(value, note.sizeForm);
    if (problem.empty()) return true;
    return fail(note.sizeForm != 0 ? note.formAt : at, problem);
}

bool ValueReader::colorCall(const std::string& name, int args, int64_t high, ColorLevels& out) {
    in_.take();
    if (!expect(TokenKind::LeftParen, "'(' after " + name)) return false;
    for (int i = 0; i < args; ++i) {
        if (i > 0 && !expect(TokenKind::Comma, "',' between the levels")) return false;
        int64_t level = 0;
        if (!integer(0, high, name == "index" ? "palette index" : "level", level)) return false;
        out.level[i] = static_cast<uint32_t>(level);
    }
    return expect(TokenKind::RightParen, "')'");
}

bool ValueReader::color(int colorSize, bool hasPalette, ColorLevels& out, TextPos& at,
                        bool inPalette) {
    at = in_.peek().at;
    out = {};
    if (colorSize < 0 || colorSize > 7) {
        return fail(at, "colour size " + std::to_string(colorSize) +
                            " has no colour encoding (the reader stops at the first colour)");
    }
    const Token& token = in_.peek();
    switch (colorSize) {
    case 0:
    case 1:
        if (inPalette) {
            return fail(at, "a palette cannot be written in colour size " +
                                std::to_string(colorSize) +
                                ": the reader drops the old palette before it reads the new "
                                "one, so palette indices find nothing");
        }
        if (!hasPalette) {
            return fail(at, "colour size " + std::to_string(colorSize) +
                                " writes palette indices, and no palette is in force");
        }
        if (token.kind == TokenKind::Word && token.text == "index") {
            return colorCall("index", 1, colorSize == 0 ? 1 : 255, out);
        }
        return failHere("index(n) (colour size " + std::to_string(colorSize) + ")");
    case 2:
    case 3:
    case 4: {
        const int64_t high = colorSize == 2 ? 255 : colorSize == 3 ? 4095 : 65535;
        if (token.kind == TokenKind::Word && token.text == "grey") {
            return colorCall("grey", 1, high, out);
        }
        return failHere("grey(n) (colour size " + std::to_string(colorSize) + ")");
    }
    case 5:
        if (token.kind == TokenKind::Word && token.text == "grey") {
            return colorCall("grey", 2, 65535, out);
        }
        return failHere("grey(level, alpha) (colour size 5)");
    default: {
        const size_t digits = colorSize == 6 ? 6 : 8;
        if (token.kind != TokenKind::Colour || token.text.size() != digits) {
            return failHere(colorSize == 6 ? "#rrggbb (colour size 6)"
                                           : "#rrggbbaa (colour size 7)");
        }
        const std::string hex = in_.take().text;
        for (size_t i = 0; i < digits / 2; ++i) {
            out.level[i] = static_cast<uint32_t>(hexDigitValue(hex[2 * i]) * 16 +
                                                 hexDigitValue(hex[2 * i + 1]));
        }
        return true;
    }
    }
}

bool ValueReader::steps(int sizeBits, Point& running, std::vector<StepRun>& out, bool& absolute,
                        TextPos& at) {
    at = in_.peek().at;
    absolute = false;
    if (in_.at(TokenKind::Word) && in_.peek().text == "abs") {
        in_.take();
        absolute = true;
    }
    if (!expect(TokenKind::LeftBracket, absolute ? "'[' after abs" : "a list of steps [...]")) {
        return false;
    }
    uint64_t total = 0;
    while (!in_.at(TokenKind::RightBracket)) {
        if (in_.at(TokenKind::Comma) && !out.empty()) in_.take();
        StepRun run;
        if (absolute) {
            Point to;
            if (!target(to, run.at)) return false;
            const std::string problem = stepBetween(running, to, sizeBits, run.step);
            if (!problem.empty()) return fail(run.at, problem);
        } else {
            if (!point(sizeBits, run.step, run.at)) return false;
            if (in_.at(TokenKind::Star)) {
                in_.take();
                int64_t count = 0;
                if (!integer(1, kMaxSize, "a repeat count", count)) return false;
                run.count = static_cast<uint32_t>(count);
            }
        }
        const Point step = pointValue(run.step, sizeBits);
        for (uint32_t i = 0; i < run.count; ++i) {
            running.x += step.x;
            running.y += step.y;
        }
        total += run.count;
        if (total > static_cast<uint64_t>(kMaxSize)) {
            return fail(run.at, "a list holds at most 4194303 steps");
        }
        out.push_back(run);
    }
    in_.take();
    return true;
}

}  // namespace qmv::textform
