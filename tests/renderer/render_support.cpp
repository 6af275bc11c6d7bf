#include "render_support.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qmv::test {

HeadlessGl& glContext() {
    static HeadlessGl* gl = [] {
        auto* context = new HeadlessGl(kMaxSide, kMaxSide);
        if (context->ok()) {
            initGlState();
            registerRendererCallbacks();
        }
        return context;
    }();
    return *gl;
}

SceneHeader squareHeader(double side) {
    SceneHeader header;
    header.upperRight = {side, side};
    header.background = {1.0, 1.0, 1.0, 1.0};
    return header;
}

namespace {

std::string writeTemp(const std::vector<uint8_t>& bytes) {
    char name[] = "/tmp/qmv-render-test-XXXXXX.qmv";
    const int fd = mkstemps(name, 4);
    if (fd >= 0) {
        if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) < 0) std::perror(name);
        ::close(fd);
    }
    return name;
}

}  // namespace

SceneFile::SceneFile(const SceneWriter& writer) : path_(writeTemp(writer.bytes())) {
    EXPECT_TRUE(writer.ok()) << writer.error();
}
SceneFile::SceneFile(const std::vector<uint8_t>& bytes) : path_(writeTemp(bytes)) {}
SceneFile::~SceneFile() { std::remove(path_.c_str()); }

RgbaImage readRegion(int width, int height) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    image.pixels.resize(bottomUp.size());
    for (int row = 0; row < height; ++row) {
        std::memcpy(&image.pixels[static_cast<size_t>(row) * rowBytes],
                    &bottomUp[static_cast<size_t>(height - 1 - row) * rowBytes], rowBytes);
    }
    return image;
}

Painted paint(const SceneWriter& writer, int width, int height, const std::vector<int>& hide,
              std::optional<WorldWindow> world) {
    Painted painted;
    if (!glContext().ok()) {
        ADD_FAILURE() << "no GL context: " << glContext().error();
        return painted;
    }
    SceneFile file(writer);
    SceneDocument document(file.path().c_str());
    if (document.error() != nullptr) painted.error = document.error();
    for (int layer : hide) setLayerVisible(document.scene(), layer, 0);
    painted.view = document.initialView(width, height);
    if (world) painted.view.world = *world;
    document.paint(painted.view);
    painted.image = readRegion(width, height);
    return painted;
}

Rgba Painted::at(double x, double y) const {
    const Point p = worldToPixel(view.world, view.width, view.height, {x, y});
    const int column = std::clamp(static_cast<int>(std::floor(p.x)), 0, image.width - 1);
    const int row = std::clamp(static_cast<int>(std::floor(p.y)), 0, image.height - 1);
    return image.at(column, row);
}

Painted::Box Painted::inkBox(Rgba background) const {
    int left = image.width, right = -1, top = image.height, bottom = -1;
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            if (image.at(column, row) == background) continue;
            left = std::min(left, column);
            right = std::max(right, column);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    }
    if (right < 0) return {0, 0, 0, 0, true};
    const Point low = pixelToWorld(view.world, view.width, view.height, left, bottom + 1);
    const Point high = pixelToWorld(view.world, view.width, view.height, right + 1, top);
    return {low.x, low.y, high.x, high.y, false};
}

::testing::AssertionResult near(Rgba actual, Rgba expected, int slack) {
    auto off = [slack](int a, int b) { return std::abs(a - b) > slack; };
    if (off(actual.r, expected.r) || off(actual.g, expected.g) || off(actual.b, expected.b)) {
        return ::testing::AssertionFailure()
               << "colour (" << int(actual.r) << ", " << int(actual.g) << ", " << int(actual.b)
               << ") is not (" << int(expected.r) << ", " << int(expected.g) << ", "
               << int(expected.b) << ") within " << slack;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace qmv::test
