// The RenderScene, the layer operations, the callbacks that give a scene its
// structure (layers, shapes, objects, extensions) and the registration of
// every callback with the reader.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "callbacks.h"
#include "qmv/renderer.h"
#include "render_scene.h"

namespace qmv {

using namespace renderer;

namespace {

// Layer indexes of 0 and below mean the first layer. Scene is RenderScene,
// const or not.
template <typename Scene>
auto layerAt(Scene* scene, int index) -> decltype(&scene->layers[0]) {
    if (scene == nullptr || scene->layers.empty()) return nullptr;
    const size_t i = index <= 0 ? 0 : static_cast<size_t>(index);
    return i < scene->layers.size() ? &scene->layers[i] : nullptr;
}

// The levels' ladder runs from the larger side of the file's world window.
void takeExtent(ReaderContext* ctx, RenderScene& scene) {
    if (scene.geometry.extent > 0.0) return;
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    readerLowerLeft(ctx, &x0, &y0);
    readerUpperRight(ctx, &x1, &y1);
    const double extent = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    scene.geometry.extent = std::isfinite(extent) ? extent : 0.0;
}

}  // namespace

// ------------------------------------------------------------- the scene

RenderScene* renderSceneCreate() {
    auto* scene = new RenderScene;
    configureTessellator(scene->tessellator.get());
    glGetIntegerv(GL_STENCIL_BITS, &scene->stencilBits);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &scene->maxTextureSize);
    // Placements push the projection matrix (the one the layers act on).
    GLint stack = 0;
    glGetIntegerv(GL_MAX_PROJECTION_STACK_DEPTH, &stack);
    scene->limits.takeProjectionStackDepth(stack);
    return scene;
}

void renderSceneFree(RenderScene* scene) {
    delete scene;  // its buffers, textures, program and tessellator go with it
}

void renderScenePrepare(RenderScene* scene) {
    if (scene != nullptr) scene->gpu.buildIndexes(*scene);
}

FrameStatistics renderSceneLastFrame(const RenderScene* scene) {
    return scene != nullptr ? scene->gpu.lastFrame() : FrameStatistics{};
}

int renderSceneLayerCount(const RenderScene* scene) { return scene ? scene->layerCount : 0; }
int renderSceneShapeCount(const RenderScene* scene) { return scene ? scene->shapeCount : 0; }
int renderSceneImageCount(const RenderScene* scene) { return scene ? scene->imageCount : 0; }

int layerVisible(const RenderScene* scene, int index) {
    const LayerEntry* layer = layerAt(scene, index);
    return layer != nullptr ? layer->visible : 0;
}

const char* layerName(const RenderScene* scene, int index) {
    const LayerEntry* layer = layerAt(scene, index);
    return layer != nullptr ? layer->name.c_str() : nullptr;
}

void setLayerVisible(RenderScene* scene, int index, int visible) {
    if (LayerEntry* layer = layerAt(scene, index)) {
        layer->visible = visible;
    }
}

namespace renderer {

const ImageEntry* definedImage(const RenderScene& scene, int number) {
    if (number < 0 || static_cast<size_t>(number) >= scene.images.size()) return nullptr;
    const ImageEntry& image = scene.images[static_cast<size_t>(number)];
    return image.pixels != nullptr || image.texture.name() != 0 ? &image : nullptr;
}

const ShapeEntry* placedShape(const RenderScene& scene, int number) {
    if (number < 0 || static_cast<size_t>(number) >= scene.shapes.size()) return nullptr;
    const ShapeEntry& shape = scene.shapes[static_cast<size_t>(number)];
    return shape.complete ? &shape : nullptr;
}

// ------------------------------------------------------------ structure

int layerBegin(ReaderContext* ctx, const char* name, int visible, int detectable) {
    RenderScene& scene = sceneOf(ctx);
    if (!scene.limits.newList(ctx)) return CALLBACK_FAILED;
    scene.limits.beginLayer();
    takeExtent(ctx, scene);
    LayerEntry& layer = scene.layers.emplace_back();
    scene.recorder.setTarget(&layer.recording, -1);
    layer.name = name != nullptr ? name : "";
    layer.visible = visible & 0xFF;
    layer.detectable = detectable & 0xFF;

    // Every layer starts from the attributes the global layer left, so that
    // a layer draws the same whatever was painted before it.
    int16_t style[4];
    readerLineStyle(ctx, &style[0], &style[1], &style[2], &style[3]);
    setLineStyle(ctx, style[0], style[1], style[2], style[3]);
    setLineDashes(ctx, readerLineDashes(ctx));
    setBlendMode(ctx, readerBlendMode(ctx));
    return static_cast<int>(scene.layers.size());
}

// The reader calls this also when callbacks are disabled, where the client
// data need not be a scene.
int layersEnd(ReaderContext* ctx) {
    if (readerClientData(ctx) == nullptr) return 1;
    RenderScene& scene = sceneOf(ctx);
    scene.recorder.setTarget(nullptr, -1);
    scene.layerCount = readerLayerCount(ctx);
    scene.imageCount = readerImageCount(ctx);
    scene.shapeCount = readerShapeCount(ctx);
    return 1;
}

int shapeBegin(ReaderContext* ctx, double x, double y, int number) {
    RenderScene& scene = sceneOf(ctx);
    if (number < 0) return 1;
    if (!scene.limits.newList(ctx)) return CALLBACK_FAILED;
    scene.limits.beginShape();
    // Shape numbers count definitions, so the table grows one row at a time.
    if (static_cast<size_t>(number) >= scene.shapes.size()) {
        scene.shapes.resize(static_cast<size_t>(number) + 1);
    }
    takeExtent(ctx, scene);
    ShapeEntry& shape = scene.shapes[static_cast<size_t>(number)];
    shape.recording = Recording();
    shape.referenceX = x;
    shape.referenceY = y;
    shape.complete = false;
    scene.shapeBeingDefined = number;
    // A shape's dash pattern is that of where it is placed.
    scene.recorder.setTarget(&shape.recording, -1);
    return 1;
}

int shapeEnd(ReaderContext* ctx) {
    RenderScene& scene = sceneOf(ctx);
    scene.recorder.setTarget(nullptr, -1);
    if (scene.shapeBeingDefined >= 0) {
        ShapeEntry& shape = scene.shapes[static_cast<size_t>(scene.shapeBeingDefined)];
        shape.complete = true;
        shape.cost = scene.limits.endShape();
        scene.shapeBeingDefined = -1;
    }
    return 1;
}

int stampShape(ReaderContext* ctx, int number, double x, double y) {
    RenderScene& scene = sceneOf(ctx);
    const ShapeEntry* shape = placedShape(scene, number);
    if (shape == nullptr) return 1;
    if (!scene.limits.place(ctx, shape->cost, 1.0, 1.0)) return CALLBACK_FAILED;
    Affine transform;
    transform.tx = x;
    transform.ty = y;
    scene.recorder.place(number, shape->recording, transform);
    return 1;
}

// The shape's own coordinates are scaled about the placement point, turned
// counter-clockwise, then moved to (x, y). The scale is relative to the
// shape's reference point.
int placeShape(ReaderContext* ctx, int number, double x, double y, double angle, double sx,
               double sy) {
    RenderScene& scene = sceneOf(ctx);
    const ShapeEntry* shape = placedShape(scene, number);
    if (shape == nullptr) return 1;
    const double kx = sx / shape->referenceX;
    const double ky = sy / shape->referenceY;
    if (!scene.limits.place(ctx, shape->cost, kx, ky)) return CALLBACK_FAILED;
    // The GL's rotation: the angle in degrees, turned back to radians.
    const double radians = angle * 180.0 * 0.3183098861837697 * (3.141592653589793 / 180.0);
    const double cosine = std::cos(radians), sine = std::sin(radians);
    const Affine transform{cosine * kx, -sine * ky, sine * kx, cosine * ky, x, y};
    scene.recorder.place(number, shape->recording, transform);
    return 1;
}

int objectBegin(ReaderContext*, const char*) { return 1; }
int objectEnd(ReaderContext*) { return 1; }

// Extension records carry data for other programs; a viewer reads past them.
int extension(ReaderContext*, const char*, const char*) { return 1; }

}  // namespace renderer

// ----------------------------------------------------------- registration

namespace {

// The renderer's function for each slot.
struct RendererClient : ReaderNoOpClient {
    static constexpr auto setBlendMode = &renderer::setBlendMode;
    static constexpr auto ellipse = &drawEllipse;
    static constexpr auto layer = &layerBegin;
    static constexpr auto endLayer = &layersEnd;
    static constexpr auto setLineDashes = &renderer::setLineDashes;
    static constexpr auto setLineStyle = &renderer::setLineStyle;
    static constexpr auto box = &drawBox;
    static constexpr auto line = &drawLine;
    static constexpr auto beginSetShape = &shapeBegin;
    static constexpr auto endSetShape = &shapeEnd;
    static constexpr auto begin = &pathBegin;
    static constexpr auto vertex = &pathVertex;
    static constexpr auto end = &pathEnd;
    static constexpr auto circle = &drawCircle;
    static constexpr auto arc = &drawArc;
    static constexpr auto shape = &placeShape;
    static constexpr auto stampshape = &stampShape;
    static constexpr auto extension = &renderer::extension;
    static constexpr auto beginObject = &objectBegin;
    static constexpr auto endObject = &objectEnd;
    static constexpr auto text = &drawText;
    static constexpr auto setImage = &defineImage;
    static constexpr auto fullImage = &drawFullImage;
    static constexpr auto image = &drawImagePart;
    static constexpr auto mark = &drawMark;
    static constexpr auto drawEdge = &renderer::drawEdge;
    static constexpr auto fillFace = &renderer::fillFace;
};

}  // namespace

void registerRendererCallbacks() { readerRegisterClient<RendererClient>(); }

}  // namespace qmv
