// The real qmv-viewer on an X server of the tests' own (the viewer tests'
// harness, tests/viewer/gui): a file refused by a limit shows the reader's
// message in the error box and leaves a black window; the next good file,
// opened from File > Open..., shows exactly what qmv-render draws for it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "qmv/writer/scene_writer.h"
#include "x_session.h"

namespace qmv::viewer::gui {
namespace {

constexpr const char* kNoDocumentTitle = "QMV viewer OpenGL/Win32";

std::string exactly(const std::string& text) {
    std::string out = "^";
    for (char c : text) {
        if (std::strchr(".[]()*+?{}|^$\\", c) != nullptr) out += '\\';
        out += c;
    }
    return out + "$";
}

// One word for the shell.
std::string singleQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Each shape places the one before it twice, 40 deep: refused by the
// renderer's limits while the file is read.
bool writeDamaged(const std::string& path) {
    SceneHeader header;
    header.upperRight = {100, 100};
    SceneWriter w(header);
    w.beginShape({1, 1});
    w.line({0, 0}, {1, 1});
    w.endShape();
    for (int k = 1; k < 40; ++k) {
        w.beginShape({1, 1});
        w.stampShape(k - 1, {0, 0});
        w.stampShape(k - 1, {1, 0});
        w.endShape();
    }
    w.layer("L");
    w.fillBox({10, 10}, {50, 50});
    w.stampShape(39, {10, 10});
    w.finish();
    return w.ok() && w.save(path);
}

bool writeGood(const std::string& path) {
    SceneHeader header;
    header.upperRight = {200, 150};
    header.background = {1, 1, 1, 1};
    SceneWriter w(header);
    w.layer("L");
    w.setFillColor({0, 102 / 255.0, 204 / 255.0});
    w.fillBox({20, 20}, {80, 60});
    w.setLineColor({1, 0, 0});
    w.polyline({{10, 140}, {190, 10}});
    w.fillCircle({150, 100}, 30);
    w.finish();
    return w.ok() && w.save(path);
}

class DamagedFile : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("QMV_VIEWER_GUI_TESTS_IN_XVFB") == nullptr || std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "no X server of the tests' own (xvfb-run is missing)";
        }
        if (const auto tool = missingTool()) GTEST_SKIP() << *tool << " is missing";
        folder_ = (std::filesystem::temp_directory_path() /
                   ("qmv-damaged-gui-" + std::to_string(getpid())))
                      .string();
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    // Waits until the canvas shows exactly `expected`.
    bool canvasShows(const Rect& canvas, const RgbaImage& expected, RgbaImage& shown) {
        return waitUntil([&] {
            shown = crop(screenshot(), canvas);
            return differingPixels(shown, expected) == 0;
        });
    }

    std::string folder_;
};

TEST_F(DamagedFile, ShowsTheErrorBoxAndABlackWindowThenTheNextFileOpens) {
    const std::string damaged = folder_ + "/damaged.qmv";
    const std::string good = folder_ + "/good.qmv";
    ASSERT_TRUE(writeDamaged(damaged));
    ASSERT_TRUE(writeGood(good));

    Process viewer(QMV_VIEWER, {damaged});
    const auto box = waitForWindow("^QMV$");
    ASSERT_TRUE(box) << "no error box; the screen: " << writeForInspection(screenshot(), "screen.png");
    xdotool("windowfocus --sync " + std::to_string(*box));
    xdotool("key Return");
    EXPECT_TRUE(waitForNoWindow("^QMV$")) << "the error box stayed";

    const auto window = waitForWindow(exactly(kNoDocumentTitle));
    ASSERT_TRUE(window) << "no window titled " << kNoDocumentTitle;
    const auto canvas = largestChild(*window);
    ASSERT_TRUE(canvas);
    RgbaImage black;
    black.width = canvas->width;
    black.height = canvas->height;
    black.pixels.assign(static_cast<size_t>(black.width) * static_cast<size_t>(black.height) * 4, 0);
    RgbaImage shown;
    EXPECT_TRUE(canvasShows(*canvas, black, shown))
        << "not black: " << writeForInspection(shown, "after-damaged.png");

    // File > Open..., the path typed into the dialog.
    xdotool("windowfocus --sync " + std::to_string(*window));
    xdotool("key --delay 30 alt+f o");
    const auto dialog = waitForWindow("^Open File$");
    ASSERT_TRUE(dialog) << "no open dialog; the screen: " << writeForInspection(screenshot(), "screen.png");
    xdotool("windowfocus --sync " + std::to_string(*dialog));
    xdotool("type --delay 20 " + singleQuoted(good));
    xdotool("key --delay 100 Return");

    const auto opened = waitForWindow(exactly(good));
    ASSERT_TRUE(opened) << "the good file did not open; the screen: "
                        << writeForInspection(screenshot(), "screen.png");
    const auto goodCanvas = largestChild(*opened);
    ASSERT_TRUE(goodCanvas);
    const auto expected = renderReference(good, goodCanvas->width, goodCanvas->height);
    ASSERT_TRUE(expected) << "qmv-render failed";
    EXPECT_TRUE(canvasShows(*goodCanvas, *expected, shown))
        << differingPixels(shown, *expected) << " pixels differ: "
        << writeForInspection(shown, "shown.png") << " against "
        << writeForInspection(*expected, "expected.png");
}

}  // namespace
}  // namespace qmv::viewer::gui
