// The real qmv-viewer on an X server, driven with real input: what its
// canvas shows is compared pixel for pixel with what qmv-render draws for the
// same client size and world window.
#include "viewer_window.h"

namespace qmv::viewer::gui {
namespace {

TEST_F(ViewerWindow, AFileNamedOnTheCommandLineShowsItsScene) {
    // The arguments join into one path with single spaces.
    const std::string path = (folder_ / "my tour.qmvz").string();
    std::filesystem::copy_file(QMV_TOUR, path, error_);
    ASSERT_FALSE(error_) << error_.message();
    start({(folder_ / "my").string(), "tour.qmvz"}, path);
    expectCanvasShows(reference(path), "the tour");
    // Centred, with the file's background colour above the drawing.
    EXPECT_EQ(canvasImage().at(canvas_.width / 2, 2), (Rgba{246, 243, 235, 255}));

    keys("alt+f x");  // File > Exit
    EXPECT_EQ(viewer_->waitForExit(10.0), std::optional<int>(0));
}

TEST_F(ViewerWindow, AMissingFileShowsTheErrorBoxThenABlackWindow) {
    viewer_.emplace(QMV_VIEWER, std::vector<std::string>{"/nonexistent/missing.qmv"});
    const auto box = waitForWindow("^QMV$");
    ASSERT_TRUE(box) << "no error box; the programs said:\n" << programLog();
    // The box holds more than its background: its text.
    const RgbaImage boxImage = crop(screenshot(), windowGeometry(*box));
    long dark = 0;
    for (int y = 0; y < boxImage.height; ++y) {
        for (int x = 0; x < boxImage.width; ++x) dark += boxImage.at(x, y).r < 100 ? 1 : 0;
    }
    EXPECT_GT(dark, 50) << writeForInspection(boxImage, "error-box.png");

    xdotool("windowfocus --sync " + std::to_string(*box));
    xdotool("key Return");
    EXPECT_TRUE(waitForNoWindow("^QMV$")) << "the error box stayed";
    findWindow(kNoDocumentTitle);
    expectCanvasShows(blackCanvas(), "a black window");
}

TEST_F(ViewerWindow, KeypadPlusZoomsInAndTheMainKeyboardsPlusDoesNot) {
    startOnGrid();
    pointerTo(canvas_.width / 2, canvas_.height / 2);
    // Keys act in order: had plus or minus done anything, the picture
    // would not be a single zoom step.
    keys("plus minus KP_Add");
    const WorldWindow zoomed{80, 60, 320, 240};
    expectCanvasShows(reference(grid_, view(zoomed)), "one zoom step");
    keys("Right");
    expectCanvasShows(reference(grid_, view({104, 60, 344, 240})), "a step right");
    keys("Home");
    expectCanvasShows(reference(grid_), "the initial view again");
}

TEST_F(ViewerWindow, DragsZoomIntoARectangleAndMoveAlongALine) {
    startOnGrid();
    const RgbaImage scene = reference(grid_);
    const int x0 = 90, y0 = 80, x1 = 250, y1 = 260;
    pressAndDrag(x0, y0, x1, y1);
    // The band is the scene's pixels inverted along the rectangle's edges.
    RgbaImage shown;
    const auto inverted = [&](int x, int y) {
        const Rgba s = scene.at(x, y), p = shown.at(x, y);
        return p.r == 255 - s.r && p.g == 255 - s.g && p.b == 255 - s.b;
    };
    int polls = 0;
    const bool banded = waitUntil([&] {
        // Now and then the toolkit keeps the last motion back for a while;
        // moving the pointer off the end and back brings it.
        if (++polls % 12 == 0) {
            pointerTo(x1 + 1, y1 + 1);
            pointerTo(x1, y1);
        }
        shown = canvasImage();
        for (int x = x0; x <= x1 && shown.width == scene.width; ++x) {
            if (!inverted(x, y0) || !inverted(x, y1)) return false;
        }
        for (int y = y0; y <= y1 && shown.width == scene.width; ++y) {
            if (!inverted(x0, y) || !inverted(x1, y)) return false;
        }
        return shown.width == scene.width;
    });
    ASSERT_TRUE(banded) << writeForInspection(shown, "band.png");
    for (const auto& [x, y] : {std::pair{x0 + 1, y0 + 1}, {x1 - 1, y1 - 1}, {x0 - 1, y0}, {x1 + 1, y1}}) {
        EXPECT_EQ(shown.at(x, y), scene.at(x, y)) << "beside the band at " << x << "," << y;
    }
    xdotool("mouseup 1");
    const WorldWindow zoomed = afterDrag(kGrid, true, x0, y0, x1, y1);
    const RgbaImage zoomedScene = reference(grid_, view(zoomed));
    expectCanvasShows(zoomedScene, "the rectangle's scene");

    // Escape ends a drag without a trace.
    pressAndDrag(60, 60, 200, 150);
    EXPECT_TRUE(waitUntil([&] { return differingPixels(canvasImage(), zoomedScene) > 200; })) << "no band";
    keys("Escape");
    xdotool("mouseup 1");
    expectCanvasShows(zoomedScene, "the view before the cancelled drag");

    // The popup's "&Move mode", then a drag moves the scene along it.
    pointerTo(300, 200);
    xdotool("click 3");
    ASSERT_TRUE(waitUntil([&] { return differingPixels(canvasImage(), zoomedScene) > 1000; })) << "no popup";
    xdotool("key m");
    expectCanvasShows(zoomedScene, "the view after the popup");
    pressAndDrag(200, 150, 120, 220);
    xdotool("mouseup 1");
    expectCanvasShows(reference(grid_, view(afterDrag(zoomed, false, 200, 150, 120, 220))),
                      "the scene moved along the line");
}

TEST_F(ViewerWindow, TheLayerDialogHidesALayer) {
    startOnGrid();
    keys("alt+v l");  // View > Layer visibility...
    const auto dialog = waitForWindow("^Select layer visibility$");
    ASSERT_TRUE(dialog) << "no layer dialog";
    // The client area is 201 x 221 dialog units, which place its controls:
    // row 1 ("rings") lies about 33 units down, below the header and row 0.
    const Rect box = windowGeometry(*dialog);
    const auto at = [&](double x, double y) {
        return std::to_string(box.x + static_cast<int>(x * box.width / 201.0)) + " " +
               std::to_string(box.y + static_cast<int>(y * box.height / 221.0));
    };
    xdotool("mousemove " + at(40, 33));
    xdotool("click --repeat 2 --delay 80 1");
    // Escape is "&Apply": the main window shows the change; the dialog stays.
    xdotool("windowfocus --sync " + std::to_string(*dialog) + " key Escape");
    const RgbaImage withoutRings = reference(grid_, "--hide 1");
    expectCanvasShows(withoutRings, "the scene without its rings");
    EXPECT_FALSE(visibleWindows("^Select layer visibility$").empty());
    // Hide all, then Show all, each applied.
    xdotool("mousemove " + at(107, 206) + " click 1");
    xdotool("windowfocus --sync " + std::to_string(*dialog) + " key Escape");
    expectCanvasShows(reference(grid_, "--hide 0 --hide 1 --hide 2"), "no layer");
    xdotool("mousemove " + at(39, 206) + " click 1");
    xdotool("windowfocus --sync " + std::to_string(*dialog) + " key Escape");
    expectCanvasShows(reference(grid_), "every layer");
    xdotool("mousemove " + at(40, 33));
    xdotool("click --repeat 2 --delay 80 1");
    xdotool("windowfocus --sync " + std::to_string(*dialog) + " key Escape");
    expectCanvasShows(withoutRings, "the rings hidden again");
    xdotool("mousemove " + at(157, 186));  // "OK"
    xdotool("click 1");
    EXPECT_TRUE(waitForNoWindow("^Select layer visibility$"));
    expectCanvasShows(withoutRings, "the scene still without its rings");
}

}  // namespace
}  // namespace qmv::viewer::gui
