// The graphic state as callbacks see it: reset values, attribute commands,
// the layer and shape snapshots, palettes, edge sets and faces.
#include <gtest/gtest.h>

#include "qmv/opcodes.h"
#include "scene_support.h"

namespace qmv::test {
namespace {

// Runs the scene and calls `check` at every event whose text starts with
// `prefix`, counting the calls.
int checkAt(const SceneWriter& w, const std::string& prefix,
            const std::function<void(ReaderContext*, const std::string&)>& check,
            std::string* error = nullptr) {
    int calls = 0;
    EventLog log;
    log.onEvent = [&](ReaderContext* ctx, const std::string& event) {
        if (event.rfind(prefix, 0) == 0) {
            ++calls;
            check(ctx, event);
        }
    };
    Parsed p = parseScene(w, 1, &log);
    if (error != nullptr) *error = p.error;
    EXPECT_TRUE(error != nullptr || p.error.empty()) << p.error;
    return calls;
}

TEST(State, ResetValues) {
    SceneHeader h = plainHeader();
    h.background = {1.0, 128.0 / 255, 0.0, 1.0};
    SceneWriter w(h);
    w.layer("l");
    w.mark({0, 0});
    int calls = checkAt(w, "mark", [](ReaderContext* ctx, const std::string&) {
        for (int kind : {COLOR_LINE, COLOR_FILL, COLOR_MARK, COLOR_TEXT}) {
            EXPECT_EQ(readerColor(ctx, kind, 0), 0.0);
            EXPECT_EQ(readerColor(ctx, kind, 3), 1.0);
        }
        EXPECT_DOUBLE_EQ(readerColor(ctx, COLOR_BACKGROUND, 1), 128.0 / 255);
        EXPECT_EQ(readerColor(ctx, 7, 0), 0.0);
        EXPECT_EQ(readerColor(ctx, 0, 4), 0.0);
        EXPECT_EQ(readerFillMode(ctx), FILL_SOLID);
        EXPECT_EQ(readerBlendMode(ctx), 2);
        EXPECT_EQ(readerLineDashes(ctx), -1);
        EXPECT_EQ(readerFontSize(ctx), 1);
        EXPECT_EQ(readerTextAlignment(ctx), 10);
        EXPECT_EQ(readerTextAngle(ctx), 0.0);
        int16_t a, b, c, d;
        readerLineStyle(ctx, &a, &b, &c, &d);
        EXPECT_EQ(d, 1);
        EXPECT_EQ(readerFillPoint(ctx, 4, 0), 0.0);
    });
    EXPECT_EQ(calls, 1);
}

TEST(State, AttributesTakeEffect) {
    SceneWriter w(plainHeader());
    w.layer("l");
    w.setLineDashes(0xF00F);
    w.setBlendMode(5);
    w.setLineStyle(1, 2, 3, 4);
    w.setFont(7, 2, 30);
    w.setTextAlignment(6, {0, 1});
    w.setStretchedTextureFill({10, 20}, {5, -5}, 3);
    w.setImageStretchMode(1);
    w.mark({0, 0});
    w.setGradientFill({0, 0}, {1, 0, 0}, {10, 0}, {0, 0, 1});
    w.mark({1, 1});
    int calls = checkAt(w, "mark", [](ReaderContext* ctx, const std::string& event) {
        EXPECT_EQ(readerLineDashes(ctx), static_cast<int16_t>(0xF00F));
        EXPECT_EQ(readerBlendMode(ctx), 5);
        EXPECT_EQ(readerFont(ctx), 7);
        EXPECT_EQ(readerFontStyle(ctx), 2);
        EXPECT_EQ(readerFontSize(ctx), 30);
        EXPECT_EQ(readerTextAlignment(ctx), 6);
        EXPECT_DOUBLE_EQ(readerTextAngle(ctx), 3.141592653589793 / 2);
        EXPECT_EQ(readerImageStretchMode(ctx), 1);
        int16_t a, b, c, d;
        readerLineStyle(ctx, &a, &b, &c, &d);
        EXPECT_EQ(c, 3);
        if (event == "mark 0 0") {
            EXPECT_EQ(readerFillMode(ctx), FILL_STRETCHED_TEXTURE);
            EXPECT_EQ(readerTextureImage(ctx), 3);
            EXPECT_EQ(readerFillPoint(ctx, 1, 0), 15);
            EXPECT_EQ(readerFillPoint(ctx, 1, 1), 15);
        } else {
            EXPECT_EQ(readerFillMode(ctx), FILL_GRADIENT);
            EXPECT_EQ(readerFillPoint(ctx, 3, 0), 10);
            EXPECT_EQ(readerColor(ctx, COLOR_GRADIENT1, 0), 1.0);
            EXPECT_EQ(readerColor(ctx, COLOR_GRADIENT2, 2), 1.0);
        }
    });
    EXPECT_EQ(calls, 2);
}

TEST(State, OddAttributeBytes) {
    SceneWriter w(plainHeader());
    w.layer("l");
    w.setFont(1, 2, 10);
    w.rawOpcode(QMVR_SetFont);
    w.rawBytes({9, 7});  // style 7: the style stays, font and size change
    w.rawSize(12);
    w.rawOpcode(QMVR_SetBlendMode);
    w.rawByte(9);  // kept as read, reported as 0
    w.mark({0, 0});
    Parsed p;
    int calls = checkAt(w, "mark", [](ReaderContext* ctx, const std::string&) {
        EXPECT_EQ(readerFont(ctx), 9);
        EXPECT_EQ(readerFontStyle(ctx), 2);
        EXPECT_EQ(readerFontSize(ctx), 12);
        EXPECT_EQ(readerBlendMode(ctx), 9);
    });
    EXPECT_EQ(calls, 1);
    EventLog log;
    EXPECT_THAT(parseBytes(w.bytes(), 1, &log).events, ::testing::Contains("blend 0"));
}

TEST(State, EachLayerStartsFromTheGlobalLayer) {
    SceneWriter w(plainHeader());
    w.setLineColor({0, 1, 0});
    w.layer("one");
    w.setLineColor({1, 0, 0});
    w.mark({1, 1});
    w.layer("two");
    w.mark({2, 2});
    checkAt(w, "mark", [](ReaderContext* ctx, const std::string& event) {
        EXPECT_EQ(readerColor(ctx, COLOR_LINE, 0), event == "mark 1 1" ? 1.0 : 0.0) << event;
        EXPECT_EQ(readerColor(ctx, COLOR_LINE, 1), event == "mark 1 1" ? 0.0 : 1.0) << event;
    });
}

TEST(State, ShapeDefinitionsKeepTheirAttributes) {
    SceneWriter w(plainHeader());
    w.beginShape({0, 0});
    w.setColorSize(2);
    w.setLineColor({1, 1, 1});
    w.endShape();
    w.setLineColor({0, 0, 1});  // colour size 6 again: three bytes
    w.layer("l");
    w.mark({0, 0});
    checkAt(w, "mark", [](ReaderContext* ctx, const std::string&) {
        EXPECT_EQ(readerColor(ctx, COLOR_LINE, 2), 1.0);
        EXPECT_EQ(readerColor(ctx, COLOR_LINE, 0), 0.0);
        EXPECT_EQ(readerShapeCount(ctx), 1);
    });
}

TEST(State, LayerPalettesEndWithTheirLayer) {
    SceneWriter w(plainHeader());
    w.setPalette(std::vector<Color>{{1, 0, 0}, {0, 1, 0}});
    w.setColorSize(1);
    w.layer("one");
    w.setColorSize(6);
    w.setPalette(std::vector<Color>{{0, 0, 1}, {1, 1, 1}});
    w.setColorSize(1);
    w.setLineColor(PaletteIndex{0});
    w.mark({1, 1});
    w.layer("two");
    w.setLineColor(PaletteIndex{0});
    w.mark({2, 2});
    int calls = checkAt(w, "mark", [](ReaderContext* ctx, const std::string& event) {
        bool first = event == "mark 1 1";
        EXPECT_EQ(readerColor(ctx, COLOR_LINE, 0), first ? 0.0 : 1.0) << event;
        EXPECT_EQ(readerColor(ctx, COLOR_LINE, 2), first ? 1.0 : 0.0) << event;
    });
    EXPECT_EQ(calls, 2);
}

TEST(State, PaletteReadInAPaletteEncodingFails) {
    SceneWriter w(plainHeader());
    w.setColorSize(1);
    w.rawOpcode(QMVR_SetPalette);
    w.rawBytes({0, 0});
    w.layer("l");
    std::string error;
    checkAt(w, "-", [](ReaderContext*, const std::string&) {}, &error);
    EXPECT_EQ(error, "PickColorFromPalette: Palette color either not defined or color inexistent");
}

TEST(State, EdgeSetsOfALayerEndWithIt) {
    auto edge = [](double x) { return EdgeSetSteps{{x, 0}, {{24, {{1, 0}}}}}; };
    SceneWriter w(plainHeader());
    w.setEdge(edge(10));
    w.setEdge(edge(20));
    w.layer("one");
    w.setEdge(edge(30));
    w.mark({1, 1});
    w.layer("two");
    w.mark({2, 2});
    int calls = checkAt(w, "mark", [](ReaderContext* ctx, const std::string& event) {
        ASSERT_NE(readerEdge(ctx, 1), nullptr);
        EXPECT_EQ(readerEdge(ctx, 1)->start.x, 10);
        EXPECT_EQ(readerEdge(ctx, 0), readerEdge(ctx, 1));
        EXPECT_EQ(readerEdge(ctx, -5), readerEdge(ctx, 1));
        EXPECT_EQ(readerEdge(ctx, 2)->start.x, 20);
        if (event == "mark 1 1") {
            ASSERT_NE(readerEdge(ctx, 3), nullptr);
            EXPECT_EQ(readerEdge(ctx, 3)->start.x, 30);
        } else {
            EXPECT_EQ(readerEdge(ctx, 3), nullptr);
        }
    });
    EXPECT_EQ(calls, 2);
}

TEST(State, EdgeListCreatedInsideALayerGoesWithIt) {
    SceneWriter w(plainHeader());
    w.layer("one");
    w.setEdge({{5, 5}, {}});
    w.mark({1, 1});
    w.layer("two");
    w.mark({2, 2});
    checkAt(w, "mark", [](ReaderContext* ctx, const std::string& event) {
        EXPECT_EQ(readerEdge(ctx, 1) != nullptr, event == "mark 1 1") << event;
    });
}

TEST(State, FacesByPosition) {
    SceneWriter w(plainHeader());
    const std::vector<int64_t> none;
    for (int64_t i : {1, 2, 3}) w.setFace(std::vector<int64_t>{i, -i}, none);
    w.layer("l");
    w.fillFace(2);
    int calls = checkAt(w, "fillFace", [](ReaderContext* ctx, const std::string&) {
        ASSERT_NE(readerFace(ctx, 2), nullptr);
        EXPECT_EQ(readerFace(ctx, 2)->first[1], -3);
        EXPECT_EQ(readerFace(ctx, 0)->first[0], 1);
        EXPECT_EQ(readerFace(ctx, 3), nullptr);
        EXPECT_EQ(readerFace(ctx, -1), nullptr);
    });
    EXPECT_EQ(calls, 1);
}

TEST(State, EdgeDrawingRanges) {
    SceneWriter w(plainHeader());
    w.layer("l");
    w.drawEdgeRange(2, 4);
    w.drawEdgeRange(4, 2);
    w.drawEdge(-1);
    Parsed p = parseScene(w);
    EXPECT_THAT(p.events, ElementsAre("layer \"l\" 1 0", "drawEdge 2", "drawEdge 3", "drawEdge 4",
                                      "drawEdge -1", "endLayer"));
}

}  // namespace
}  // namespace qmv::test
