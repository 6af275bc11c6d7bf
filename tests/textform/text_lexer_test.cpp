// The lexical rules the text relies on: where a comment starts (a '#' that
// does not begin a colour), where a statement ends (a line break outside
// brackets), and how numbers and texts are cut.
#include "text_lexer.h"

#include <gtest/gtest.h>

namespace qmv::textform {
namespace {

std::vector<Token> tokensOf(const std::string& text) {
    Lexer lexer(text);
    std::vector<Token> tokens;
    for (Token t = lexer.next(); t.kind != TokenKind::EndOfText; t = lexer.next()) {
        tokens.push_back(t);
        if (t.kind == TokenKind::Bad) break;
    }
    return tokens;
}

std::string kinds(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens) {
        switch (t.kind) {
        case TokenKind::Word:
            out += "w:" + t.text + " ";
            break;
        case TokenKind::Number:
            out += "n:" + t.text + " ";
            break;
        case TokenKind::Colour:
            out += "c:" + t.text + " ";
            break;
        case TokenKind::String:
            out += "s:" + t.text + " ";
            break;
        case TokenKind::EndOfLine:
            out += "; ";
            break;
        case TokenKind::Bad:
            out += "bad ";
            break;
        default:
            out += t.text + " ";
            break;
        }
    }
    return out;
}

TEST(TextLexer, AHashBeginsAColourOnlyWithSixOrEightHexDigits) {
    EXPECT_EQ(kinds(tokensOf("SetLineColor #ff8000 # red\n")), "w:SetLineColor c:ff8000 ; ");
    EXPECT_EQ(kinds(tokensOf("SetLineColor #ff800080\n")), "w:SetLineColor c:ff800080 ; ");
    EXPECT_EQ(kinds(tokensOf("Mark (1, 2) #fff is a comment\n")), "w:Mark ( n:1 , n:2 ) ; ");
    EXPECT_EQ(kinds(tokensOf("Mark (1, 2) #ff8000zz\n")), "w:Mark ( n:1 , n:2 ) ; ");
    EXPECT_EQ(kinds(tokensOf("# a whole line\n\n   # indented\nEndSetShape\n")),
              "w:EndSetShape ; ");
}

TEST(TextLexer, LineBreaksInsideBracketsContinueTheStatement) {
    EXPECT_EQ(kinds(tokensOf("SetImage 1 2 [\n  #000000  # top\n  #ffffff\n]\nEndSetShape")),
              "w:SetImage n:1 n:2 [ c:000000 c:ffffff ] ; w:EndSetShape ; ");
    const std::vector<Token> tokens = tokensOf("Mark (1,\n 2)\nMark\n(3, 4)");
    EXPECT_EQ(kinds(tokens), "w:Mark ( n:1 , n:2 ) ; w:Mark ; ( n:3 , n:4 ) ; ");
    EXPECT_EQ(tokens[4].at.line, 2);
    EXPECT_EQ(tokens[4].at.column, 2);
}

TEST(TextLexer, NumbersWordsAndTexts) {
    EXPECT_EQ(kinds(tokensOf("(-1.5e+10, -inf) 0x7F ~0x1f @2 *3")),
              "( n:-1.5e+10 , w:-inf ) n:0x7F ~ n:0x1f @ n:2 * n:3 ; ");
    EXPECT_EQ(kinds(tokensOf("\"a\\\"b\\\\c\\x41\\n\"")), "s:a\"b\\cA\n ; ");
    EXPECT_EQ(kinds(tokensOf("\"\\xg1\"")), "bad ");
    EXPECT_EQ(kinds(tokensOf("Mark $")), "w:Mark bad ");
}

}  // namespace
}  // namespace qmv::textform
