// Where the reader stops (an error it records, the end of the data inside a
// command) the text stops too: a comment says why and a raw block keeps the
// rest, which may start with the very command the reader refused.
#include <gtest/gtest.h>

#include "qmv/writer.h"
#include "roundtrip_support.h"

namespace qmv::test {
namespace {

SceneHeader plainHeader() {
    SceneHeader h;
    h.upperRight = {100, 100};
    return h;
}

struct Stop {
    std::string text;
    std::string rawBytes;  // the hex after "Raw\n"
};

// Disassembles, checks the file comes back whole, and splits off the raw block.
Stop stopOf(const std::vector<uint8_t>& bytes) {
    const RoundTrip trip = roundTrip(bytes);
    EXPECT_EQ(trip.problem, "") << trip.text;
    EXPECT_TRUE(trip.bytes == bytes) << trip.text;
    Stop stop{trip.text, {}};
    const size_t raw = trip.text.find("Raw\n");
    if (raw != std::string::npos) stop.rawBytes = trip.text.substr(raw + 4);
    return stop;
}

TEST(TextReaderStops, AtAnErrorInsideACommand) {
    SceneWriter w(plainHeader());
    w.layer("l");
    w.line({1, 2}, {3, 4});
    w.rawOpcode(QMVR_DrawCircle);
    w.rawPoint({1, 2}, 32);
    w.rawSize(0, SizeForm::TwoBytes);
    w.line({5, 6}, {7, 8});
    const Stop stop = stopOf(w.bytes());
    EXPECT_NE(stop.text.find("  Line (1, 2) (3, 4)\n"), std::string::npos) << stop.text;
    EXPECT_NE(stop.text.find("# The reader stops at this DrawCircle command: getsize: Inconsistent "
                             "number (2 bytes used but # is zero!)\n"),
              std::string::npos)
        << stop.text;
    EXPECT_TRUE(stop.rawBytes.starts_with("33 00 01 00 02 80 00 31")) << stop.rawBytes;
}

TEST(TextReaderStops, AtCommandsWhoseValuesTheReaderRefuses) {
    SceneWriter w(plainHeader());
    w.layer("l");
    w.rawOpcode(QMVR_SetImageStretchMode);
    w.rawByte(2);
    EXPECT_NE(stopOf(w.bytes()).text.find("# The reader stops at this SetImageStretchMode command: "
                                          "Error in MakeSetImageStretchMode"),
              std::string::npos);

    SceneWriter repeat(plainHeader());
    repeat.layer("l");
    repeat.rawOpcode(QMVR_RepeatShape);
    repeat.rawPoint({1, 1}, 32);
    EXPECT_NE(
        stopOf(repeat.bytes()).text.find("Repeate shape found, but no shape has been ever found"),
        std::string::npos);

    SceneWriter noPalette(plainHeader());
    noPalette.setColorSize(1);
    noPalette.rawOpcode(QMVR_SetLineColor);
    noPalette.rawByte(0);
    noPalette.layer("l");
    EXPECT_NE(stopOf(noPalette.bytes())
                  .text.find("PickColorFromPalette: Palette color either not defined"),
              std::string::npos);
}

TEST(TextReaderStops, AtATwelveBitFieldOffAFrontier) {
    SceneHeader h = plainHeader();
    h.relPointSize = 6;
    SceneWriter w(h);
    w.layer("l");
    w.drawArc({0, 0}, {0, 0}, {1, 0}, {0, 1});
    ASSERT_EQ(w.bitPosition(), 6);
    w.rawOpcode(QMVR_SetColorSize);
    w.rawByte(3);
    w.rawOpcode(QMVR_SetLineColor);
    w.rawBytes({0x12, 0x34});
    const Stop stop = stopOf(w.bytes());
    EXPECT_NE(stop.text.find("  SetColorSize 3\n"), std::string::npos) << stop.text;
    EXPECT_NE(stop.text.find(
                  "this SetLineColor command: get1int12 called but byte frontier was no correct."),
              std::string::npos)
        << stop.text;
    EXPECT_EQ(stop.rawBytes, "5f 12 34\n");
}

TEST(TextReaderStops, WhereTheWalkRefusesTheNextOpcode) {
    SceneWriter inGlobal(plainHeader());
    inGlobal.rawOpcode(QMVR_Line);
    EXPECT_NE(stopOf(inGlobal.bytes()).text.find("# The reader stops here: Error in globallayer"),
              std::string::npos);

    SceneWriter endFirst(plainHeader());
    endFirst.rawOpcode(QMVR_EndSetShape);
    EXPECT_NE(
        stopOf(endFirst.bytes()).text.find("Shape called but function is not a BeginSetShape"),
        std::string::npos);

    SceneWriter imageInLayer(plainHeader());
    imageInLayer.layer("l");
    imageInLayer.rawBytes({QMVR_SetImage, 0, 0, 0, 0});
    const Stop layerStop = stopOf(imageInLayer.bytes());
    EXPECT_NE(layerStop.text.find("Parse.c [layers]: File was not fully read."), std::string::npos);
    EXPECT_EQ(layerStop.rawBytes, "6d 00 00 00 00\n");

    SceneWriter undefined(plainHeader());
    undefined.layer("l");
    undefined.rawByte(0x03);
    EXPECT_EQ(stopOf(undefined.bytes()).rawBytes, "03\n");
}

TEST(TextReaderStops, AtTheEndOfTheDataInsideACommandOrAShape) {
    SceneWriter w(plainHeader());
    w.layer("l");
    w.polylineSteps({1, 1}, {{1, 0}, {0, 1}});
    std::vector<uint8_t> cut = w.bytes();
    cut.pop_back();
    const Stop stop = stopOf(cut);
    EXPECT_NE(stop.text.find("# The file ends inside this Polyline command.\n"), std::string::npos)
        << stop.text;
    EXPECT_TRUE(stop.rawBytes.starts_with("10 00 01 00 01 02")) << stop.rawBytes;

    SceneWriter open(plainHeader());
    open.beginShape({0, 0});
    open.mark({1, 1});
    const Stop shape = stopOf(open.bytes());
    EXPECT_NE(shape.text.find("  Mark (1, 1)\n"), std::string::npos) << shape.text;
    EXPECT_NE(shape.text.find("Shape: Shape does not close."), std::string::npos) << shape.text;
    EXPECT_TRUE(shape.text.ends_with("Raw\n")) << shape.text;  // nothing left after the stop
}

TEST(TextReaderStops, AFileWithoutLayersIsTextWithAComment) {
    SceneWriter w(plainHeader());
    w.setLineColor({1, 0, 0});
    const Stop stop = stopOf(w.bytes());
    EXPECT_FALSE(hasRawBlock(stop.text));
    EXPECT_NE(stop.text.find("SetLineColor #ff0000\n"), std::string::npos);
    EXPECT_NE(stop.text.find("# The scene has no layer"), std::string::npos);
}

TEST(TextReaderStops, AtTheHeader) {
    const Stop empty = stopOf({});
    EXPECT_TRUE(empty.text.starts_with("# The reader stops in the header: Missing header.\n"))
        << empty.text;

    const Stop notAScene = stopOf({'Q', 'M', 'X', 1, 2});
    EXPECT_EQ(notAScene.rawBytes, "51 4d 58 01 02\n");

    SceneHeader h = plainHeader();
    h.absPointSize = 8;
    SceneWriter small(h);
    const Stop tooSmall = stopOf(small.bytes());
    EXPECT_NE(tooSmall.text.find("getpoint: point is smaller than 16 bits"), std::string::npos);

    std::vector<uint8_t> cut = SceneWriter(plainHeader()).bytes();
    cut.resize(20);
    EXPECT_TRUE(stopOf(cut).text.starts_with("# The file ends inside the header.\n"));
}

// With an absolute point size that stores nothing, an arc's bit-packed radii
// are the last thing it reads, and the next opcode is read from that byte:
// the text cannot say that, so the rest is raw, and still comes back whole.
TEST(TextReaderStops, WhereTheNextOpcodeSharesAByteWithTheCommandBefore) {
    SceneHeader h = plainHeader();
    h.absPointSize = 17;
    h.relPointSize = 3;
    SceneWriter w(h);
    w.layer("l");
    w.rawOpcode(QMVR_DrawArc);
    w.rawBits(1, 3);  // radii (1, 1): the top bits of the Mark opcode 0x30
    w.rawOpcode(QMVR_Mark);
    w.rawOpcode(QMVR_Mark);
    const Stop stop = stopOf(w.bytes());
    EXPECT_NE(stop.text.find("  DrawArc (0, 0) (1, 1) (0, 0) (0, 0)"), std::string::npos)
        << stop.text;
    EXPECT_NE(stop.text.find("# Not canonical from here"), std::string::npos) << stop.text;
    EXPECT_EQ(stop.rawBytes, "30 30\n");
}

}  // namespace
}  // namespace qmv::test
