// The scene's structure: layers and their operations, the shape and image
// tables, and what a scene releases.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "qmv/reader.h"
#include "render_scene.h"
#include "render_support.h"

namespace qmv::test {
namespace {

class SceneModel : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(glContext().ok()) << glContext().error(); }
};

TEST_F(SceneModel, LayersKeepFileOrderNamesAndFlags) {
    SceneWriter w(squareHeader());
    w.layer("roads", true, true);
    w.line({0, 0}, {10, 10});
    w.layer("rivers", false, false);
    w.layer("labels", true, false);
    w.finish();
    SceneFile file(w);
    SceneDocument doc(file.path().c_str());
    ASSERT_EQ(doc.error(), nullptr);
    RenderScene* scene = doc.scene();

    EXPECT_EQ(renderSceneLayerCount(scene), 3);
    EXPECT_STREQ(layerName(scene, 0), "roads");
    EXPECT_STREQ(layerName(scene, 2), "labels");
    EXPECT_EQ(layerVisible(scene, 1), 0);
    EXPECT_EQ(scene->layers[0].detectable, 1);
    // Each layer records its own drawing.
    EXPECT_EQ(scene->layers[0].recording.vertices, 2u);
    EXPECT_TRUE(scene->layers[1].recording.commands.size() < scene->layers[0].recording.commands.size());

    // Indexes of 0 and below mean the first layer; past the end, nothing.
    EXPECT_STREQ(layerName(scene, -1), "roads");
    EXPECT_EQ(layerName(scene, 3), nullptr);
    EXPECT_EQ(layerVisible(scene, 3), 0);
    setLayerVisible(scene, 3, 0);
    setLayerVisible(scene, -1, 0);
    EXPECT_EQ(layerVisible(scene, 0), 0);
    EXPECT_EQ(layerVisible(scene, 2), 1);
}

// Shape and image numbers count definitions; the tables are not limited to
// 256 rows.
TEST_F(SceneModel, ShapeAndImageTablesGrowPast256) {
    SceneWriter w(squareHeader());
    for (int i = 0; i < 300; ++i) {
        w.beginShape({1, 1});
        w.setFillColor(rgb(i % 256, 200, 0));
        w.fillBox({0, 0}, {10, 10});
        w.endShape();
    }
    for (int i = 0; i < 260; ++i) w.setImage(1, 1, std::vector<Color>{rgb(0, 0, i % 256)});
    w.layer("l");
    w.stampShape(299, {10, 10});
    w.fullImage(259, {50, 50}, {20, 20});
    w.finish();
    const Painted painted = paint(w);
    ASSERT_EQ(painted.error, "");
    EXPECT_TRUE(near(painted.at(15, 15), {299 % 256, 200, 0, 255}));
    EXPECT_TRUE(near(painted.at(60, 60), {0, 0, 259 % 256, 255}));
}

// Numbers never defined draw nothing: placed shapes, images and texture fills.
TEST_F(SceneModel, UndefinedShapesAndTexturesDrawNothing) {
    SceneWriter w(squareHeader());
    w.beginShape({1, 1});
    w.fillBox({0, 0}, {10, 10});
    w.endShape();
    w.layer("l");
    w.stampShape(7, {20, 20});
    w.shape(300, {50, 50}, w.directionFor(0), {1, 1});
    w.setTextureFill({0, 0}, 12);
    w.fillBox({60, 60}, {30, 30});
    w.fillCircle({30, 70}, 10);
    w.fillPolygon({{70, 10}, {90, 10}, {80, 30}});
    w.finish();
    const Painted painted = paint(w);
    ASSERT_EQ(painted.error, "");
    EXPECT_TRUE(painted.inkBox(kWhite).empty);
}

TEST_F(SceneModel, ExtensionRecordsAreReadPast) {
    SceneWriter w(squareHeader());
    w.layer("l");
    w.extension("vendor", "data");
    w.setFillColor(rgb(0, 128, 0));
    w.fillBox({0, 0}, {100, 100});
    w.finish();
    const Painted painted = paint(w);
    EXPECT_EQ(painted.error, "");
    EXPECT_TRUE(near(painted.at(50, 50), {0, 128, 0, 255}));
}

// Every buffer and texture a scene made goes with it, also when the parse
// failed in the global layer, before any count was taken.
TEST_F(SceneModel, ReleaseDeletesEveryObjectItMade) {
    for (bool failInGlobalLayer : {false, true}) {
        SCOPED_TRACE(failInGlobalLayer ? "parse error in the global layer" : "whole file");
        SceneWriter w(squareHeader());
        w.beginShape({1, 1});
        w.drawCubicBezier({0, 0}, {{{1, 1}, {2, 1}, {3, 0}}});
        w.endShape();
        w.setImage(2, 2, std::vector<Color>(4, rgb(1, 2, 3)));
        if (failInGlobalLayer) {
            w.rawOpcode(200);  // no such command
        } else {
            w.layer("l");
            w.stampShape(0, {5, 5});
            w.finish();
        }
        SceneFile file(w.bytes());

        GLuint before = 0;
        glGenBuffers(1, &before);
        glDeleteBuffers(1, &before);
        RenderScene* scene = renderSceneCreate();
        ReaderContext* ctx = readerOpen(file.path().c_str(), scene, 1, nullptr);
        EXPECT_EQ(readerErrorText(ctx) != nullptr, failInGlobalLayer);
        paintScene(ctx, scene, View{initialWorldWindow(ctx), 20, 20});  // the upload
        GLuint after = 0;
        glGenBuffers(1, &after);
        glDeleteBuffers(1, &after);
        ASSERT_GT(after, before);

        int made = 0;
        for (GLuint buffer = before; buffer < after; ++buffer) made += glIsBuffer(buffer) == GL_TRUE;
        EXPECT_GE(made, 1);
        ASSERT_EQ(scene->images.size(), 1u);
        const GLuint texture = scene->images[0].texture.name();
        EXPECT_EQ(glIsTexture(texture), GL_TRUE);
        renderSceneFree(scene);
        for (GLuint buffer = before; buffer < after; ++buffer) EXPECT_EQ(glIsBuffer(buffer), GL_FALSE);
        EXPECT_EQ(glIsTexture(texture), GL_FALSE);
        readerRelease(&ctx);
    }
}

}  // namespace
}  // namespace qmv::test

namespace qmv::test {
namespace {

// The bundled example uses every command of the format.
TEST_F(SceneModel, TheExampleTourCompilesAndPaintsCleanly) {
    if (std::string(QMV_TOUR).empty()) GTEST_SKIP() << "the example scenes are not built";
    while (glGetError() != GL_NO_ERROR) {
    }
    {
        SceneDocument doc(QMV_TOUR);
        ASSERT_EQ(doc.error(), nullptr) << doc.error();
        EXPECT_GT(renderSceneLayerCount(doc.scene()), 1);
        doc.paint(doc.initialView(200, 150));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        const Painted painted{readRegion(200, 150), doc.initialView(200, 150), ""};
        EXPECT_FALSE(painted.inkBox(kWhite).empty);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace qmv::test
