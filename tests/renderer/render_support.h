// Test support: one headless GL context for the whole test program, scenes
// written with the writer, compiled by the renderer and painted into it,
// and pixels read back by scene position.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qmv/headless_gl.h"
#include "qmv/renderer.h"
#include "qmv/rgba_image.h"
#include "qmv/scene_document.h"
#include "qmv/view.h"
#include "qmv/writer/scene_writer.h"

namespace qmv::test {

// The largest picture a test paints.
inline constexpr int kMaxSide = 400;

// The process's context, created current at first use with the fixed state
// and the renderer's callbacks in place.
HeadlessGl& glContext();

// Bounds 0..100 both ways, 32-bit absolute and 24-bit relative points,
// white background.
SceneHeader squareHeader(double side = 100.0);

// n/255 for the writer's 8-bit colour sizes.
inline Color rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1.0}; }

// A scene file on disk, written from the writer and removed again.
class SceneFile {
public:
    explicit SceneFile(const SceneWriter& writer);
    explicit SceneFile(const std::vector<uint8_t>& bytes);
    ~SceneFile();
    SceneFile(const SceneFile&) = delete;
    SceneFile& operator=(const SceneFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A painted scene: the picture and the view it was painted with.
struct Painted {
    RgbaImage image;
    View view;
    std::string error;  // the reader's, "" when the file was read whole

    // The pixel that shows scene point (x, y).
    Rgba at(double x, double y) const;
    // Pixels, by scene coordinates, whose colour differs from `background`:
    // their bounding box in scene units (pixel edges), or empty.
    struct Box {
        double xmin, ymin, xmax, ymax;
        bool empty;
    };
    Box inkBox(Rgba background) const;
};

// Reads, compiles and paints a scene in a client area of width x height
// pixels, at its initial view or the given world window; `hide` lists
// layers to hide first.
Painted paint(const SceneWriter& writer, int width = 100, int height = 100,
              const std::vector<int>& hide = {}, std::optional<WorldWindow> world = {});

// The square 0..100 moved by half a pixel, so that whole scene coordinates
// (all a scene file holds) fall on pixel centres: for lines.
inline constexpr WorldWindow kCentred{-0.5, -0.5, 99.5, 99.5};

// Reads the bottom-left width x height pixels of the context.
RgbaImage readRegion(int width, int height);

inline const Rgba kWhite{255, 255, 255, 255};
inline const Rgba kBlack{0, 0, 0, 255};

// Colours compared with a tolerance of `slack` per channel.
::testing::AssertionResult near(Rgba actual, Rgba expected, int slack = 2);

}  // namespace qmv::test
