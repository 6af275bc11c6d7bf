// The viewer beyond its menus and keys, in the real window: the wheel, the
// middle-button pan, reloading a replaced file, cancelling a load and
// exporting the view, each compared with what qmv-render draws.
#include <cmath>

#include "qmv/png_file.h"
#include "viewer_window.h"

namespace qmv::viewer::gui {
namespace {

// The world window scaled by `factor` about the scene point under pixel
// (x, y) of a width x height client.
WorldWindow zoomedAbout(const WorldWindow& w, int width, int height, int x, int y, double factor) {
    const Point p = pixelToWorld(w, width, height, x, y);
    return {p.x + (w.xmin - p.x) * factor, p.y + (w.ymin - p.y) * factor, p.x + (w.xmax - p.x) * factor,
            p.y + (w.ymax - p.y) * factor};
}

// A raw scene of about `points` points in long random-walk polylines, which
// takes the viewer seconds to read.
std::string writeLargeScene(const std::string& path, int points) {
    SceneHeader header;
    header.upperRight = {4000, 4000};
    SceneWriter w(header);
    w.layer("walks");
    constexpr int kPerLine = 2000;
    std::vector<Point> steps(kPerLine);
    unsigned seed = 1;
    for (int line = 0; line < points / kPerLine; ++line) {
        for (Point& step : steps) {
            seed = seed * 1103515245u + 12345u;
            step = {static_cast<double>(static_cast<int>((seed >> 16) % 7) - 3),
                    static_cast<double>(static_cast<int>((seed >> 20) % 7) - 3)};
        }
        w.polylineSteps({static_cast<double>(line % 4000), static_cast<double>(line / 4 % 4000)}, steps);
    }
    w.finish();
    return w.ok() && w.save(path) ? "" : "not written: " + w.error();
}

TEST_F(ViewerWindow, TheWheelZoomsAboutThePointer) {
    startOnGrid();
    const int x = 100, y = 80;
    pointerTo(x, y);
    xdotool("click 4");  // one notch forward
    const WorldWindow in = zoomedAbout(kGrid, canvas_.width, canvas_.height, x, y, 0.8);
    expectCanvasShows(reference(grid_, view(in)), "one notch in about the pointer");
    pointerTo(300, 200);
    xdotool("click 5");  // one notch back
    const WorldWindow out = zoomedAbout(in, canvas_.width, canvas_.height, 300, 200, 1.25);
    const RgbaImage expected = reference(grid_, view(out));
    expectCanvasShows(expected, "one notch out about the pointer");

    // File > Export view as PNG... writes what the canvas shows.
    const std::string exported = (folder_ / "exported.png").string();
    keys("alt+f e");
    enterInFileDialog("Export view as PNG", "ctrl+a", exported);
    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(exported); })) << "nothing exported";
    RgbaImage image;
    std::string error;
    ASSERT_TRUE(waitUntil([&] { return readPng(exported, &image, &error); })) << error;
    EXPECT_EQ(differingPixels(image, expected), 0) << writeForInspection(image, "exported.png");
}

TEST_F(ViewerWindow, TheMiddleButtonDragsTheDrawing) {
    startOnGrid();
    pointerTo(200, 150);
    xdotool("mousedown 2");
    pointerTo(170, 170);
    pointerTo(120, 210);
    // The drawing follows while the button is held.
    const WorldWindow moved = afterDrag(kGrid, false, 200, 150, 120, 210);
    expectCanvasShows(reference(grid_, view(moved)), "the drawing under the held button", {{120, 210}});
    pointerTo(110, 230);
    xdotool("mouseup 2");
    expectCanvasShows(reference(grid_, view(afterDrag(kGrid, false, 200, 150, 110, 230))),
                      "the drawing moved from the press to the release");
}

TEST_F(ViewerWindow, AFileReplacedOnDiskIsShownAgainInTheSameView) {
    startOnGrid();
    pointerTo(canvas_.width / 2, canvas_.height / 2);
    keys("KP_Add");
    const WorldWindow zoomed{80, 60, 320, 240};
    expectCanvasShows(reference(grid_, view(zoomed)), "one zoom step");
    // Another drawing is renamed over the open file.
    const std::string next = (folder_ / "next.qmv").string();
    ASSERT_EQ(writeGridScene(next, 1), "");
    const RgbaImage expected = reference(next, view(zoomed));
    std::filesystem::rename(next, grid_, error_);
    ASSERT_FALSE(error_) << error_.message();
    expectCanvasShows(expected, "the new drawing in the same view");
}

TEST_F(ViewerWindow, ALoadCancelledInTheMiddleLeavesTheEmptyWindow) {
    const std::string large = (folder_ / "large.qmv").string();
    ASSERT_EQ(writeLargeScene(large, 30'000'000), "");
    start({large}, large);
    // Cancel, at the status bar's right end under the canvas.
    xdotool("mousemove " + std::to_string(canvas_.x + canvas_.width - 30) + " " +
            std::to_string(canvas_.y + canvas_.height + 12) + " click 1");
    findWindow(kNoDocumentTitle);
    const RgbaImage black = blackCanvas();
    expectCanvasShows(black, "a black window");
    EXPECT_TRUE(visibleWindows("^QMV$").empty()) << "an error box";

    // File > Close stops a load as well.
    keys("alt+f o");
    enterInFileDialog("Open File", "ctrl+l", large);
    findWindow(large);
    keys("alt+f c");
    findWindow(kNoDocumentTitle);
    expectCanvasShows(black, "a black window after Close");
    EXPECT_TRUE(visibleWindows("^QMV$").empty()) << "an error box";
}

}  // namespace
}  // namespace qmv::viewer::gui
