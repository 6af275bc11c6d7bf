// The GUI tests' fixture: the real qmv-viewer on an X server, driven with
// real input, its canvas compared pixel for pixel with what qmv-render draws
// for the same client size and world window; and the scene most of them
// move around in.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "qmv/view.h"
#include "qmv/writer/scene_writer.h"
#include "x_session.h"

namespace qmv::viewer::gui {

inline constexpr const char* kNoDocumentTitle = "QMV viewer OpenGL/Win32";

// The scene the navigation tests move around in: coloured blocks, rings,
// lines and a text in three layers, and no dashed line. (The software
// rasteriser's dash phase depends on what it drew before, so a later frame
// of a scene with dashes can differ from qmv-render's single frame in a few
// dash pixels; without dashes every frame matches exactly.)
inline constexpr WorldWindow kGrid{0, 0, 400, 300};

// `variant` 1 gives the blocks other colours (a rewritten file).
inline std::string writeGridScene(const std::string& path, int variant = 0) {
    SceneHeader header;
    header.upperRight = {kGrid.xmax, kGrid.ymax};
    SceneWriter w(header);
    w.layer("blocks");
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 8; ++column) {
            w.setFillColor({column * 32 / 255.0, (row * 40 + variant * 30) / 255.0,
                            (column + row + variant) % 3 * 102 / 255.0});
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

inline std::string view(const WorldWindow& w) {
    char text[160];
    std::snprintf(text, sizeof text, "--view %.17g,%.17g,%.17g,%.17g", w.xmin, w.ymin, w.xmax, w.ymax);
    return text;
}

// A regular expression that matches exactly `text`.
inline std::string exactly(const std::string& text) {
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
    // What the canvas shows without a document.
    RgbaImage blackCanvas() const {
        RgbaImage black;
        black.width = canvas_.width;
        black.height = canvas_.height;
        black.pixels.assign(static_cast<size_t>(black.width * black.height) * 4, 0);
        return black;
    }
    // Types `path` into the file dialog titled `title` once `select` (keys)
    // has selected its name field's text, and presses Return.
    void enterInFileDialog(const std::string& title, const std::string& select, const std::string& path) {
        const auto dialog = waitForWindow(exactly(title));
        ASSERT_TRUE(dialog) << "no dialog " << title;
        xdotool("windowfocus --sync " + std::to_string(*dialog) + " key " + select);
        xdotool("type --delay 20 '" + path + "'");
        xdotool("key Return");
    }
    RgbaImage reference(const std::string& file, const std::string& options = "") {
        const auto image = renderReference(file, canvas_.width, canvas_.height, options);
        EXPECT_TRUE(image) << "qmv-render failed";
        return image.value_or(RgbaImage{});
    }
    // Waits until the canvas shows exactly `expected`. With `pointer`, the
    // pointer is there: now and then the toolkit keeps the last motion back
    // for a while, and moving it off by a pixel and back brings it.
    void expectCanvasShows(const RgbaImage& expected, const std::string& what,
                           std::optional<std::pair<int, int>> pointer = std::nullopt) {
        RgbaImage shown;
        int polls = 0;
        const bool same = waitUntil([&] {
            if (pointer && ++polls % 12 == 0) {
                pointerTo(pointer->first + 1, pointer->second + 1);
                pointerTo(pointer->first, pointer->second);
            }
            return differingPixels(shown = canvasImage(), expected) == 0;
        });
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

}  // namespace qmv::viewer::gui
