// Splits a text into tokens, one logical line at a time: a line break ends
// a statement except inside brackets or parentheses, so long lists may span
// lines. A '#' starts a comment unless it begins a colour (six or eight hex
// digits standing alone).
#pragma once

#include <string>
#include <string_view>

#include "command.h"

namespace qmv::textform {

enum class TokenKind {
    Word,    // a name: letters, digits, '_' (also "-inf")
    Number,  // digits, sign, '.', exponent, 0x prefix
    String,  // text holds the bytes with escapes resolved
    Colour,  // text holds the hex digits
    LeftParen,
    RightParen,
    LeftBracket,
    RightBracket,
    Comma,
    Colon,
    At,
    Tilde,
    Star,
    Bar,
    EndOfLine,  // end of a statement
    EndOfText,
    Bad,  // text holds the problem
};

struct Token {
    TokenKind kind = TokenKind::EndOfText;
    std::string text;
    TextPos at;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token next();
    // Position of the next character (for messages at the end of a line).
    TextPos here() const { return {line_, column_}; }

private:
    char peekChar(size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    void advance();
    bool startsColour() const;
    Token lexString();
    Token lexNumber();
    Token lexWord();

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
    int depth_ = 0;  // open brackets and parentheses
    bool lineHasTokens_ = false;
};

}  // namespace qmv::textform
