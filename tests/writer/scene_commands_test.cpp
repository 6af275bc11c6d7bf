// The byte layout of the header and of each command: operand order, where a
// command aligns and where it does not, written through SceneWriter.
#include <gtest/gtest.h>

#include <vector>

#include "qmv/writer/scene_writer.h"
#include "writer_test_support.h"

namespace qmv::test {
namespace {

// A writer past its header and first layer, so that every command is allowed;
// `mark` is where the command under test starts.
class WriterCommands : public ::testing::Test {
protected:
    WriterCommands() : w(SceneHeader{}) { w.layer("", false, false); }
    void begin() { mark = w.bytes().size(); }
    std::string written() const { return hexSince(w, mark); }

    SceneWriter w;
    size_t mark = 0;
};

TEST(WriterHeader, ThirtyTwoBitPointsMakeTwentyNineBytes) {
    SceneWriter w(SceneHeader{.reserved = 1,
                              .version = 2,
                              .release = 3,
                              .resolution = {1, 2},
                              .lowerLeft = {-1, -2},
                              .upperRight = {640, 480},
                              .mm = {0, 0},
                              .background = {1.0, 128 / 255.0, 0.0, 1.0}});
    ASSERT_TRUE(w.ok()) << w.error();
    EXPECT_EQ(hex(w.bytes()),
              "51 4D 56 98 E1 01 02 03 20 18 "
              "00 01 00 02 FF FF FF FE 02 80 01 E0 00 00 00 00 FF 80 00");
    EXPECT_EQ(w.bytes().size(), kHeaderBytes);
}

TEST_F(WriterCommands, PathsAreStartCountAndChainedSteps) {
    begin();
    w.polylineSteps({10, 10}, std::vector<Point>{{1, 0}, {0, 2}});
    EXPECT_EQ(written(), "10 00 0A 00 0A 02 00 10 00 00 00 02");
    begin();
    w.polyline(std::vector<Point>{{10, 10}, {11, 10}, {11, 12}});
    EXPECT_EQ(written(), "10 00 0A 00 0A 02 00 10 00 00 00 02");
    w.setRelPointSize(3);
    begin();
    w.drawPolygon(std::vector<Point>{{0, 0}, {1, 0}, {1, 1}});
    w.fillPolygonSteps({0, 0}, {});
    EXPECT_EQ(written(), "11 00 00 00 00 02 08 14 00 00 00 00 00");
}

TEST_F(WriterCommands, BezierSegmentsEachEndOnAByte) {
    w.setRelPointSize(3);
    begin();
    // Two segments of three direction steps: nine bits, so two bytes each.
    w.drawCubicBezier(
        {0, 0}, std::vector<BezierSegment>{{{1, 0}, {2, 0}, {3, 0}}, {{3, 1}, {3, 2}, {3, 3}}});
    EXPECT_EQ(written(), "12 02 00 00 00 00 00 00 49 00");
    begin();
    // A filled figure of one segment stores only its two control steps.
    w.fillCubicBezier({0, 0}, std::vector<BezierSegment>{{{1, 1}, {0, 1}, {0, 0}}});
    EXPECT_EQ(written(), "15 01 00 00 00 00 30");
    begin();
    w.fillCubicBezierSteps(3, {0, 0}, std::vector<Point>(8, Point{1, 0}));
    EXPECT_EQ(written(), "15 03 00 00 00 00 00 00 00 00 00");
}

TEST_F(WriterCommands, LinesBoxesAndEllipsesAlignAfterTheirVector) {
    w.setRelPointSize(6);
    begin();
    w.line({1, 2}, {-1, 1});
    w.fillBox({0, 0}, {3, -4});
    w.drawEllipse({0, 0}, {2, 2});
    EXPECT_EQ(written(), "31 00 01 00 02 E4 35 00 00 00 00 70 34 00 00 00 00 48");
}

// With 6-bit radii and no alignment, the first angle's first byte is the
// byte that holds the radii bits, and the bit position the radii leave
// carries into the next command.
TEST_F(WriterCommands, ArcRadiiShareTheirByteWithTheStartAngle) {
    w.setRelPointSize(6);
    begin();
    w.drawArc({0, 0}, {1, 1}, {0x2400, 0}, {0, -1});
    ASSERT_TRUE(w.ok()) << w.error();
    EXPECT_EQ(written(), "13 00 00 00 00 24 00 00 00 00 00 FF FF");
    EXPECT_EQ(w.bitPosition(), 6);
    begin();
    w.line({0, 0}, {1, -1});
    EXPECT_EQ(written(), "31 00 00 00 00 00 F0");
    EXPECT_EQ(w.bitPosition(), 0);
}

TEST_F(WriterCommands, LayersAndObjects) {
    begin();
    w.layer("ab", true, true);
    w.layer("", true, false);
    w.layer("", false, false);
    w.beginObject("a");
    w.endObject();
    EXPECT_EQ(written(), "01 C0 02 61 62 01 80 00 01 00 00 02 01 61 02 00");
}

TEST_F(WriterCommands, ShapeAndImagePlacements) {
    SceneWriter s(SceneHeader{});
    s.beginShape({1, 1});
    s.endShape();
    s.setImage(1, 1, std::vector<Color>{{1, 1, 1, 1}});
    s.layer("", true, false);
    s.setRelPointSize(3);
    mark = s.bytes().size();
    s.shape(0, {1, 2}, {1, 0}, {2, 2});
    s.stampShape(0, {5, 5});
    s.repeatShape({7, 7});
    s.fullImage(0, {0, 0}, {1, 1});
    s.image(0, {0, 0}, {1, 0}, {0, 0}, {0, 1});
    ASSERT_TRUE(s.ok()) << s.error();
    EXPECT_EQ(hexSince(s, mark),
              "18 00 00 01 00 02 00 01 00 00 00 02 00 02 "
              "38 00 00 05 00 05 39 00 07 00 07 "
              "3A 00 00 00 00 00 20 "
              "19 00 00 00 00 00 00 00 00 00 00 40");
}

TEST(WriterImages, PixelsTopRowFirstEachOnItsOwnBytes) {
    SceneWriter w(SceneHeader{});
    size_t mark = w.bytes().size();
    EXPECT_EQ(w.setImage(2, 1, std::vector<Color>{{1, 0, 0, 1}, {0, 0, 1, 1}}), 0);
    EXPECT_EQ(hexSince(w, mark), "6D 00 02 00 01 FF 00 00 00 00 FF");
    w.setPalette(std::vector<Color>{{0, 0, 0, 1}, {1, 1, 1, 1}});
    w.setColorSize(0);
    mark = w.bytes().size();
    EXPECT_EQ(w.setImage(1, 2, std::vector<Color>{{1, 1, 1, 1}, {0, 0, 0, 1}}), 1);
    EXPECT_EQ(hexSince(w, mark), "6D 00 01 00 02 80 00");
    EXPECT_TRUE(w.ok()) << w.error();
}

TEST_F(WriterCommands, EncodingAttributes) {
    begin();
    for (int bits : {16, 24, 32, 64, 128}) w.setPointSize(bits);
    for (int bits : {3, 6, 8, 16, 24, 32, 64, 128}) w.setRelPointSize(bits);
    w.setColorSize(3);
    EXPECT_EQ(written(), "50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 03");
    EXPECT_EQ(w.state().absPointSize, 128);
    EXPECT_EQ(w.state().relPointSize, 128);
    EXPECT_EQ(w.state().colorSize, 3);
}

TEST_F(WriterCommands, FillsAlignTheirColoursAndVectors) {
    w.setColorSize(3);
    w.setRelPointSize(3);
    begin();
    w.setGradientFill({0, 0}, {1, 1, 1}, {1, 1}, {0, 0, 0});
    w.setTextureFill({2, 3}, 1);
    w.setStretchedTextureFill({10, 20}, {1, -1}, 0);
    w.setTextAlignment(5, {0, 1});
    EXPECT_EQ(written(),
              "65 00 00 00 00 0F F0 00 01 00 01 00 00 "
              "66 00 02 00 03 01 67 00 0A 00 14 E0 00 6B 05 00 00 00 01");
}

TEST_F(WriterCommands, PalettePacksItsColoursAndAlignsOnce) {
    w.setColorSize(3);
    begin();
    w.setPalette(std::vector<Color>{{0, 0, 0, 1}, {1, 1, 1, 1}});
    EXPECT_EQ(written(), "6C 01 00 00 FF");
    EXPECT_EQ(w.state().palette.size(), 2u);
}

TEST_F(WriterCommands, EdgeSetsCarryARelativeSizePerEdge) {
    begin();
    w.setEdge({.start = {0, 0},
               .edges = {{.relPointSize = 3, .steps = {{1, 0}, {1, 0}}},
                         {.relPointSize = 16, .steps = {{0, 3}}},
                         {.relPointSize = 99, .steps = {}}}});
    ASSERT_TRUE(w.ok()) << w.error();
    EXPECT_EQ(written(), "3B 00 00 00 00 03 03 02 00 10 01 00 03 63 00");
    EXPECT_EQ(w.state().relPointSize, 24);
}

TEST_F(WriterCommands, FacesAndEdgeDrawing) {
    begin();
    w.setFace(std::vector<int64_t>{-1, 5}, std::vector<int64_t>{3});
    w.drawEdge(-1);
    w.drawEdgeRange(2, 4);
    w.fillFace(2);
    EXPECT_EQ(written(), "3C 02 7F 05 01 03 3D 7F 3E 02 04 3F 02");
}

}  // namespace
}  // namespace qmv::test
