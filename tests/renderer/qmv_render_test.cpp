// qmv-render as its users meet it: the command line, the exit status, the
// messages and the image it writes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "options.h"
#include "qmv_version.h"
#include "qmv/png_file.h"
#include "render_support.h"

namespace qmv::test {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Names of this process's own, so that tests may run side by side.
std::string tempName(const std::string& suffix) {
    return "/tmp/qmv-render-test-" + std::to_string(getpid()) + suffix;
}

ToolRun runTool(const std::string& arguments) {
    const std::string out = tempName(".out"), err = tempName(".err");
    const std::string command =
        std::string(QMV_RENDER) + " " + arguments + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

bool exists(const std::string& path) { return std::ifstream(path).good(); }

// Two layers side by side on a grey background: red left, blue right.
SceneWriter& twoLayers(SceneWriter& w) {
    w.setFillColor(rgb(255, 0, 0));
    w.layer("red");
    w.fillBox({0, 0}, {50, 100});
    w.layer("blue");
    w.setFillColor(rgb(0, 0, 255));
    w.fillBox({50, 0}, {50, 100});
    w.finish();
    return w;
}

SceneHeader greyHeader() {
    SceneHeader h = squareHeader();
    h.background = rgb(128, 128, 128);
    return h;
}

class Tool : public ::testing::Test {
protected:
    void TearDown() override { std::remove(png_.c_str()); }
    const std::string png_ = tempName(".png");
};

TEST_F(Tool, WritesWhatTheViewerShowsAtTheRequestedSize) {
    SceneWriter w(greyHeader());
    SceneFile scene(twoLayers(w));
    const ToolRun run = runTool(scene.path() + " -o " + png_ + " --size 200x100");
    ASSERT_EQ(run.status, 0) << run.err;
    RgbaImage image;
    std::string error;
    ASSERT_TRUE(readPng(png_, &image, &error)) << error;
    ASSERT_EQ(image.width, 200);
    ASSERT_EQ(image.height, 100);
    // The square scene is centred in the wider image, grey on both sides.
    EXPECT_TRUE(near(image.at(10, 50), {128, 128, 128, 255}));
    EXPECT_TRUE(near(image.at(75, 50), {255, 0, 0, 255}));
    EXPECT_TRUE(near(image.at(125, 50), {0, 0, 255, 255}));
    EXPECT_EQ(image.at(75, 50).a, 255);
}

TEST_F(Tool, HidesLayersAndShowsTheRequestedView) {
    SceneWriter w(greyHeader());
    SceneFile scene(twoLayers(w));
    const ToolRun run =
        runTool(scene.path() + " -o " + png_ + " --size 100x100 --hide 0 --view 25,0,75,50");
    ASSERT_EQ(run.status, 0) << run.err;
    RgbaImage image;
    ASSERT_TRUE(readPng(png_, &image, nullptr));
    // x from 25 to 75: the hidden red layer leaves the background, the blue
    // layer stays.
    EXPECT_TRUE(near(image.at(25, 50), {128, 128, 128, 255}));
    EXPECT_TRUE(near(image.at(75, 50), {0, 0, 255, 255}));
    EXPECT_TRUE(near(image.at(75, 2), {0, 0, 255, 255}));

    const ToolRun missing = runTool(scene.path() + " -o " + png_ + " --hide 5");
    EXPECT_EQ(missing.status, 0);
    EXPECT_NE(missing.err.find("no layer 5"), std::string::npos) << missing.err;
}

TEST_F(Tool, AFileThatCannotBeReadWritesNoImage) {
    const ToolRun absent = runTool("/tmp/qmv-no-such-file.qmv -o " + png_);
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.err.rfind("qmv-render: ", 0), 0u) << absent.err;
    EXPECT_FALSE(exists(png_));

    SceneWriter w(squareHeader());
    w.layer("l");
    w.fillBox({0, 0}, {10, 10});
    w.rawOpcode(200);  // no such command
    SceneFile broken(w.bytes());
    const ToolRun run = runTool(broken.path() + " -o " + png_);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("qmv-render: ", 0), 0u) << run.err;
    EXPECT_GT(run.err.size(), 13u);
    EXPECT_FALSE(exists(png_));
}

// A thumbnail keeps the drawing's proportions within its square, and a
// time limit that passes leaves no image, not even a partial one.
TEST_F(Tool, ThumbnailsKeepTheDrawingsShapeAndATimeLimitWritesNothing) {
    SceneHeader wide = greyHeader();
    wide.upperRight = {200, 50};
    SceneWriter w(wide);
    w.layer("l");
    w.setFillColor(rgb(255, 0, 0));
    w.fillBox({0, 0}, {100, 50});
    w.finish();
    SceneFile scene(w.bytes());
    const ToolRun run = runTool("--thumbnail 128 " + scene.path() + " " + png_);
    ASSERT_EQ(run.status, 0) << run.err;
    RgbaImage image;
    ASSERT_TRUE(readPng(png_, &image, nullptr));
    EXPECT_EQ(image.width, 128);
    EXPECT_EQ(image.height, 32);
    EXPECT_TRUE(near(image.at(30, 16), {255, 0, 0, 255}));
    EXPECT_TRUE(near(image.at(100, 16), {128, 128, 128, 255}));
    std::remove(png_.c_str());

    // Making the context alone takes longer than a microsecond.
    const ToolRun late = runTool("--thumbnail 128 --timeout 0.000001 " + scene.path() + " " + png_);
    EXPECT_EQ(late.status, 1);
    EXPECT_NE(late.err.find("time limit"), std::string::npos) << late.err;
    EXPECT_FALSE(exists(png_));
    EXPECT_EQ(runTool("--thumbnail 0 " + scene.path() + " " + png_).status, 2);
    EXPECT_EQ(runTool(scene.path() + " -o " + png_ + " --timeout -1").status, 2);
}

TEST_F(Tool, UsageErrorsExitWithTwoAndHelpWithZero) {
    for (const std::string& args : {std::string(""), std::string("a.qmv"), std::string("-o x.png"),
                                    std::string("a.qmv -o x.png --size 0x10"),
                                    std::string("a.qmv -o x.png --view 1,2,3"),
                                    std::string("a.qmv -o x.png --hide -1"),
                                    std::string("a.qmv -o x.png --frobnicate")}) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err.rfind("qmv-render: ", 0), 0u) << args;
    }
    const ToolRun help = runTool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: qmv-render FILE -o OUT.png", 0), 0u);
    const ToolRun version = runTool("--version --frobnicate");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "qmv-render " QMV_VERSION "\n");
}

ParsedRenderOptions parse(std::vector<const char*> args) { return parseRenderOptions(args); }

TEST(RenderOptions, AcceptsBothSpellingsOfValues) {
    const ParsedRenderOptions p =
        parse({"--size=320x240", "in.qmvz", "-o", "out.png", "--hide", "2", "--hide=0",
               "--view", "-1.5,0,2e2,10"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.input, "in.qmvz");
    EXPECT_EQ(p.options.output, "out.png");
    EXPECT_EQ(p.options.width, 320);
    EXPECT_EQ(p.options.height, 240);
    EXPECT_EQ(p.options.hiddenLayers, (std::vector<int>{2, 0}));
    ASSERT_TRUE(p.options.view.has_value());
    EXPECT_DOUBLE_EQ(p.options.view->xmin, -1.5);
    EXPECT_DOUBLE_EQ(p.options.view->xmax, 200);
}

}  // namespace
}  // namespace qmv::test
