// What the writer refuses and how it says so: the first problem is kept with
// the command, its byte offset and the operand; writing goes on.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "qmv/writer/scene_writer.h"
#include "writer_test_support.h"

namespace qmv::test {
namespace {

TEST(WriterErrors, TheFirstProblemIsKeptAndWritingGoesOn) {
    SceneWriter w(SceneHeader{.relPointSize = 3});
    w.layer("", true, false);  // 29 header bytes, 3 layer bytes
    w.polylineSteps({0, 0}, std::vector<Point>{{1, 0}, {2, 0}});
    const size_t sizeAfterFirst = w.bytes().size();
    w.setColorSize(9);
    w.setLineColor({1, 0, 0});
    EXPECT_EQ(w.error(),
              "QMVR_Polyline at byte 32: step 1: (2, 0) is not one of the eight unit steps "
              "that a 3-bit point holds");
    EXPECT_GT(w.bytes().size(), sizeAfterFirst);
    EXPECT_FALSE(w.save("/tmp/never-written.qmv"));
}

TEST(WriterErrors, CommandsOutsideWhereTheReaderAcceptsThem) {
    const std::vector<Color> pixel = {{0, 0, 0, 1}};
    const std::pair<const char*, std::function<void(SceneWriter&)>> cases[] = {
        {"QMVR_Line at byte 29: drawing commands",
         [](SceneWriter& w) {
             w.line({0, 0}, {1, 1});
         }},
        {"QMVR_Object at byte 29: drawing commands", [](SceneWriter& w) { w.beginObject("a"); }},
        {"QMVR_SetImage at byte 32: images are defined only",
         [&](SceneWriter& w) {
             w.layer("", true, false);
             w.setImage(1, 1, pixel);
         }},
        {"QMVR_Layer at byte 34: a layer cannot begin inside a shape",
         [](SceneWriter& w) {
             w.beginShape({0, 0});
             w.layer("", true, false);
         }},
        {"QMVR_BeginSetShape at byte 32: shapes are defined only in the global layer",
         [](SceneWriter& w) {
             w.layer("", true, false);
             w.beginShape({0, 0});
         }},
        {"QMVR_EndSetShape at byte 29: no shape definition is open",
         [](SceneWriter& w) { w.endShape(); }},
    };
    for (const auto& [expected, write] : cases) {
        SceneWriter w(SceneHeader{});
        write(w);
        EXPECT_EQ(w.error().rfind(expected, 0), 0u) << w.error();
    }
}

TEST(WriterErrors, ValuesTheCurrentEncodingCannotHold) {
    const std::pair<const char*, std::function<void(SceneWriter&)>> cases[] = {
        {"colour: palette index 2 is outside 0 to 1",
         [](SceneWriter& w) {
             w.setPalette(std::vector<Color>{{0, 0, 0, 1}, {1, 1, 1, 1}});
             w.setColorSize(1);
             w.setTextColor(PaletteIndex{2});
         }},
        {"colour: colour size 0 writes palette indices, and no palette is set",
         [](SceneWriter& w) {
             w.setColorSize(0);
             w.setLineColor({0, 0, 0});
         }},
        {"a palette is written in a direct colour size",
         [](SceneWriter& w) {
             w.setColorSize(1);
             w.setPalette(std::vector<Color>{{0, 0, 0, 1}});
         }},
        {"20 is not an absolute point size", [](SceneWriter& w) { w.setPointSize(20); }},
        {"5 is not a font style", [](SceneWriter& w) { w.setFont(0, 5, 10); }},
        {"2 is not an image stretch mode", [](SceneWriter& w) { w.setImageStretchMode(2); }},
        {"image 0 is not defined (0 so far)",
         [](SceneWriter& w) {
             w.fullImage(0, {0, 0}, {1, 1});
         }},
        {"start angle direction: read as a whole byte from a byte that already holds 3 packed bits",
         [](SceneWriter& w) {
             w.setRelPointSize(3);
             w.drawArc({0, 0}, {1, 1}, {1, 0}, {0, 1});
         }},
        {"steps were given",
         [](SceneWriter& w) {
             w.drawCubicBezierSteps({0, 0}, std::vector<Point>(4));
         }},
        {"closes on its start",
         [](SceneWriter& w) {
             w.fillCubicBezier({0, 0}, std::vector<BezierSegment>{{{1, 0}, {1, 1}, {0, 1}}});
         }},
    };
    for (const auto& [expected, write] : cases) {
        SceneWriter w(SceneHeader{});
        w.layer("", true, false);
        write(w);
        EXPECT_NE(w.error().find(expected), std::string::npos)
            << expected << "\n  got: " << w.error();
    }
}

TEST(WriterErrors, HeaderPointSizesThatHoldNoAbsolutePoints) {
    SceneWriter narrow(SceneHeader{.absPointSize = 8});
    EXPECT_EQ(narrow.error(),
              "header: resolution: absolute points need at least 16 bits, and the absolute "
              "point size is 8");
    SceneWriter odd(SceneHeader{.absPointSize = 17});
    EXPECT_EQ(odd.error(), "header: resolution: no point encoding has 17 bits");
}

TEST(WriterErrors, AnIncompleteSceneIsReportedByFinish) {
    SceneWriter noLayer(SceneHeader{});
    noLayer.finish();
    EXPECT_EQ(noLayer.error(), "end of scene: a scene needs at least one layer");
    SceneWriter openShape(SceneHeader{});
    openShape.beginShape({0, 0});
    openShape.finish();
    EXPECT_EQ(openShape.error(), "end of scene: a shape definition is still open");
}

TEST(WriterErrors, RawWritesBypassTheChecksButNotTheEncodings) {
    SceneWriter w(SceneHeader{});
    const size_t mark = w.bytes().size();
    w.rawOpcode(QMVR_Line);  // a drawing command in the global layer, on purpose
    w.rawOpcode(110);
    w.rawSize(0, SizeForm::ThreeBytes);
    w.rawSignedSize(-1, SizeForm::TwoBytes);
    w.rawPoint({-1, 1}, 8);
    w.rawBits(0b1, 1);
    w.rawAlign();
    w.rawColor({1, 0, 0, 0}, 7);
    w.rawPaletteIndex(200, 1);
    w.rawString("x");
    w.rawBytes({0xDE, 0xAD});
    EXPECT_TRUE(w.ok()) << w.error();
    EXPECT_EQ(hexSince(w, mark), "31 6E C0 00 00 BF FF F1 80 FF 00 00 00 C8 01 78 DE AD");
    w.rawSize(300, SizeForm::OneByte);
    EXPECT_FALSE(w.ok());
}

}  // namespace
}  // namespace qmv::test
