// The GL side of a scene: its vertex pools as buffer objects, its images as
// textures and the vertex program, made from the retained geometry at the
// first paint (the upload), and the frame that draws the recordings from
// them: culled to the view, at the level of detail the view's pixels need.
#pragma once

#include <GL/gl.h>

#include <array>
#include <memory>
#include <vector>

#include "frame_batches.h"
#include "layer_index.h"
#include "gl_resources.h"
#include "qmv/renderer.h"
#include "qmv/view.h"
#include "scene_geometry.h"

namespace qmv {
struct RenderScene;
}

namespace qmv::renderer {

class FrameDrawer;

class GpuScene {
public:
    bool uploaded() const { return uploaded_; }
    // Makes the buffers, textures and program, and lets the model's vertex
    // arrays go. The context the scene is painted in must be current.
    void upload(RenderScene& scene);
    // The layers' spatial indexes, made once; they need no GL, so that they
    // can be made where the scene was read.
    void buildIndexes(const RenderScene& scene);
    GpuScene();
    ~GpuScene();
    GpuScene(const GpuScene&) = delete;
    GpuScene& operator=(const GpuScene&) = delete;

    // A frame of the visible layers for `view`, planned here and drawn by
    // continueFrame in as many calls as the caller likes (the background is
    // the caller's). A new frame abandons one not yet drawn whole.
    void beginFrame(const RenderScene& scene, const View& view, bool topRowFirst = false);
    // Draws up to `batches` more draw calls of the frame; true once it is
    // drawn whole (and when there is none).
    bool continueFrame(size_t batches);

    // What the last frame drew, for tests and benchmarks.
    const FrameStatistics& lastFrame() const { return counts_; }
    // Off, every frame draws every primitive at full detail (for
    // comparisons).
    void useLevels(bool on) { useLevels_ = on; }
    // Off, every frame walks every command of the visible layers (for
    // comparisons); on, a frame that sees little of a layer asks its index.
    void useIndexes(bool on) { useIndexes_ = on; }


private:
    bool uploaded_ = false;
    bool useLevels_ = true;
    bool useIndexes_ = true;
    // One buffer per group of each pool (scene_geometry.h).
    std::array<std::vector<BufferObject>, kPoolKinds> positions_;
    std::vector<BufferObject> colours_;
    std::vector<BufferObject> texCoords_;
    ProgramObject program_;
    GLint originLoc_ = -1, linearLoc_ = -1, offsetLoc_ = -1, scaleLoc_ = -1;
    FrameStatistics counts_;
    BatchPlanner planner_;  // kept from frame to frame for its storage
    std::unique_ptr<FrameDrawer> frame_;  // the frame being drawn
    std::vector<LayerIndex> indexes_;     // one per layer, made at the first frame
    std::vector<uint32_t> marks_;         // the indexes' scratch
    uint32_t stamp_ = 0;
    friend class FrameDrawer;
};

}  // namespace qmv::renderer
