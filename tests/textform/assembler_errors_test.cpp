// Bad texts: the assembler names the first problem with its line and column
// and produces no bytes.
#include <gtest/gtest.h>

#include "qmv/textform/textform.h"

namespace qmv::test {
namespace {

// Twelve lines: the header fields and a blank line. Statements after it
// start at line 13.
const std::string kHeader =
    "Header\nReserved 0\nVersion 1\nRelease 0\nAbsPointSize 32\nRelPointSize 24\n"
    "Resolution (1, 1)\nLowerLeft (0, 0)\nUpperRight (100, 100)\nMM (1, 1)\n"
    "Background #ffffff\n\n";

struct BadText {
    const char* what;
    std::string body;  // after the header
    int line;
    int column;
    const char* message;  // a part of the expected message
};

void expectRefused(const std::string& text, int line, int column, const std::string& message) {
    const textform::AssembleResult result = textform::assembleText(text);
    ASSERT_FALSE(result.ok);
    EXPECT_TRUE(result.bytes.empty());
    EXPECT_EQ(result.error.line, line) << result.error.message;
    EXPECT_EQ(result.error.column, column) << result.error.message;
    EXPECT_NE(result.error.message.find(message), std::string::npos) << result.error.message;
}

TEST(TextAssemblerErrors, CommandsAndPlaces) {
    const BadText cases[] = {
        {"unknown name", "Layer hidden \"\"\n  Polylin (0, 0) []\n", 14, 3,
         "unknown command 'Polylin'"},
        {"wrong case", "Layer hidden \"\"\npolyline (0, 0) []\n", 14, 1,
         "case-sensitive: Polyline"},
        {"drawing in the global layer", "Line (0, 0) (1, 1)\n", 13, 1,
         "belongs in a layer or a shape definition"},
        {"image definition in a layer", "Layer hidden \"\"\nSetImage 0 0 []\n", 14, 1,
         "belongs in the global layer"},
        {"named opcode without a class", "SetMIMEImage\n", 13, 1, "accepted nowhere"},
        {"second header", "Header\n", 13, 1, "the header comes once"},
        {"shape left open", "BeginSetShape (0, 0)\n  Mark (1, 1)\n", 13, 1, "has no EndSetShape"},
        {"shape closed twice", "EndSetShape\n", 13, 1, "without a BeginSetShape"},
        {"layer inside a shape", "BeginSetShape (0, 0)\nLayer hidden \"\"\n", 14, 1,
         "cannot begin inside a shape definition"},
        {"nested shapes", "BeginSetShape (0, 0)\nBeginSetShape (0, 0)\n", 14, 1, "do not nest"},
        {"command after the raw block", "Layer hidden \"\"\nRaw\n00 01\nMark (1, 1)\n", 16, 1,
         "hex bytes only"},
        {"stretch mode the reader refuses", "SetImageStretchMode 2\n", 13, 1,
         "the reader stops at this command: Error in MakeSetImageStretchMode"},
        {"repeat before any shape", "Layer hidden \"\"\nRepeatShape (1, 1)\n", 14, 1,
         "Repeate shape found"},
    };
    for (const BadText& c : cases) {
        SCOPED_TRACE(c.what);
        expectRefused(kHeader + c.body, c.line, c.column, c.message);
    }
}

TEST(TextAssemblerErrors, ValuesOutsideTheirEncoding) {
    const BadText cases[] = {
        {"24-bit step too long", "Layer hidden \"\"\nLine (0, 0) (5000, 0)\n", 14, 14,
         "5000 is outside -2048 to 2047, the range of a 24-bit point"},
        {"3-bit step not a unit step",
         "SetRelPointSize3\nLayer hidden \"\"\nPolyline (0, 0) [(1, 0) (2, 0)]\n", 15, 26,
         "outside -1 to 1"},
        {"absolute point out of reach",
         "Layer hidden \"\"\nPolyline (0, 0) abs[(1, 0) (5000, 0)]\n", 14, 28,
         "the step (4999, 0) from (1, 0) to (5000, 0) does not fit"},
        {"float out of range", "SetPointSize64\nLayer hidden \"\"\nMark (1e39, 0)\n", 15, 7,
         "beyond the range of 32-bit floats"},
        {"fraction in a whole-number size", "Layer hidden \"\"\nMark (1.5, 0)\n", 14, 7,
         "whole numbers only"},
        {"byte too large", "SetColorSize 256\n", 13, 14, "256 is outside 0 to 255"},
        {"colour in another size's form", "SetLineColor grey(3)\n", 13, 14,
         "#rrggbb (colour size 6)"},
        {"palette index without a palette", "SetColorSize 1\nSetLineColor index(0)\n", 14, 14,
         "no palette is in force"},
        {"palette in palette indices", "SetColorSize 1\nSetPalette [index(0)]\n", 14, 13,
         "a palette cannot be written in colour size 1"},
        {"size form too short", "Layer hidden \"\"\nDrawCircle (0, 0) 300@1\n", 14, 22,
         "does not fit a 1-byte size"},
        {"long form of zero", "Layer hidden \"\"\nFillFace 0@2\n", 14, 11,
         "refuses 0 in a 2-byte size"},
        {"filler wider than the padding",
         "SetRelPointSize3\nLayer hidden \"\"\nPolyline (0, 0) [(1, 0)]~0x100\n", 15, 25,
         "needs more than the 5 bits"},
        {"segments missing", "Layer hidden \"\"\nDrawCubicBezier 2 (0, 0) [(1, 0) (1, 1) (0, 1)]\n",
         14, 48, "only 1 are written"},
        {"closing segment of three steps",
         "Layer hidden \"\"\nFillCubicBezier 1 (0, 0) [(1, 0) (1, 1) (0, 1)]\n", 14, 26,
         "the closing segment of a filled figure has 2 steps"},
        {"pixels missing", "SetImage 2 2 [#000000]\n", 13, 22, "has 4 pixels, not 1"},
        {"operand missing", "Layer hidden \"\"\nLine (0, 0)\n", 14, 12, "Line needs more operands"},
        {"operand too many", "Layer hidden \"\"\nMark (1, 1) 5\n", 14, 13,
         "unexpected '5' after the operands of Mark"},
        {"text not closed", "Layer hidden \"abc\n", 13, 14, "not closed on its line"},
        {"unknown escape", "Layer hidden \"a\\q\"\n", 13, 16, "unknown escape"},
    };
    for (const BadText& c : cases) {
        SCOPED_TRACE(c.what);
        expectRefused(kHeader + c.body, c.line, c.column, c.message);
    }
}

// Where the bits fall decides some problems: a 12-bit field after an arc
// whose 3-bit radii leave the reader three bits into a byte, and radii bits
// that disagree with the byte the next operand reads whole.
TEST(TextAssemblerErrors, BitsThatCannotFallWhereTheyWould) {
    expectRefused(kHeader +
                      "SetRelPointSize3\nLayer hidden \"\"\nDrawArc (0, 0) (1, 0) (1, 0) (0, 1)\n"
                      "SetColorSize 3\nSetLineColor grey(1)\n",
                  17, 14, "a 12-bit field can start only at a byte or half-byte frontier");
    expectRefused(
        kHeader + "SetRelPointSize3\nLayer hidden \"\"\nDrawArc (0, 0) (0, 1) (1, 0) (0, 1)\n", 15,
        23, "the two disagree");
}

TEST(TextAssemblerErrors, TheHeader) {
    expectRefused("Layer hidden \"\"\n", 1, 1, "starts with Header");
    expectRefused("", 1, 1, "the text is empty");
    std::string small = kHeader;
    small.replace(small.find("AbsPointSize 32"), 15, "AbsPointSize 8");
    expectRefused(small, 5, 14, "refuses absolute point sizes below 16");
    std::string shuffled = kHeader;
    shuffled.replace(shuffled.find("Version 1\nRelease 0"), 19, "Release 0\nVersion 1");
    expectRefused(shuffled, 3, 1, "expected the header field Version");
}

}  // namespace
}  // namespace qmv::test
