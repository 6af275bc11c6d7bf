// Texts in canonical form assemble and disassemble back to themselves; other
// spellings of the same commands (absolute points, commas, hex numbers,
// escapes) come back in canonical form.
#include <gtest/gtest.h>

#include "qmv/textform/textform.h"

namespace qmv::test {
namespace {

std::string throughBytes(const std::string& text) {
    const textform::AssembleResult result = textform::assembleText(text);
    if (!result.ok) {
        return "error " + std::to_string(result.error.line) + ":" +
               std::to_string(result.error.column) + ": " + result.error.message;
    }
    return textform::disassembleBytes(result.bytes);
}

const char* const kHeader =
    "Header\n"
    "Reserved 0\n"
    "Version 1\n"
    "Release 0\n"
    "AbsPointSize 32\n"
    "RelPointSize 24\n"
    "Resolution (1, 1)\n"
    "LowerLeft (0, 0)\n"
    "UpperRight (100, 100)\n"
    "MM (1, 1)\n"
    "Background #ff8000\n"
    "\n";

TEST(TextCanonical, EveryCommandInTheDefaultSizes) {
    const std::string text =
        std::string(kHeader) +
        "SetLineColor #ff0000\n"
        "SetFont 1 2 12\n"
        "SetPalette [#000000 #ffffff #808080]\n"
        "SetImage 2 1 [#ff0000 #0000ff]  # image 0\n"
        "SetEdge (0, 0) [24: [(1, 0)*2] 16: [(0, 3)]]  # (1, 0) (2, 0) (2, 3)\n"
        "SetFace [1 -2] [3]\n"
        "BeginSetShape (0, 0)  # shape 0\n"
        "  StampShape 0 (5, 5)\n"
        "  SetColorSize 1\n"
        "  SetFillColor index(2)\n"
        "  FillBox (0, 0) (10, 10)\n"
        "EndSetShape\n"
        "\n"
        "Layer visible|detectable \"roads\"\n"
        "  Object \"a\"\n"
        "  Polyline (10, 10) [(1, 0) (0, 2)]  # (11, 10) (11, 12)\n"
        "  DrawPolygon (0, 0) []\n"
        "  FillPolygon (0, 0) [(5, 0)*3 (0, 5)]  # (5, 0) (10, 0) (15, 0) (15, 5)\n"
        "  Object \"\"\n"
        "  DrawCubicBezier 1 (0, 0) [(1, 0) (1, 1) (0, 1)]  # (1, 0) (2, 1) (2, 2)\n"
        "  DrawCubicBezier 0 (4, 4)\n"
        "  FillCubicBezier 3 (0, 0) [(1, 0) (1, 1) (0, 1)]*2 [(-1, 0) (0, -1)]  # (1, 0) (2, 1) "
        "(2, 2) "
        "(3, 2) (4, 3) (4, 4) (3, 4) (3, 3)\n"
        "  DrawArc (50, 50) (10, 5) (1, 0) (0, 1)  # from 0 to 90 degrees\n"
        "  FillArc (50, 50) (10, 5) (0, -1) (-1, 0)  # from 270 to 180 degrees\n"
        "  Text (5, 5) \"caf\\xc3\\xa9 \\\"q\\\" \\\\\"\n"
        "  Shape 0 (5, 5) (1, 1) (2, 2)  # at 45 degrees\n"
        "  RepeatShape (7, 7)\n"
        "  Image 0 (0, 0) (2, 1) (10, 10) (20, 10)\n"
        "  FullImage 0 (0, 0) (5, 5)\n"
        "  Mark (3, 3)\n"
        "  Line (1, 2) (3, 4)\n"
        "  DrawBox (0, 0) (10, -10)\n"
        "  DrawCircle (1, 2) 300\n"
        "  FillCircle (1, 2) 70000\n"
        "  DrawEllipse (0, 0) (4, 2)\n"
        "  FillEllipse (0, 0) (4, 2)\n"
        "  DrawEdge -1\n"
        "  DrawEdgeRange 1 3\n"
        "  FillFace 0\n"
        "  Extension \"a\" \"\"\n"
        "  SetBlendMode 3\n"
        "  SetLineDashes 0xf00f\n"
        "  SetLineStyle 0 0 0 1\n"
        "  SetMarkColor #00ff00\n"
        "  SetMarkStyle 1 300\n"
        "  SetGradientFill (0, 0) #000000 (100, 100) #ffffff\n"
        "  SetTextureFill (0, 0) 0\n"
        "  SetStrechedTextureFill (0, 0) (10, 10) 0\n"
        "  SetImageStretchMode 1\n"
        "  SetTextColor #123456\n"
        "  SetTextAlignment 10 (0, 1)  # at 90 degrees\n"
        "\n"
        "Layer hidden \"\\x00\"\n"
        "  SetPointSize16\n"
        "  Mark (-128, 127)\n";
    EXPECT_EQ(throughBytes(text), text);
}

TEST(TextCanonical, EveryPointAndColourSize) {
    std::string text =
        "Header\nReserved 7\nVersion 2\nRelease 3\nAbsPointSize 128\nRelPointSize 64\n"
        "Resolution (0.1, -1e+300)\nLowerLeft (-0, inf)\nUpperRight (nan, "
        "bits(0x7ff0000000000002))\n"
        "MM (5e-324, 1)\nBackground #000000\n\n"
        "SetPalette [#102030 #405060]\n"
        "SetColorSize 0\n"
        "SetImage 3 6 [\n"
        "  index(0) index(1) index(0)\n"
        "  index(1) index(1) index(1)\n"
        "  index(0) index(0) index(0)\n"
        "  index(0) index(1) index(0)\n"
        "  index(1) index(1) index(1)\n"
        "  index(0) index(0) index(1)\n"
        "]  # image 0\n"
        "\n"
        "Layer visible \"sizes\"\n"
        "  Polyline (1.5, -2.25) [(0.5, inf) (bits(0x7fc00001), -0)]  # (2, inf) (nan, inf)\n";
    const char* const kSized[] = {
        "  SetColorSize 1\n  SetLineColor index(255)\n",
        "  SetColorSize 2\n  SetLineColor grey(255)\n",
        "  SetColorSize 3\n  SetLineColor grey(4095)\n",
        "  SetColorSize 4\n  SetLineColor grey(65535)\n",
        "  SetColorSize 5\n  SetLineColor grey(100, 200)\n",
        "  SetColorSize 7\n  SetLineColor #01020304\n",
        "  SetPointSize16\n  SetRelPointSize3\n  Line (-128, 127) (-1, 1)\n",
        "  SetPointSize24\n  SetRelPointSize6\n  Line (-2048, 2047) (-4, 3)\n",
        "  SetPointSize32\n  SetRelPointSize8\n  Line (-32768, 32767) (-8, 7)\n",
        "  SetPointSize64\n  SetRelPointSize16\n  Line (16777216, -0.375) (-128, 127)\n",
        "  SetRelPointSize24\n  Line (1, 2) (-2048, 2047)\n",
        "  SetRelPointSize32\n  Line (1, 2) (-32768, 32767)\n",
        "  SetRelPointSize128\n  Line (1, 2) (1e-300, -inf)\n",
    };
    for (const char* part : kSized) text += part;
    text +=
        "  SetRelPointSize3\n"
        "  SetEdge (0, 0) [3: [(1, 1)] 6: [(-4, 3)] 8: [] 0: [(0, 0)*2]]  # (1, 1) (-3, 4) (-3, 4) "
        "(-3, 4)\n"
        "  DrawArc (0, 0) (1, 0) (0, 1) (1, 0)  # from 90 to 0 degrees\n"
        "  Polyline (0, 0) [(1, 0)]  # (1, 0)\n";
    EXPECT_EQ(throughBytes(text), text);
}

TEST(TextCanonical, AnnotationsStayWhereTheyMatter) {
    const std::string text = std::string(kHeader) +
                             "\n"
                             "Layer hidden \"ab\"@2\n"
                             "  DrawCircle (1, 2) 5@3\n"
                             "  DrawEdgeRange -1@2 0@3\n"
                             "  Polyline (0, 0) [(1, 1)]@2~0x0  # (1, 1)\n"
                             "  SetFace [7@2]@3 [1@2]\n";
    // ~0x0 says what the default says: canonical text leaves it out.
    std::string canonical = text;
    canonical.replace(canonical.find("~0x0"), 4, "");
    // The blank line after the header and the one before Layer make one.
    canonical.replace(canonical.find("\n\n\n"), 3, "\n\n");
    EXPECT_EQ(throughBytes(text), canonical);
}

TEST(TextCanonical, OtherSpellingsComeBackCanonical) {
    const std::string loose =
        std::string(kHeader) +
        "Layer 0xc0 \"t\\t\"   # flags as a number\n"
        "Polyline (10,10) abs[(11, 10), (11, 12),(8, 12)]\n"
        "SetLineDashes 61455\n"
        "DrawCubicBezier 2 (0, 0) abs[(1, 0) (2, 1) (2, 2)] [(1, 0), (1, 1), (0, 1)]\n"
        "SetEdge (0, 0) [3: abs[(1, 1) (2, 1)],\n"
        "                16: [(0, 3)]]\n"
        "SetLineColor #FFaa00\n"
        "Text (0x10, -0) \"\\n\"\n";
    const std::string canonical =
        std::string(kHeader) +
        "Layer visible|detectable \"t\\x09\"\n"
        "  Polyline (10, 10) [(1, 0) (0, 2) (-3, 0)]  # (11, 10) (11, 12) (8, 12)\n"
        "  SetLineDashes 0xf00f\n"
        "  DrawCubicBezier 2 (0, 0) [(1, 0) (1, 1) (0, 1)]*2  # (1, 0) (2, 1) (2, 2) (3, 2) (4, 3) "
        "(4, 4)\n"
        "  SetEdge (0, 0) [3: [(1, 1) (1, 0)] 16: [(0, 3)]]  # (1, 1) (2, 1) (2, 4)\n"
        "  SetLineColor #ffaa00\n"
        "  Text (16, 0) \"\\x0a\"\n";
    EXPECT_EQ(throughBytes(loose), canonical);
}

}  // namespace
}  // namespace qmv::test
