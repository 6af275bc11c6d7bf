#include "text_lexer.h"

namespace qmv::textform {

namespace {

bool isHex(char ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool isLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_'; }
bool isWordChar(char ch) { return isLetter(ch) || isDigit(ch); }

int hexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return ch - 'A' + 10;
}

}  // namespace

void Lexer::advance() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == '\n') {
        ++line_;
        column_ = 1;
    } else {
        ++column_;
    }
    ++pos_;
}

bool Lexer::startsColour() const {
    size_t n = 0;
    while (isHex(peekChar(1 + n))) ++n;
    return (n == 6 || n == 8) && !isWordChar(peekChar(1 + n));
}

Token Lexer::lexString() {
    Token token{TokenKind::String, {}, here()};
    advance();  // the opening quote
    for (;;) {
        const char ch = peekChar();
        if (pos_ >= text_.size() || ch == '\n') {
            return {TokenKind::Bad, "the text in double quotes is not closed on its line",
                    token.at};
        }
        if (ch == '"') {
            advance();
            return token;
        }
        if (ch != '\\') {
            token.text += ch;
            advance();
            continue;
        }
        const TextPos escapeAt = here();
        advance();
        const char e = peekChar();
        switch (e) {
        case '"':
        case '\\':
            token.text += e;
            advance();
            break;
        case 'n':
            token.text += '\n';
            advance();
            break;
        case 't':
            token.text += '\t';
            advance();
            break;
        case 'r':
            token.text += '\r';
            advance();
            break;
        case '0':
            token.text += '\0';
            advance();
            break;
        case 'x':
            if (!isHex(peekChar(1)) || !isHex(peekChar(2))) {
                return {TokenKind::Bad, "\\x needs two hex digits", escapeAt};
            }
            token.text += static_cast<char>(hexValue(peekChar(1)) * 16 + hexValue(peekChar(2)));
            advance();
            advance();
            advance();
            break;
        default:
            return {TokenKind::Bad,
                    "unknown escape in a text (use \\\", \\\\, \\n, \\t, \\r, \\0 or \\xHH)",
                    escapeAt};
        }
    }
}

Token Lexer::lexNumber() {
    Token token{TokenKind::Number, {}, here()};
    const bool hex = (peekChar() == '0' && (peekChar(1) == 'x' || peekChar(1) == 'X')) ||
                     ((peekChar() == '-' || peekChar() == '+') && peekChar(1) == '0' &&
                      (peekChar(2) == 'x' || peekChar(2) == 'X'));
    token.text += peekChar();
    advance();
    for (;;) {
        const char ch = peekChar();
        const char last = token.text.back();
        const bool exponentSign = !hex && (ch == '+' || ch == '-') && (last == 'e' || last == 'E');
        if (!isWordChar(ch) && ch != '.' && !exponentSign) break;
        token.text += ch;
        advance();
    }
    return token;
}

Token Lexer::lexWord() {
    Token token{TokenKind::Word, {}, here()};
    token.text += peekChar();
    advance();
    while (isWordChar(peekChar())) {
        token.text += peekChar();
        advance();
    }
    return token;
}

Token Lexer::next() {
    for (;;) {
        const char ch = peekChar();
        if (pos_ >= text_.size()) {
            if (lineHasTokens_) {
                lineHasTokens_ = false;
                depth_ = 0;
                return {TokenKind::EndOfLine, {}, here()};
            }
            return {TokenKind::EndOfText, {}, here()};
        }
        if (ch == '\n') {
            if (depth_ == 0 && lineHasTokens_) {
                Token end{TokenKind::EndOfLine, {}, here()};
                lineHasTokens_ = false;
                advance();
                return end;
            }
            advance();
            continue;
        }
        if (ch == ' ' || ch == '\t' || ch == '\r') {
            advance();
            continue;
        }
        if (ch == '#' && !startsColour()) {
            while (pos_ < text_.size() && peekChar() != '\n') advance();
            continue;
        }
        lineHasTokens_ = true;
        const TextPos at = here();
        if (ch == '#') {
            Token token{TokenKind::Colour, {}, at};
            advance();
            while (isHex(peekChar())) {
                token.text += peekChar();
                advance();
            }
            return token;
        }
        if (ch == '"') return lexString();
        const char after = peekChar(1);
        if (isDigit(ch) ||
            ((ch == '-' || ch == '+' || ch == '.') && (isDigit(after) || after == '.'))) {
            return lexNumber();
        }
        if (isLetter(ch) || ((ch == '-' || ch == '+') && isLetter(after))) return lexWord();
        TokenKind kind;
        switch (ch) {
        case '(':
            kind = TokenKind::LeftParen;
            ++depth_;
            break;
        case ')':
            kind = TokenKind::RightParen;
            if (depth_ > 0) --depth_;
            break;
        case '[':
            kind = TokenKind::LeftBracket;
            ++depth_;
            break;
        case ']':
            kind = TokenKind::RightBracket;
            if (depth_ > 0) --depth_;
            break;
        case ',':
            kind = TokenKind::Comma;
            break;
        case ':':
            kind = TokenKind::Colon;
            break;
        case '@':
            kind = TokenKind::At;
            break;
        case '~':
            kind = TokenKind::Tilde;
            break;
        case '*':
            kind = TokenKind::Star;
            break;
        case '|':
            kind = TokenKind::Bar;
            break;
        default:
            advance();
            return {TokenKind::Bad, std::string("unexpected character '") + ch + "'", at};
        }
        advance();
        return {kind, std::string(1, ch), at};
    }
}

}  // namespace qmv::textform
