// Reads the values of the text form from tokens: numbers, points in a given
// point size, colours in a given colour size, step lists (relative or
// absolute) and the @ ~ * annotations, each checked against the encoding it
// will be written in, with the position of the first problem.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"
#include "operand_text.h"
#include "qmv/scene_types.h"
#include "qmv/textform/diagnostic.h"
#include "text_lexer.h"

namespace qmv::textform {

class TokenStream {
public:
    explicit TokenStream(std::string_view text) : lexer_(text) { current_ = lexer_.next(); }

    const Token& peek() const { return current_; }
    Token take() {
        Token token = current_;
        current_ = lexer_.next();
        return token;
    }
    bool at(TokenKind kind) const { return current_.kind == kind; }

private:
    Lexer lexer_;
    Token current_;
};

// How a token reads in a message: "'(' ", "the end of the line", ...
std::string describe(const Token& token);

// 0 to 15, or -1 for a character that is not a hex digit.
int hexDigitValue(char ch);

class ValueReader {
public:
    ValueReader(TokenStream& in, Diagnostic& error) : in_(in), error_(error) {}

    // Record a problem (and return false, so that callers can return it).
    bool fail(const TextPos& at, const std::string& message);
    bool failHere(const std::string& expected);

    bool expect(TokenKind kind, const std::string& what, Token* out = nullptr);
    // The end of the statement, or a message naming what follows it.
    bool endOfStatement(std::string_view name);

    // A whole number (decimal or 0x hex) from `low` to `high`.
    bool integer(int64_t low, int64_t high, const std::string& what, int64_t& value,
                 TextPos* at = nullptr);

    bool coordinate(Coordinate& c);
    // (x, y) as the fields of a point of `sizeBits`.
    bool point(int sizeBits, PointField& out, TextPos& at);
    // (x, y) as exact doubles: a point of a list written as absolute points.
    bool target(Point& out, TextPos& at);

    // @form, ~filler and *repeat after an element, each where it makes sense.
    bool annotations(Annotation& note, bool formAllowed, bool fillerAllowed,
                     uint32_t* repeat = nullptr);
    bool checkSizeForm(int64_t value, const Annotation& note, bool isSigned, const TextPos& at);

    // A colour in `colorSize`; `inPalette` for the entries of a palette,
    // which the reader reads with no palette in force.
    bool color(int colorSize, bool hasPalette, ColorLevels& out, TextPos& at,
               bool inPalette = false);

    // A step list, relative or absolute (abs[...]). `running` is where the
    // list starts and becomes where it ends, as the reader adds the steps.
    bool steps(int sizeBits, Point& running, std::vector<StepRun>& out, bool& absolute,
               TextPos& at);

protected:
    TokenStream& in_;

private:
    bool coordinatePair(Coordinate& x, Coordinate& y, TextPos& at);
    // name(level[, level]) with the name already seen.
    bool colorCall(const std::string& name, int args, int64_t high, ColorLevels& out);

    Diagnostic& error_;
};

}  // namespace qmv::textform
