// The writer follows the reader's state: layers start from the end of the
// global layer, shape definitions end where they began (or where a shape
// placed inside them saved the state), edge sets change the relative size
// only per edge, and the palette follows all of these.
#include <gtest/gtest.h>

#include <vector>

#include "qmv/writer/scene_writer.h"
#include "writer_test_support.h"

namespace qmv::test {
namespace {

const std::vector<Point> kOneStepEast = {{1, 0}};

TEST(WriterState, EveryLayerStartsFromTheEndOfTheGlobalLayer) {
    SceneWriter w(SceneHeader{});
    w.setRelPointSize(3);
    w.layer("one", true, false);
    w.setRelPointSize(16);
    w.setPointSize(16);
    size_t mark = w.bytes().size();
    w.polylineSteps({0, 0}, kOneStepEast);
    EXPECT_EQ(hexSince(w, mark), "10 00 00 01 01 00");
    w.layer("two", true, false);
    EXPECT_EQ(w.state().relPointSize, 3);
    EXPECT_EQ(w.state().absPointSize, 32);
    mark = w.bytes().size();
    w.polylineSteps({0, 0}, kOneStepEast);
    EXPECT_EQ(hexSince(w, mark), "10 00 00 00 00 01 00");
    EXPECT_TRUE(w.ok()) << w.error();
}

TEST(WriterState, APaletteSetInALayerEndsWithIt) {
    const Color red{1, 0, 0, 1}, green{0, 1, 0, 1}, blue{0, 0, 1, 1};
    SceneWriter w(SceneHeader{});
    w.setPalette(std::vector<Color>{red, green});
    w.setColorSize(1);
    w.layer("one", true, false);
    w.setColorSize(6);
    w.setPalette(std::vector<Color>{blue});
    w.setColorSize(1);
    size_t mark = w.bytes().size();
    w.setLineColor(blue);
    EXPECT_EQ(hexSince(w, mark), "5F 00");
    w.layer("two", true, false);
    mark = w.bytes().size();
    w.setLineColor(green);
    EXPECT_EQ(hexSince(w, mark), "5F 01");
    ASSERT_TRUE(w.ok()) << w.error();
    w.setLineColor(blue);
    EXPECT_NE(w.error().find("is not in the palette"), std::string::npos) << w.error();
}

TEST(WriterState, AShapeDefinitionsAttributesEndWithIt) {
    SceneWriter w(SceneHeader{});
    EXPECT_EQ(w.beginShape({0, 0}), 0);
    w.setPointSize(16);
    w.setColorSize(2);
    const size_t mark = w.bytes().size();
    w.mark({1, 1});
    EXPECT_EQ(hexSince(w, mark), "30 01 01");
    w.endShape();
    EXPECT_EQ(w.state().absPointSize, 32);
    EXPECT_EQ(w.state().colorSize, 6);
    EXPECT_EQ(w.state().shapeCount, 1);
    EXPECT_EQ(w.beginShape({0, 0}), 1);
    w.endShape();
    EXPECT_TRUE(w.ok()) << w.error();
}

// Placing a shape saves the state into the one saved copy, so the end of the
// definition returns to the state at that placement, not at its beginning.
TEST(WriterState, AShapePlacedInsideADefinitionMovesItsReturnPoint) {
    SceneWriter w(SceneHeader{});
    w.beginShape({0, 0});
    w.endShape();
    w.beginShape({0, 0});
    w.setRelPointSize(3);
    w.stampShape(0, {0, 0});
    EXPECT_EQ(w.state().lastShape, 0);
    w.setRelPointSize(8);
    w.endShape();
    EXPECT_EQ(w.state().relPointSize, 3);
    EXPECT_EQ(w.state().lastShape, -1);
    EXPECT_EQ(w.state().shapeCount, 2);
    EXPECT_TRUE(w.ok()) << w.error();
}

TEST(WriterState, RepeatingNeedsAShapePlacedInTheSameLayer) {
    SceneWriter w(SceneHeader{});
    w.beginShape({0, 0});
    w.endShape();
    w.layer("one", true, false);
    w.stampShape(0, {5, 5});
    w.repeatShape({7, 7});
    ASSERT_TRUE(w.ok()) << w.error();
    w.layer("two", true, false);
    w.repeatShape({7, 7});
    EXPECT_NE(w.error().find("QMVR_RepeatShape"), std::string::npos) << w.error();
}

}  // namespace
}  // namespace qmv::test
