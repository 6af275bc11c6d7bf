// Bytes the plain text of an operand does not decide: long SIZE forms,
// skipped bits that are not zero, float patterns without a decimal form,
// point sizes that store nothing, and a bit position carried from one
// command into the next. Each is written so that it survives as text, and
// the file comes back byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>

#include "qmv/writer.h"
#include "roundtrip_support.h"

namespace qmv::test {
namespace {

SceneHeader plainHeader() {
    SceneHeader h;
    h.upperRight = {100, 100};
    return h;
}

// The text line of the first command named `name` (without indentation).
std::string lineOf(const std::string& text, const std::string& name) {
    const size_t at = text.find("  " + name + " ");
    if (at == std::string::npos) return "(no " + name + ")";
    const size_t end = text.find('\n', at);
    return text.substr(at + 2, end - at - 2);
}

// The disassembly, checked to hold no raw block and to come back whole.
std::string textOf(const std::vector<uint8_t>& bytes) {
    const RoundTrip trip = roundTrip(bytes);
    EXPECT_EQ(trip.problem, "") << trip.text;
    EXPECT_FALSE(hasRawBlock(trip.text)) << trip.text;
    EXPECT_TRUE(trip.bytes == bytes) << trip.text;
    return trip.text;
}

TEST(TextLongSizeForms, SurviveAsAtAnnotations) {
    SceneWriter w(plainHeader());
    w.layer("l");
    w.rawOpcode(QMVR_DrawCircle);
    w.rawPoint({1, 2}, 32);
    w.rawSize(5, SizeForm::TwoBytes);
    w.rawOpcode(QMVR_Text);
    w.rawPoint({3, 4}, 32);
    w.rawSize(2, SizeForm::ThreeBytes);
    w.rawBytes({'h', 'i'});
    w.rawOpcode(QMVR_DrawEdgeRange);
    w.rawSignedSize(-1, SizeForm::ThreeBytes);
    w.rawSignedSize(0, SizeForm::TwoBytes);
    w.rawOpcode(QMVR_Polyline);
    w.rawPoint({0, 0}, 32);
    w.rawSize(1, SizeForm::TwoBytes);
    w.rawPoint({1, 1}, 24);
    w.rawOpcode(QMVR_SetFace);
    w.rawSize(1, SizeForm::ThreeBytes);
    w.rawSignedSize(7, SizeForm::TwoBytes);
    w.rawSize(0);
    const std::string text = textOf(w.bytes());
    EXPECT_EQ(lineOf(text, "DrawCircle"), "DrawCircle (1, 2) 5@2");
    EXPECT_EQ(lineOf(text, "Text"), "Text (3, 4) \"hi\"@3");
    EXPECT_EQ(lineOf(text, "DrawEdgeRange"), "DrawEdgeRange -1@3 0@2");
    EXPECT_EQ(lineOf(text, "Polyline"), "Polyline (0, 0) [(1, 1)]@2  # (1, 1)");
    EXPECT_EQ(lineOf(text, "SetFace"), "SetFace [7@2]@3 []");
}

TEST(TextSkippedBits, PaddingThatIsNotZeroSurvivesAsFiller) {
    SceneHeader h = plainHeader();
    h.relPointSize = 3;
    SceneWriter w(h);
    w.setPalette({{0, 0, 0, 1}, {1, 1, 1, 1}});
    // Palette indices of one bit, each padded to a byte.
    w.setColorSize(0);
    w.rawOpcode(QMVR_SetImage);
    w.rawBytes({0, 2, 0, 1});
    w.rawBits(1, 1);
    w.rawBits(0x7F, 7);
    w.rawBits(0, 1);
    w.rawBits(0x01, 7);
    w.setColorSize(6);
    w.layer("l");
    // Two 3-bit steps and the two padding bits 11.
    w.rawOpcode(QMVR_Polyline);
    w.rawPoint({10, 10}, 32);
    w.rawSize(2);
    w.rawBits(0, 3);
    w.rawBits(2, 3);
    w.rawBits(3, 2);
    // A 12-bit grey and the padding nibble 1010.
    w.setColorSize(3);
    w.rawOpcode(QMVR_SetFillColor);
    w.rawBits(100, 12);
    w.rawBits(0xA, 4);
    // An image command with two alignments: each pads the point before it.
    w.rawOpcode(QMVR_Image);
    w.rawSize(0);
    w.rawPoint({0, 0}, 32);
    w.rawBits(1, 3);
    w.rawBits(0x1F, 5);
    w.rawPoint({5, 5}, 32);
    w.rawBits(4, 3);
    w.rawBits(0x01, 5);
    const std::string text = textOf(w.bytes());
    EXPECT_NE(text.find("\nSetImage 2 1 [index(1)~0x7f index(0)~0x1]  # image 0\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(lineOf(text, "Polyline"),
              "Polyline (10, 10) [(1, 0) (0, 1)]~0x3  # (11, 10) (11, 11)");
    EXPECT_EQ(lineOf(text, "SetFillColor"), "SetFillColor grey(100)~0xa");
    EXPECT_EQ(lineOf(text, "Image"), "Image 0 (0, 0) (1, 1)~0x1f (5, 5) (-1, 0)~0x1");
}

TEST(TextSkippedBits, FillerOnAnElementThatSkipsNothingIsRefused) {
    SceneWriter w(plainHeader());
    w.layer("l");
    const std::string text = textform::disassembleBytes(w.bytes());
    const auto result = textform::assembleText(text + "SetLineColor #ff0000~0x1\n");
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.error.line, static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1);
    EXPECT_EQ(result.error.column, 21);
    EXPECT_NE(result.error.message.find("skips no bits"), std::string::npos)
        << result.error.message;
}

// An arc with 3-bit radii leaves the reader three bits into the next byte:
// bit reads after it start there, the three bits above them are skipped,
// and an alignment with no bit of its byte read skips the whole byte.
TEST(TextCarriedBitPosition, CommandsAfterABitPackedArcStayText) {
    SceneHeader h = plainHeader();
    h.relPointSize = 3;
    SceneWriter w(h);
    w.layer("l");
    w.drawArc({50, 50}, {1, 0}, {1, 0}, {0, 1});
    ASSERT_EQ(w.bitPosition(), 3);
    const size_t polylineAt = w.bytes().size();
    w.polylineSteps({0, 0}, {{0, 1}});
    w.drawArc({50, 50}, {1, 0}, {1, 0}, {0, 1});
    const size_t lineAt = w.bytes().size();
    w.line({1, 1}, {-1, -1});
    w.drawArc({50, 50}, {1, 0}, {1, 0}, {0, 1});
    w.setRelPointSize(16);
    w.line({2, 2}, {-1, -1});
    ASSERT_TRUE(w.ok()) << w.error();
    std::vector<uint8_t> bytes = w.bytes();
    // Opcode, a 4-byte point, then the step byte (after a count for the polyline).
    bytes[polylineAt + 6] |= 0xE0;  // skipped: the three bits above the step
    bytes[lineAt + 5] |= 0xE3;      // skipped: three above, two padding below
    bytes.back() = 0x5A;            // the last Line's padding byte
    const std::string text = textOf(bytes);
    EXPECT_EQ(lineOf(text, "DrawArc"),
              "DrawArc (50, 50) (1, 0) (1, 0) (0, 1)  # from 0 to 90 degrees");
    EXPECT_EQ(lineOf(text, "Polyline"), "Polyline (0, 0) [(0, 1)]~0x1c  # (0, 1)");
    EXPECT_EQ(lineOf(text, "Line"), "Line (1, 1) (-1, -1)~0x1f");
    EXPECT_NE(text.find("  Line (2, 2) (-1, -1)~0x5a\n"), std::string::npos) << text;
}

TEST(TextFloatPatterns, NaNPayloadsAndSignedZerosSurvive) {
    SceneHeader h = plainHeader();
    h.absPointSize = 64;
    h.relPointSize = 128;
    SceneWriter w(h);
    w.layer("l");
    w.rawOpcode(QMVR_Mark);
    w.rawBytes({0x7F, 0xC0, 0x00, 0x01, 0x7F, 0x80, 0x00, 0x01});  // two NaNs with payloads
    w.rawOpcode(QMVR_Mark);
    w.rawBytes({0x80, 0, 0, 0, 0x7F, 0xC0, 0, 0});  // -0 and the plain NaN
    w.rawOpcode(QMVR_Line);
    w.rawPoint({std::numeric_limits<double>::infinity(), 0.1}, 64);
    w.rawBytes({0x7F, 0xF0, 0, 0, 0, 0, 0, 1, 0xBF, 0xF0, 0, 0, 0, 0, 0, 0});
    const std::string text = textOf(w.bytes());
    EXPECT_NE(text.find("Mark (bits(0x7fc00001), bits(0x7f800001))"), std::string::npos) << text;
    EXPECT_NE(text.find("Mark (-0, nan)"), std::string::npos) << text;
    EXPECT_EQ(lineOf(text, "Line"), "Line (inf, 0.1) (bits(0x7ff0000000000001), -1)");
}

TEST(TextEmptyPointSizes, PointsOfSizesThatStoreNothingReadAsZero) {
    SceneHeader h = plainHeader();
    h.relPointSize = 7;  // not a point size: relative points take no bits
    SceneWriter w(h);
    w.layer("l");
    w.rawOpcode(QMVR_Polyline);
    w.rawPoint({0, 0}, 32);
    w.rawSize(4194303);
    w.rawOpcode(QMVR_SetEdge);
    w.rawPoint({1, 1}, 32);
    w.rawSize(1);
    w.rawByte(200);
    w.rawSize(3);
    w.rawOpcode(QMVR_Line);
    w.rawPoint({2, 2}, 32);
    const std::string text = textOf(w.bytes());
    EXPECT_NE(text.find("RelPointSize 7\n"), std::string::npos);
    EXPECT_EQ(
        lineOf(text, "Polyline"),
        "Polyline (0, 0) [(0, 0)*4194303]  # (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) "
        "(0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) "
        "(0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) (0, 0) "
        "(0, 0) ... 4194303 points, the last (0, 0)");
    EXPECT_EQ(lineOf(text, "SetEdge"), "SetEdge (1, 1) [200: [(0, 0)*3]]  # (1, 1) (1, 1) (1, 1)");
    EXPECT_EQ(lineOf(text, "Line"), "Line (2, 2) (0, 0)");

    const auto wrong = textform::assembleText(text + "  Line (0, 0) (1, 0)\n");
    ASSERT_FALSE(wrong.ok);
    EXPECT_NE(wrong.error.message.find("stores nothing"), std::string::npos) << wrong.error.message;
}

}  // namespace
}  // namespace qmv::test
