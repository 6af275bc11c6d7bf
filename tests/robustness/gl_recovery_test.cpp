// The GL context after bad input: a file that makes GL errors, stops part of
// the way through a list, or is refused by a limit leaves no list compiling,
// the matrix stacks at their base and no state that changes the next file's
// picture. The reference scene (fuzz/reference_scene.h) is painted after
// each such file and must come out exactly as it did in the fresh context.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "qmv/headless_gl.h"
#include "qmv/opcodes.h"
#include "qmv/reader.h"
#include "qmv/renderer.h"
#include "qmv/writer/scene_writer.h"
#include "reference_scene.h"

namespace qmv::test {
namespace {

constexpr int kSide = 64;

class SceneFile {
public:
    explicit SceneFile(const std::vector<uint8_t>& bytes) {
        char pattern[] = "/tmp/qmv-recovery-XXXXXX.qmv";
        const int fd = mkstemps(pattern, 4);
        path_ = pattern;
        if (fd >= 0) {
            if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) < 0) path_.clear();
            ::close(fd);
        }
    }
    ~SceneFile() { std::remove(path_.c_str()); }
    SceneFile(const SceneFile&) = delete;
    SceneFile& operator=(const SceneFile&) = delete;
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

struct Painted {
    std::string error;
    RgbaImage image;
};

// As the viewer does it, painting also what a failed parse left.
Painted readAndPaint(HeadlessGl& gl, const char* path) {
    RenderScene* scene = renderSceneCreate();
    ReaderContext* ctx = readerOpen(path, scene, 1, nullptr);
    Painted out;
    if (const char* error = readerErrorText(ctx)) out.error = error;
    paintScene(ctx, scene, View{initialWorldWindow(ctx), kSide, kSide});
    out.image = gl.readPixels();
    renderSceneFree(scene);
    readerRelease(&ctx);
    return out;
}

class GlRecovery : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gl_ = new HeadlessGl(kSide, kSide);
        if (!gl_->ok()) return;
        initGlState();
        registerRendererCallbacks();
        reference_ = new SceneFile(fuzz::referenceSceneBytes());
        fresh_ = new Painted(readAndPaint(*gl_, reference_->path()));
    }
    static void TearDownTestSuite() {
        delete fresh_;
        delete reference_;
        delete gl_;
        fresh_ = nullptr;
        reference_ = nullptr;
        gl_ = nullptr;
    }
    void SetUp() override {
        if (!gl_->ok()) GTEST_SKIP() << "no GL context: " << gl_->error();
        ASSERT_EQ(fresh_->error, "");
    }

    // Paints the bad scene, checks what it left, then the reference.
    void afterwardsTheReferenceIsUnchanged(const SceneWriter& bad, const std::string& expectedError) {
        ASSERT_FALSE(bad.bytes().empty());
        SceneFile file(bad.bytes());
        const Painted painted = readAndPaint(*gl_, file.path());
        if (expectedError.empty()) {
            EXPECT_EQ(painted.error, "");
        } else {
            EXPECT_EQ(painted.error.rfind(expectedError, 0), 0u) << painted.error;
        }
        while (glGetError() != GL_NO_ERROR) {
        }
        GLint list = -1, projection = -1, modelview = -1;
        glGetIntegerv(GL_LIST_INDEX, &list);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projection);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelview);
        EXPECT_EQ(list, 0);
        EXPECT_EQ(projection, 1);
        EXPECT_EQ(modelview, 1);

        const Painted again = readAndPaint(*gl_, reference_->path());
        EXPECT_EQ(again.error, "");
        EXPECT_TRUE(again.image.pixels == fresh_->image.pixels) << "the reference scene changed";
    }

    static HeadlessGl* gl_;
    static SceneFile* reference_;
    static Painted* fresh_;
};

HeadlessGl* GlRecovery::gl_ = nullptr;
SceneFile* GlRecovery::reference_ = nullptr;
Painted* GlRecovery::fresh_ = nullptr;

SceneHeader square() {
    SceneHeader h;
    h.upperRight = {100, 100};
    return h;
}

// Shape k places shape k - 1; shape 0 is a box at its origin.
void chain(SceneWriter& w, int shapes) {
    w.beginShape({1, 1});
    w.fillBox({0, 0}, {10, 10});
    w.endShape();
    for (int k = 1; k < shapes; ++k) {
        w.beginShape({1, 1});
        w.stampShape(k - 1, {1, 1});
        w.endShape();
    }
}

// The deepest nesting the projection stack holds draws where it should, and
// one level more is refused before anything overflows.
TEST_F(GlRecovery, NestingUpToTheStackDepthDrawsAndBeyondIsRefused) {
    GLint depth = 0;
    glGetIntegerv(GL_MAX_PROJECTION_STACK_DEPTH, &depth);
    const int deepest = depth - 2;  // shape levels one placement can hold
    SceneWriter fits(square());
    fits.setFillColor(Color{1, 0, 0});
    chain(fits, deepest);
    fits.layer("L");
    fits.stampShape(deepest - 1, {10, 10});
    fits.finish();
    SceneFile file(fits.bytes());
    const Painted painted = readAndPaint(*gl_, file.path());
    EXPECT_EQ(painted.error, "");
    // The box lands (deepest - 1) units up and right of (10, 10), 10 wide.
    const double corner = 10.0 + (deepest - 1);
    const int px = static_cast<int>((corner + 5.0) / 100.0 * kSide);
    const int py = kSide - 1 - static_cast<int>((corner + 5.0) / 100.0 * kSide);
    const uint8_t* pixel = &painted.image.pixels[(static_cast<size_t>(py) * kSide + px) * 4];
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    afterwardsTheReferenceIsUnchanged(fits, "");

    SceneWriter deeper(square());
    chain(deeper, deepest + 1);
    deeper.layer("L");
    deeper.stampShape(deepest, {10, 10});
    deeper.finish();
    afterwardsTheReferenceIsUnchanged(deeper, "Shape: Shapes nested too deeply.");
}

// gluOrtho2D refuses a window of no width (GL_INVALID_VALUE); NaN bounds
// make a projection of NaN.
TEST_F(GlRecovery, WindowsOfNoSizeOrNaN) {
    SceneHeader flat = square();
    flat.upperRight = {0, 0};
    SceneWriter empty(flat);
    empty.layer("L");
    empty.fillBox({0, 0}, {1, 1});
    empty.finish();
    afterwardsTheReferenceIsUnchanged(empty, "");

    SceneHeader nan = square();
    nan.absPointSize = 128;
    nan.upperRight = {std::numeric_limits<double>::quiet_NaN(), 1};
    SceneWriter w(nan);
    w.layer("L");
    w.line({0, 0}, {5, 5});
    w.finish();
    afterwardsTheReferenceIsUnchanged(w, "");
}

// An image drawn with a stretch mode the renderer refuses, after its texture
// list and environment were replayed.
TEST_F(GlRecovery, ImageWithARefusedStretchMode) {
    SceneWriter w(square());
    w.setColorSize(6);
    const int image = w.setImage(2, 2, std::vector<Color>(4, Color{1, 0, 0}));
    w.layer("L");
    w.fullImage(image, {0, 0}, {50, 50});
    w.rawOpcode(QMVR_SetImageStretchMode);
    w.rawByte(5);
    w.fullImage(image, {0, 0}, {50, 50});
    w.finish();
    afterwardsTheReferenceIsUnchanged(w, "Error in MakeSetImageStretchMode");
}

// Refused by a limit in the middle of a layer, with a gradient fill in
// force and the texture bound: an edge set drawn again and again.
TEST_F(GlRecovery, RefusedInTheMiddleOfALayer) {
    SceneHeader h = square();
    h.relPointSize = 8;
    h.upperRight = {7, 7};
    SceneWriter w(h);
    w.setColorSize(6);
    const int image = w.setImage(2, 2, std::vector<Color>(4, Color{0, 1, 0}));
    std::vector<Point> steps;
    for (int i = 0; i < 1000; ++i) steps.push_back(i % 2 == 0 ? Point{7, 7} : Point{-7, -7});
    w.setEdge({{0, 0}, {{8, steps}}});
    w.layer("L");
    w.setGradientFill({0, 0}, Color{1, 0, 0}, {7, 0}, Color{0, 0, 1});
    w.fillBox({0, 0}, {7, 7});
    w.setTextureFill({0, 0}, image);
    w.fillCircle({3, 3}, 2);
    for (int i = 0; i < 100; ++i) w.drawEdgeRange(-2097152, 2097151);
    w.finish();
    afterwardsTheReferenceIsUnchanged(w, "Renderer: Shapes or edges drawn too often.");
}

// A parse that fails inside a shape definition, with the shape's list open.
TEST_F(GlRecovery, ParseFailingInsideAShapeDefinition) {
    SceneWriter w(square());
    w.beginShape({1, 1});
    w.setGradientFill({0, 0}, Color{1, 0, 0}, {7, 0}, Color{0, 0, 1});
    w.fillBox({0, 0}, {7, 7});
    w.rawOpcode(3);  // no such opcode
    afterwardsTheReferenceIsUnchanged(w, "Shape: Shape does not close.");
}

}  // namespace
}  // namespace qmv::test
