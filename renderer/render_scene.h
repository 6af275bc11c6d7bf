// The renderer's per-document state: the layer list, the shape and image
// tables, the retained geometry and its recorder, the open path and the
// polygon tessellator, and the GL side made from them at the first paint.
// The reader hands it to every callback as its client data.
#pragma once

#include <GL/gl.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fill_params.h"
#include "geometry_recorder.h"
#include "gl_resources.h"
#include "gpu_scene.h"
#include "qmv/reader.h"
#include "qmv/renderer.h"
#include "scene_limits.h"

namespace qmv {

namespace renderer {

struct LayerEntry {
    std::string name;
    int visible = 0;      // low 8 bits of the file's flag; non-zero is drawn
    int detectable = 0;   // kept, never used
    Recording recording;
};

// A shape can be placed once its definition has ended; until then (and for
// numbers never defined) a placement draws nothing, which also keeps a shape
// from calling its own list.
struct ShapeEntry {
    Recording recording;
    double referenceX = 0.0;
    double referenceY = 0.0;
    bool complete = false;
    ReplayCost cost;  // what one placement replays
};

struct ReaderPixelsDeleter {
    void operator()(float* pixels) const { readerFreePixels(pixels); }
};

// An image: the reader's pixels until the upload makes its texture from
// them. An image without pixels draws nothing.
struct ImageEntry {
    std::unique_ptr<float, ReaderPixelsDeleter> pixels;
    TextureObject texture;
    int width = 0;          // pixels
    int height = 0;
    int textureWidth = 0;   // texels, a power of two, border not counted
    int textureHeight = 0;
};

// The path between QMVR_begin and QMVR_end.
struct PathState {
    static constexpr int kNone = -1;
    int kind = kNone;
    bool fill = false;
    // The fill in force for the whole path: the reader changes no attribute
    // between a path's begin and its end.
    FillSpec fillSpec;
    // Set when a filled path cannot be drawn (its texture image is not
    // defined): its vertices and end are swallowed.
    bool discarded = false;
    // Set when the scene's limits refused one of its vertices: the rest are
    // swallowed, and what was begun is still ended.
    bool refused = false;
    // Set when a filled outline goes to the stencil (stencil_fill.cpp).
    bool stencil = false;
    double lastX = 0.0;  // the previous vertex, for segment lengths
    double lastY = 0.0;
    double firstX = 0.0;
    double firstY = 0.0;
    float control[4][3] = {};
    int controlCount = 0;
};

// The outline being filled through the stencil: its points and bounds.
struct StencilOutline {
    std::vector<Point> points;
    double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
};

// A vertex handed to a tessellator, with the fill attribute it is drawn
// with. The records live in a deque so that their addresses hold until the
// polygon has been emitted.
struct TessVertex {
    GLdouble position[3] = {0.0, 0.0, 0.0};
    FillValue fill;
};

}  // namespace renderer

struct RenderScene {
    int layerCount = 0;
    int shapeCount = 0;
    int imageCount = 0;

    std::vector<renderer::LayerEntry> layers;
    // Grown by definitions; looked up with a bound check.
    std::vector<renderer::ShapeEntry> shapes;
    std::vector<renderer::ImageEntry> images;
    int shapeBeingDefined = -1;

    renderer::SceneGeometry geometry;
    renderer::GeometryRecorder recorder{geometry};
    // Made from the geometry at the first paint; released with the scene.
    renderer::GpuScene gpu;
    // The context's, read when the scene is made: the side an image's
    // texture may take decides the scale of a repeated texture fill.
    int maxTextureSize = 0;

    renderer::PathState path;
    renderer::SceneLimits limits;
    // The stencil bits of the context the scene is compiled in: with none,
    // every fill goes through the tessellator.
    int stencilBits = 0;
    renderer::StencilOutline stencilOutline;
    renderer::Tessellator tessellator;
    // The fill of the outline being tessellated: each primitive the
    // tessellator begins takes its solid colour.
    const renderer::FillSpec* tessFill = nullptr;
    std::deque<renderer::TessVertex> tessVertices;
};

namespace renderer {

inline RenderScene& sceneOf(ReaderContext* ctx) {
    return *static_cast<RenderScene*>(readerClientData(ctx));
}

// The image of a number, or nullptr when that image has no pixels.
const ImageEntry* definedImage(const RenderScene& scene, int number);
// The shape of a number once its definition has ended, or nullptr.
const ShapeEntry* placedShape(const RenderScene& scene, int number);

// Texels an image's texture holds, border included.
inline double textureTexels(const ImageEntry& image) {
    return double(image.textureWidth + 2) * double(image.textureHeight + 2);
}

}  // namespace renderer
}  // namespace qmv
