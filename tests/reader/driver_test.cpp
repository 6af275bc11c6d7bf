// The parse driver: how a file is walked, where each class of command may
// stand, the first-error rule and the error suffix, and the end-of-layers
// callback.
#include <gtest/gtest.h>

#include "qmv/opcodes.h"
#include "scene_support.h"

namespace qmv::test {
namespace {

TEST(Driver, MissingFileIsReportedWithoutCallbacks) {
    EventLog log;
    EXPECT_EQ(parseWithLog("/nonexistent/scene.qmv", log), "Parser: Error reading file");
    EXPECT_THAT(log.events, IsEmpty());
}

TEST(Driver, BadMagicFailsWithoutSuffix) {
    Parsed p = parseBytes({'Q', 'M', 'X', 0x98, 0xE1, 0, 0, 0});
    EXPECT_EQ(p.error, "Missing header.");
    EXPECT_THAT(p.events, IsEmpty());
}

TEST(Driver, AFileNeedsALayer) {
    SceneWriter w(plainHeader());
    w.setLineColor({1, 0, 0});
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "Error in globallayer: Not supported function type in globallayer.");
    EXPECT_THAT(p.events, IsEmpty());  // no end-of-layers call either
}

TEST(Driver, EndOfDataAfterTheLastCommandIsSuccess) {
    SceneWriter w(plainHeader());
    w.layer("one", true, false);
    w.line({10, 10}, {1, 0});
    w.layer("two", false, true);
    w.mark({5, 6});
    Parsed p = parseScene(w);
    EXPECT_EQ(p.error, "");
    EXPECT_THAT(p.events, ElementsAre("layer \"one\" 1 0", "line 10 10 1 0", "layer \"two\" 0 1",
                                      "mark 5 6", "endLayer"));
}

TEST(Driver, DisabledCallbacksStillEndTheLayers) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.line({10, 10}, {1, 0});
    for (int flag : {0, 2}) {
        Parsed p = parseScene(w, flag);
        EXPECT_EQ(p.error, "");
        EXPECT_THAT(p.events, ElementsAre("endLayer")) << "flag " << flag;
    }
}

TEST(Driver, DrawingInTheGlobalLayerIsRefused) {
    SceneWriter w(plainHeader());
    w.rawOpcode(QMVR_Mark);
    w.rawPoint({1, 1}, 32);
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error, "Error in globallayer: Not supported function type in globallayer.");
}

TEST(Driver, GlobalOnlyCommandsEndALayer) {
    for (uint8_t opcode : {uint8_t{QMVR_SetImage}, uint8_t{QMVR_BeginSetShape},
                           uint8_t{QMVR_SetMIMEImage}, uint8_t{0x03}}) {
        SceneWriter w(plainHeader());
        w.layer("one");
        w.rawOpcode(opcode);
        w.rawBytes({0, 0, 0, 0});
        Parsed p = parseBytes(w.bytes());
        EXPECT_EQ(p.error,
                  "Parse.c [layers]: File was not fully read. Command in file is neither a "
                  "command, nor an attribute nor a layer.")
            << int{opcode};
        EXPECT_THAT(p.events, ElementsAre("layer \"one\" 1 0", "endLayer"));
    }
}

TEST(Driver, UndefinedOpcodeInTheGlobalLayer) {
    for (uint8_t opcode : {uint8_t{QMVR_SetMIMEImage}, uint8_t{0x03}, uint8_t{QMVR_Object}}) {
        SceneWriter w(plainHeader());
        w.rawOpcode(opcode);
        Parsed p = parseBytes(w.bytes());
        EXPECT_EQ(p.error, "Error in globallayer: Not supported function type in globallayer.");
    }
}

TEST(Driver, AttributesObjectsAndDefinitionsMixInABody) {
    SceneWriter w(plainHeader());
    w.layer("mixed");
    w.line({1, 1}, {1, 1});
    w.setLineDashes(0x00FF);
    w.beginObject("obj");
    w.setEdge({{0, 0}, {{24, {{1, 0}}}}});
    w.drawEdge(1);
    w.endObject();
    Parsed p = parseScene(w);
    EXPECT_EQ(p.error, "");
    EXPECT_THAT(p.events, ElementsAre("layer \"mixed\" 1 0", "line 1 1 1 1", "dashes 255",
                                      "beginObject \"obj\"", "drawEdge 1", "endObject", "endLayer"));
}

TEST(Driver, TheFirstErrorWins) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.setImageStretchMode(1);
    w.rawOpcode(QMVR_SetImageStretchMode);
    w.rawByte(7);  // first error
    w.rawOpcode(QMVR_SetImageStretchMode);
    w.rawByte(8);  // would be the second
    Parsed p = parseBytes(w.bytes());
    EXPECT_EQ(p.error,
              "Error in MakeSetImageStretchMode: Image stretch mode is neither nearest nor "
              "bilinear Last valid func called: 68H");
}

TEST(Driver, CallbackFailureCarriesTheLastCompletedOpcode) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.line({1, 1}, {1, 1});
    w.layer("two");
    w.layer("three");
    w.mark({1, 1});
    EventLog log;
    log.failSlot = QMVR_mark;
    Parsed p = parseScene(w, 1, &log);
    EXPECT_EQ(p.error, "Error returned by Callback called for QMVR_mark Last valid func called: 31H");
}

TEST(Driver, CallbackFailureBeforeAnyCompletedCommandHasNoSuffix) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.mark({1, 1});
    EventLog log;
    log.failSlot = QMVR_mark;
    EXPECT_EQ(parseScene(w, 1, &log).error, "Error returned by Callback called for QMVR_mark");
}

TEST(Driver, AnErrorStopsTheLayersButEndsThem) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.layer("two");
    w.line({1, 1}, {1, 0});
    w.layer("three");
    w.line({2, 2}, {1, 0});
    EventLog log;
    log.failSlot = QMVR_line;
    Parsed p = parseScene(w, 1, &log);
    EXPECT_EQ(p.error, "Error returned by Callback called for QMVR_line");
    EXPECT_THAT(p.events, ElementsAre("layer \"one\" 1 0", "layer \"two\" 1 0", "line 1 1 1 0",
                                      "endLayer"));
}

TEST(Driver, EmptySlotIsReported) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.mark({1, 1});
    w.line({1, 1}, {1, 0});
    registerEventLog();
    EventLog log;
    TempFile file(w.bytes());
    readerSetCallback(QMVR_line, nullptr);
    ReaderContext* ctx = readerOpen(file.path().c_str(), &log, 1, nullptr);
    ASSERT_NE(readerErrorText(ctx), nullptr);
    EXPECT_STREQ(readerErrorText(ctx), "Callback not defined!!! Last valid func called: 30H");
    readerRelease(&ctx);
    EXPECT_EQ(ctx, nullptr);
    readerRelease(&ctx);  // releasing nothing is harmless
    registerEventLog();
}

TEST(Driver, ContextOutlivesTheParseForQueries) {
    SceneWriter w(SceneHeader{.absPointSize = 32, .relPointSize = 24, .lowerLeft = {-1, -2},
                             .upperRight = {300, 200}});
    w.layer("a");
    w.layer("b");
    EventLog log;
    TempFile file(w.bytes());
    registerEventLog();
    ReaderContext* ctx = readerOpen(file.path().c_str(), &log, 1, nullptr);
    EXPECT_TRUE(readerHasScene(ctx));
    EXPECT_FALSE(readerHasScene(nullptr));
    double x = 0, y = 0;
    readerLowerLeft(ctx, &x, &y);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -2);
    readerUpperRight(ctx, &x, &y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(readerLayerCount(ctx), 2);
    EXPECT_EQ(readerClientData(ctx), &log);
    EXPECT_GE(readerParseSeconds(ctx), 0);
    readerRelease(&ctx);
}

}  // namespace
}  // namespace qmv::test
