// Layers, objects, text, extensions, images and shapes: numbering, brackets
// and the operands each reports.
#include <gtest/gtest.h>

#include "qmv/opcodes.h"
#include "scene_support.h"

namespace qmv::test {
namespace {

TEST(Layers, FlagsAndNames) {
    SceneWriter w(plainHeader());
    w.layer("both", true, true);
    w.layer("", true, false);
    w.rawOpcode(QMVR_Layer);
    w.rawByte(0x3F);
    w.rawString("low bits");
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "");
    EXPECT_THAT(p.events, ElementsAre("layer \"both\" 1 1", "layer <none> 1 0",
                                      "layer \"low bits\" 0 0", "endLayer"));
}

TEST(Objects, BracketsStayBalanced) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.beginObject("a");
    w.rawOpcode(QMVR_Object);
    w.rawString("b");  // a name while one is open: ignored
    w.endObject();
    w.rawOpcode(QMVR_Object);
    w.rawString("");  // no name while none is open: ignored
    w.beginObject("c");
    w.layer("two");  // closes "c"
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "");
    EXPECT_THAT(p.events,
                ElementsAre("layer \"one\" 1 0", "beginObject \"a\"", "endObject",
                            "beginObject \"c\"", "endObject", "layer \"two\" 1 0", "endLayer"));
}

TEST(Text, PositionAndBytes) {
    SceneWriter w(plainHeader());
    w.layer("t");
    w.text({10, 20}, "h\xE9llo");
    w.text({1, 2}, "");
    Parsed p = parseScene(w);
    EXPECT_THAT(p.events, ElementsAre("layer \"t\" 1 0", "text 10 20 \"h\xE9llo\"",
                                      "text 1 2 <none>", "endLayer"));
}

TEST(Extensions, TwoTextsOrNone) {
    SceneWriter w(plainHeader());
    w.layer("x");
    w.extension("", "");
    w.extension("kind", "data");
    Parsed p = parseScene(w);
    EXPECT_THAT(p.events, ElementsAre("layer \"x\" 1 0", "extension <none> <none>",
                                      "extension \"kind\" \"data\"", "endLayer"));
}

TEST(Shapes, NumberedInDefinitionOrderAndRepeated) {
    SceneWriter w(plainHeader());
    w.beginShape({1, 1});
    w.mark({0, 0});
    w.endShape();
    w.beginShape({2, 2});
    w.endShape();
    w.layer("s");
    w.stampShape(1, {5, 5});
    w.repeatShape({7, 7});
    w.shape(0, {3, 3}, {0, 1}, {2, 3});
    Parsed p = parseScene(w);
    EXPECT_EQ(p.error, "");
    char placed[128];
    std::snprintf(placed, sizeof placed, "shape 0 3 3 %.10g 2 3", 3.141592653589793 / 2);
    EXPECT_THAT(p.events,
                ElementsAre("beginSetShape 1 1 0", "mark 0 0", "endSetShape", "beginSetShape 2 2 1",
                            "endSetShape", "layer \"s\" 1 0", "stamp 1 5 5", "stamp 1 7 7", placed,
                            "endLayer"));
}

TEST(Shapes, RepeatComesBackFromTheLayerStart) {
    SceneWriter w(plainHeader());
    w.beginShape({0, 0});
    w.endShape();
    w.layer("one");
    w.stampShape(0, {1, 1});
    w.layer("two");
    w.rawOpcode(QMVR_RepeatShape);  // the last placed shape does not survive the layer
    w.rawPoint({2, 2}, 32);
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "Repeate shape found, but no shape has been ever found Last valid func called: 38H");
}

TEST(Shapes, ShapeDefinitionMustClose) {
    SceneWriter w(plainHeader());
    w.rawOpcode(QMVR_BeginSetShape);
    w.rawPoint({0, 0}, 32);
    w.rawOpcode(QMVR_Layer);
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "Shape: Shape does not close.");
    EXPECT_THAT(p.events, ElementsAre("beginSetShape 0 0 0", "endSetShape"));
}

TEST(Shapes, EndWithoutBeginIsReported) {
    SceneWriter w(plainHeader());
    w.rawOpcode(QMVR_EndSetShape);
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "Shape: Shape called but function is not a BeginSetShape. Shape closed before open?");
}

TEST(Images, RowsAreStoredBottomUp) {
    const Color red{1, 0, 0, 1}, blue{0, 0, 1, 1};
    SceneWriter w(plainHeader());
    w.setImage(2, 1, std::vector<Color>{red, blue});
    w.setImage(1, 2, std::vector<Color>{red, blue});
    w.layer("i");
    w.fullImage(1, {0, 0}, {10, 10});
    w.image(0, {0, 0}, {1, 1}, {5, 5}, {2, 2});
    Parsed p = parseScene(w);
    EXPECT_EQ(p.error, "");
    EXPECT_THAT(p.events, ElementsAre("setImage 2 1 0 1 0 0 1 0 0 1 1",
                                      "setImage 1 2 1 0 0 1 1 1 0 0 1", "layer \"i\" 1 0",
                                      "fullImage 1 0 0 10 10", "image 0 0 0 1 1 5 5 2 2", "endLayer"));
}

TEST(Images, UndefinedImagesAreSkippedWholeCommandAndAll) {
    SceneWriter w(plainHeader());
    w.setImage(1, 1, std::vector<Color>{{0, 0, 0, 1}});
    w.layer("i");
    w.rawOpcode(QMVR_FullImage);
    w.rawSize(3);
    w.rawPoint({10, 10}, 32);
    w.rawPoint({4, 4}, 24);
    w.rawOpcode(QMVR_Image);
    w.rawSize(1);
    w.rawPoint({0, 0}, 32);
    w.rawPoint({1, 1}, 24);
    w.rawPoint({10, 10}, 32);
    w.rawPoint({4, 4}, 24);
    w.line({1, 2}, {3, 4});
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "");
    EXPECT_THAT(p.events, ElementsAre("setImage 1 1 0 0 0 0 1", "layer \"i\" 1 0", "line 1 2 3 4",
                                      "endLayer"));
}

TEST(Images, CallbackFailure) {
    SceneWriter w(plainHeader());
    w.setImage(1, 1, std::vector<Color>{{0, 0, 0, 1}});
    w.layer("i");
    EventLog log;
    log.failSlot = QMVR_setImage;
    EXPECT_EQ(parseScene(w, 1, &log).error, "Error returned by Callback called for QMVR_setImage");
}

TEST(Images, CountedAlsoWithCallbacksDisabled) {
    SceneWriter w(plainHeader());
    w.setImage(1, 1, std::vector<Color>{{1, 1, 1, 1}});
    w.setImage(1, 1, std::vector<Color>{{1, 1, 1, 1}});
    w.layer("i");
    registerEventLog();
    EventLog log;
    TempFile file(w.bytes());
    ReaderContext* ctx = readerOpen(file.path().c_str(), &log, 0, nullptr);
    EXPECT_EQ(readerImageCount(ctx), 2);
    readerRelease(&ctx);
}

}  // namespace
}  // namespace qmv::test
