// The GL calls that pixels cannot show: vertex counts and orders, the
// points of a Bézier segment, the blend factors of each mode and
// the attributes every layer list starts with. qmv-render runs under
// apitrace and the recorded calls are read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "render_support.h"

namespace qmv::test {
namespace {

struct Call {
    std::string name;
    std::string args;  // as apitrace prints them: "x = 1, y = 2"

    // The value of one named argument, as a number.
    double number(const std::string& arg) const {
        const size_t at = args.find(arg + " = ");
        return at == std::string::npos ? NAN : std::strtod(args.c_str() + at + arg.size() + 3, nullptr);
    }
};
using Calls = std::vector<Call>;

// One display list as compiled: the calls between glNewList and glEndList.
struct ListBlock {
    Calls calls;
    int count(const std::string& name) const {
        int n = 0;
        for (const Call& c : calls) n += c.name == name;
        return n;
    }
    Calls named(const std::string& name) const {
        Calls out;
        for (const Call& c : calls)
            if (c.name == name) out.push_back(c);
        return out;
    }
};

// Runs qmv-render on the scene under apitrace; returns the compiled lists in
// the order they were compiled.
std::vector<ListBlock> traceLists(const SceneWriter& writer) {
    std::vector<ListBlock> blocks;
    SceneFile scene(writer);
    const std::string base = scene.path();
    const std::string trace = base + ".trace", dump = base + ".txt", png = base + ".png";
    const std::string command = std::string(QMV_APITRACE) + " trace --api egl -o " + trace + " " +
                                QMV_RENDER + " " + base + " -o " + png +
                                " --size 64x64 >/dev/null 2>&1 && " + QMV_APITRACE +
                                " dump --color=never " + trace + " > " + dump;
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << command;
    std::ifstream in(dump);
    std::string line;
    bool open = false;
    while (std::getline(in, line)) {
        // "123 glName(args) = result"
        const size_t space = line.find(' '), paren = line.find('(');
        if (space == std::string::npos || paren == std::string::npos) continue;
        Call call{line.substr(space + 1, paren - space - 1), ""};
        const size_t close = line.rfind(')');
        if (close != std::string::npos && close > paren) call.args = line.substr(paren + 1, close - paren - 1);
        if (call.name == "glNewList") {
            blocks.emplace_back();
            open = true;
        } else if (call.name == "glEndList") {
            open = false;
        } else if (open) {
            blocks.back().calls.push_back(call);
        }
    }
    for (const std::string& file : {trace, dump, png}) std::remove(file.c_str());
    return blocks;
}

// The lists that layers compiled: they start with the dash pattern.
std::vector<ListBlock> layerLists(const std::vector<ListBlock>& blocks) {
    std::vector<ListBlock> layers;
    for (const ListBlock& b : blocks) {
        if (!b.calls.empty() && b.calls[0].name == "glEnable" &&
            b.calls[0].args == "cap = GL_LINE_STIPPLE") {
            layers.push_back(b);
        }
    }
    return layers;
}

class CallLog : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::string(QMV_APITRACE).empty()) GTEST_SKIP() << "apitrace is not installed";
    }
};

// Every layer starts from the global layer's dash pattern and blend mode,
// whatever the layer before it changed.
TEST_F(CallLog, EveryLayerStartsWithTheGlobalStippleAndBlendFunction) {
    SceneWriter w(squareHeader());
    w.setLineDashes(0x00FF);
    w.setBlendMode(5);
    w.layer("first");
    w.setLineDashes(0x0F0F);
    w.setBlendMode(1);
    w.layer("second");
    w.finish();
    const std::vector<ListBlock> layers = layerLists(traceLists(w));
    ASSERT_EQ(layers.size(), 2u);
    for (const ListBlock& layer : layers) {
        ASSERT_GE(layer.calls.size(), 3u);
        EXPECT_EQ(layer.calls[1].name, "glLineStipple");
        EXPECT_EQ(layer.calls[1].args, "factor = 1, pattern = 255");
        EXPECT_EQ(layer.calls[2].name, "glBlendFunc");
        EXPECT_EQ(layer.calls[2].args, "sfactor = GL_ZERO, dfactor = GL_SRC_ALPHA");
    }
    EXPECT_EQ(layers[0].named("glLineStipple").back().args, "factor = 1, pattern = 3855");
}

TEST_F(CallLog, BlendModesSetTheirFactors) {
    SceneWriter w(squareHeader());
    w.layer("l");
    for (int mode = 0; mode < 8; ++mode) w.setBlendMode(mode);
    w.finish();
    const std::vector<ListBlock> layers = layerLists(traceLists(w));
    ASSERT_EQ(layers.size(), 1u);
    const Calls blends = layers[0].named("glBlendFunc");
    ASSERT_EQ(blends.size(), 9u);  // the layer's start, then modes 0 to 7
    const char* expected[8] = {
        "sfactor = GL_ZERO, dfactor = GL_ZERO",
        "sfactor = GL_ONE, dfactor = GL_ZERO",
        "sfactor = GL_SRC_ALPHA, dfactor = GL_ONE_MINUS_SRC_ALPHA",
        "sfactor = GL_ONE_MINUS_DST_ALPHA, dfactor = GL_ONE",
        "sfactor = GL_DST_ALPHA, dfactor = GL_ZERO",
        "sfactor = GL_ZERO, dfactor = GL_SRC_ALPHA",
        "sfactor = GL_ONE_MINUS_DST_ALPHA, dfactor = GL_ZERO",
        "sfactor = GL_ZERO, dfactor = GL_ONE_MINUS_SRC_ALPHA",
    };
    for (int mode = 0; mode < 8; ++mode) EXPECT_EQ(blends[mode + 1].args, expected[mode]);
}

// Circles and arcs step by FULL_TURN / 44 from their start angle: an
// outline has 44 vertices and its first again to close its strip, a fill
// 46, an arc over a quarter turn 12.
TEST_F(CallLog, CurvesHaveTheirVertexCounts) {
    SceneWriter w(squareHeader());
    w.layer("outline");
    w.drawCircle({50, 50}, 20);
    w.layer("fill");
    w.fillCircle({50, 50}, 20);
    w.layer("arc");
    w.drawArc({50, 50}, {20, 10}, w.directionFor(0), w.directionFor(std::numbers::pi / 2));
    w.finish();
    const std::vector<ListBlock> layers = layerLists(traceLists(w));
    ASSERT_EQ(layers.size(), 3u);

    const Calls outline = layers[0].named("glVertex2d");
    ASSERT_EQ(outline.size(), 45u);
    EXPECT_DOUBLE_EQ(outline[0].number("x"), 20);  // angle 0, relative to the centre
    EXPECT_DOUBLE_EQ(outline[0].number("y"), 0);
    EXPECT_EQ(outline[44].args, outline[0].args);
    EXPECT_EQ(layers[0].named("glBegin")[0].args, "mode = GL_LINE_STRIP");
    EXPECT_EQ(layers[0].named("glTranslated")[0].args, "x = 50, y = 50, z = 0");

    const Calls fan = layers[1].named("glVertex2d");
    ASSERT_EQ(fan.size(), 46u);
    EXPECT_DOUBLE_EQ(fan[0].number("x"), 0);  // the centre first
    EXPECT_NEAR(fan[45].number("x"), 20, 1e-9);
    EXPECT_NEAR(fan[45].number("y"), 0, 1e-9);

    const Calls arc = layers[2].named("glVertex2d");
    ASSERT_EQ(arc.size(), 12u);
    EXPECT_NEAR(arc[11].number("x"), 0, 1e-6);  // the end angle itself
    EXPECT_NEAR(arc[11].number("y"), 10, 1e-6);
    EXPECT_EQ(layers[2].named("glBegin")[0].args, "mode = GL_LINE_STRIP");
}

// Each segment: a strip through its curve at the 101 parameters 0 to 100
// of 0 to 1, from its first control point to its last.
TEST_F(CallLog, BezierSegmentsAreDrawnThrough101Points) {
    SceneWriter w(squareHeader());
    w.layer("l");
    w.drawPolygon({{0, 0}, {10, 0}, {10, 10}});
    w.drawCubicBezier({10, 10}, {{{20, 40}, {60, 40}, {90, 10}}, {{95, 5}, {95, 0}, {90, 0}}});
    w.finish();
    const std::vector<ListBlock> layers = layerLists(traceLists(w));
    ASSERT_EQ(layers.size(), 1u);
    const Calls begins = layers[0].named("glBegin");
    ASSERT_EQ(begins.size(), 3u);
    for (const Call& begin : begins) EXPECT_EQ(begin.args, "mode = GL_LINE_STRIP");
    const Calls points = layers[0].named("glVertex2f");
    ASSERT_EQ(points.size(), 202u);
    EXPECT_EQ(points[0].args, "x = 10, y = 10");
    EXPECT_EQ(points[100].args, "x = 90, y = 10");
    // At t = 1/2: (P0 + 3 P1 + 3 P2 + P3) / 8.
    EXPECT_NEAR(points[50].number("x"), (10 + 60 + 180 + 90) / 8.0, 1e-4);
    EXPECT_NEAR(points[50].number("y"), (10 + 120 + 120 + 10) / 8.0, 1e-4);
    EXPECT_EQ(points[101].args, "x = 90, y = 10");  // the second segment starts there
    EXPECT_EQ(points[201].args, "x = 90, y = 0");
}

}  // namespace
}  // namespace qmv::test
