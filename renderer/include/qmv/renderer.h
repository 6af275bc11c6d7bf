// The OpenGL scene renderer: the reader's client that compiles a scene file
// into display lists (one per layer and per shape) and texture objects (one
// per image) while it is read, and the operations a viewer needs to paint,
// query and release it.
//
//   registerRendererCallbacks();                 // once per process
//   RenderScene* scene = renderSceneCreate();    // GL context current
//   ReaderContext* ctx = readerOpen(path, scene, 1, nullptr);
//   paintScene(ctx, scene, View{initialWorldWindow(ctx), 800, 600});
//   renderSceneFree(scene);                      // same context current
//   readerRelease(&ctx);
//
// SceneDocument (scene_document.h) does the middle three steps as one RAII
// object. Every call that issues GL commands needs a current compatibility
// profile context; making, painting and freeing a scene must use the same
// one. Reading a file into a scene issues no GL: it may run in another
// thread, with no context current, while that thread alone uses the scene.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "qmv/reader.h"
#include "qmv/view.h"

namespace qmv {

struct RenderScene;

// Stores the renderer's callbacks in the reader's process-wide table.
void registerRendererCallbacks();

// An empty scene with its polygon tessellator; the reader's client data.
RenderScene* renderSceneCreate();
// Deletes every display list and texture the scene created (those of a
// parse that failed early included), its tessellator and the scene.
// Accepts nullptr.
void renderSceneFree(RenderScene* scene);

struct RenderSceneDeleter {
    void operator()(RenderScene* scene) const { renderSceneFree(scene); }
};
using RenderScenePtr = std::unique_ptr<RenderScene, RenderSceneDeleter>;

// Makes what the first frame would otherwise make from the read scene (its
// spatial indexes), without GL: a viewer calls it where it read the file.
void renderScenePrepare(RenderScene* scene);

// Counts copied from the reader once the layers are done; 0 before.
int renderSceneLayerCount(const RenderScene* scene);
int renderSceneShapeCount(const RenderScene* scene);
int renderSceneImageCount(const RenderScene* scene);

// Layer operations. An index of 0 or below means the first layer; an index
// past the last layer answers 0 or nullptr and changes nothing.
int layerVisible(const RenderScene* scene, int index);
const char* layerName(const RenderScene* scene, int index);
void setLayerVisible(RenderScene* scene, int index, int visible);

// What the scene's last frame drew: GL primitives (pieces of the scene's
// items that met the view, at the level of detail chosen), their vertices,
// the draw calls they took, and the shapes drawn by placement.
struct FrameStatistics {
    uint64_t pieces = 0;
    uint64_t vertices = 0;
    uint64_t batches = 0;
    uint64_t placements = 0;
};
FrameStatistics renderSceneLastFrame(const RenderScene* scene);

// The fixed drawing state every context that paints scenes starts from:
// blending on; depth, lighting, stipple, texturing and smoothing off.
void initGlState();

// Clears the colour buffer to the file's background colour.
void clearToBackground(const ReaderContext* ctx);

// The world window of the file's header: Lower Left to Upper Right.
WorldWindow initialWorldWindow(const ReaderContext* ctx);

// One frame: viewport and projection for the view, the background, then the
// retained geometry of the visible layers in order. The matrix mode is left at
// GL_PROJECTION, which the layers' own matrix operations act on.
void paintScene(const ReaderContext* ctx, RenderScene* scene, const View& view);

// The same frame drawn in parts, with other drawing allowed between them:
// paintSceneBegin sets the viewport and projection, clears to the
// background and plans the frame; each paintSceneContinue draws up to
// `batches` more draw calls and answers true once the frame is whole. A new
// begin abandons a frame not drawn whole. The same framebuffer must be
// bound for every part. `topRowFirst` draws the picture upside down, as a
// window-system surface stores it, for a framebuffer object whose image is
// then copied flipped: the pixels are then exactly a window's, whose
// rasteriser flips in the same way (it settles ties at pixel edges by the
// rows as stored).
void paintSceneBegin(const ReaderContext* ctx, RenderScene* scene, const View& view,
                     bool topRowFirst = false);
bool paintSceneContinue(RenderScene* scene, size_t batches);

}  // namespace qmv
