// The real qmv-viewer on an X server, driven with real input: what its
// canvas shows is compared pixel for pixel with what qmv-render draws for the
// same client size and world window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "qmv/view.h"
#include "qmv/writer/scene_writer.h"
#include "x_session.h"

namespace qmv::viewer::gui {
namespace {

constexpr const char* kNoDocumentTitle = "QMV viewer OpenGL/Win32";

// The scene the navigation tests move around in: coloured blocks, rings,
// lines and a text in three layers, and no dashed line. (The software
// rasteriser's dash phase depends on what it drew before, so a later frame
// of a scene with dashes can differ from qmv-render's single frame in a few
// dash pixels; without dashes every frame matches exactly.)
constexpr WorldWindow kGrid{0, 0, 400, 300};

std::string writeGridScene(const std::string& path) {
    SceneHeader header;
    header.upperRight = {kGrid.xmax, kGrid.ymax};
    SceneWriter w(header);
    w.layer("blocks");
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 8; ++column) {
            w.setFillColor({column * 32 / 255.0, row * 40 / 255.0, (column + row) % 3 * 102 / 255.0});
            w.fillBox({column * 50.0 + 5, row * 50.0 + 5}, {40, 40});
        }
    }
    w.layer("rings");
    w.setLineColor({230 / 255.0, 230 / 255.0, 25 / 255.0});
    for (int i = 0; i < 6; ++i) w.drawCircle({60.0 + i * 55, 150}, 20 + i * 3);
    w.setFillColor({1, 128 / 255.0, 0});
    w.fillCircle({200, 150}, 30);
    w.layer("lines");
    w.polyline({{10, 290}, {100, 200}, {200, 280}, {300, 120}, {390, 10}});
    w.line({0, 0}, {400, 300});
    w.setFont(0, 0, 40);
    w.text({150, 60}, "QMV");
    w.finish();
    return w.ok() && w.save(path) ? "" : "not written: " + w.error();
}

std::string view(const WorldWindow& w) {
    char text[160];
    std::snprintf(text, sizeof text, "--view %.17g,%.17g,%.17g,%.17g", w.xmin, w.ymin, w.xmax, w.ymax);
    return text;
}

// A regular expression that matches exactly `text`.
std::string exactly(const std::string& text) {
    std::string out = "^";
    for (char c : text) out += std::strchr(".[]()*+?{}|^$\\", c) != nullptr ? std::string("\\") + c : std::string(1, c);
    return out + "$";
}

class ViewerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Only on the X server the test program started for itself.
        if (std::getenv("QMV_VIEWER_GUI_TESTS_IN_XVFB") == nullptr || std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "no X server of the tests' own (xvfb-run is missing)";
        }
        if (const auto tool = missingTool()) GTEST_SKIP() << *tool << " is missing";
        folder_ = std::filesystem::temp_directory_path() / ("qmv-viewer-gui-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_, error_);
        grid_ = (folder_ / "grid.qmv").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder_, error_); }

    // Starts the viewer and finds its window, by its title, and its canvas.
    void start(const std::vector<std::string>& arguments, const std::string& title) {
        viewer_.emplace(QMV_VIEWER, arguments);
        findWindow(title);
    }
    void findWindow(const std::string& title) {
        const auto window = waitForWindow(exactly(title));
        ASSERT_TRUE(window) << "no window titled " << title << "; the programs said:\n" << programLog();
        window_ = *window;
        const auto canvas = largestChild(window_);
        ASSERT_TRUE(canvas && canvas->width > 100 && canvas->height > 100) << "no canvas";
        canvas_ = *canvas;
    }
    void startOnGrid() {
        ASSERT_EQ(writeGridScene(grid_), "");
        start({grid_}, grid_);
        expectCanvasShows(reference(grid_), "the grid scene");
    }

    RgbaImage canvasImage() const { return crop(screenshot(), canvas_); }
    RgbaImage reference(const std::string& file, const std::string& options = "") {
        const auto image = renderReference(file, canvas_.width, canvas_.height, options);
        EXPECT_TRUE(image) << "qmv-render failed";
        return image.value_or(RgbaImage{});
    }
    // Waits until the canvas shows exactly `expected`.
    void expectCanvasShows(const RgbaImage& expected, const std::string& what) {
        RgbaImage shown;
        const bool same = waitUntil([&] { return differingPixels(shown = canvasImage(), expected) == 0; });
        EXPECT_TRUE(same) << what << ": " << differingPixels(shown, expected) << " pixels differ; shown "
                          << writeForInspection(shown, "shown.png") << ", expected "
                          << writeForInspection(expected, "expected.png");
    }
    // The world window after a drag in zoom mode (true) or move mode.
    WorldWindow afterDrag(const WorldWindow& w, bool zoom, int x0, int y0, int x1, int y1) const {
        const auto at = [&](int x, int y) { return pixelToWorld(w, canvas_.width, canvas_.height, x, y); };
        if (zoom) {
            const Point a = at(std::min(x0, x1), std::max(y0, y1)), b = at(std::max(x0, x1), std::min(y0, y1));
            return {a.x, a.y, b.x, b.y};
        }
        const Point s = at(x0, y0), e = at(x1, y1);
        return {w.xmin + s.x - e.x, w.ymin + s.y - e.y, w.xmax + s.x - e.x, w.ymax + s.y - e.y};
    }

    // Real input: the pointer to a canvas pixel, keys to the window.
    void pointerTo(int x, int y) {
        xdotool("mousemove " + std::to_string(canvas_.x + x) + " " + std::to_string(canvas_.y + y));
    }
    void keys(const std::string& names) {
        xdotool("windowfocus --sync " + std::to_string(window_));
        xdotool("key --delay 30 " + names);
    }
    // A left-button drag that stays pressed at its end.
    void pressAndDrag(int x0, int y0, int x1, int y1) {
        pointerTo(x0, y0);
        xdotool("mousedown 1");
        pointerTo((x0 + x1) / 2, (y0 + y1) / 2);
        pointerTo(x1, y1);
    }

    std::filesystem::path folder_;
    std::error_code error_;
    std::string grid_;
    std::optional<Process> viewer_;
    unsigned long window_ = 0;
    Rect canvas_;
};

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
    RgbaImage black;
    black.width = canvas_.width;
    black.height = canvas_.height;
    black.pixels.assign(static_cast<size_t>(black.width * black.height) * 4, 0);
    expectCanvasShows(black, "a black window");
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
    // The client area is 201 x 201 dialog units, which place its controls:
    // row 1 ("rings") lies about 33 units down, below the header and row 0.
    const Rect box = windowGeometry(*dialog);
    const auto at = [&](double x, double y) {
        return std::to_string(box.x + static_cast<int>(x * box.width / 201.0)) + " " +
               std::to_string(box.y + static_cast<int>(y * box.height / 201.0));
    };
    xdotool("mousemove " + at(40, 33));
    xdotool("click --repeat 2 --delay 80 1");
    // Escape is "&Apply": the main window shows the change; the dialog stays.
    xdotool("windowfocus --sync " + std::to_string(*dialog) + " key Escape");
    const RgbaImage withoutRings = reference(grid_, "--hide 1");
    expectCanvasShows(withoutRings, "the scene without its rings");
    EXPECT_FALSE(visibleWindows("^Select layer visibility$").empty());
    xdotool("mousemove " + at(157, 186));  // "OK"
    xdotool("click 1");
    EXPECT_TRUE(waitForNoWindow("^Select layer visibility$"));
    expectCanvasShows(withoutRings, "the scene still without its rings");
}

}  // namespace
}  // namespace qmv::viewer::gui
