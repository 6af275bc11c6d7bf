// Fuzz target: the reader driving the real renderer in a headless GL
// context, as the viewer does it: a new RenderScene, readerOpen with it as
// the client data, one small paint, the release. The context is made once
// per process and serves every input, so whatever one file leaves behind
// (GL errors, a list still compiling, a matrix stack out of step, state
// that changes how the next file looks) is checked before the next: after
// each input a reference scene is painted and must come out exactly as it
// did in the fresh context.
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "memory_input.h"
#include "qmv/headless_gl.h"
#include "qmv/reader.h"
#include "qmv/renderer.h"
#include "qmv/writer/scene_writer.h"
#include "reference_scene.h"

namespace qmv::fuzz {
namespace {

constexpr int kSide = 64;

// Reads, compiles, paints and releases one file; false when the reader
// reported an error.
bool renderOnce(const MemoryInput& input) {
    RenderScene* scene = renderSceneCreate();
    ReaderContext* ctx = input.open(scene, 1, nullptr);
    const bool ok = readerErrorText(ctx) == nullptr;
    // The viewer paints only what was read whole; painting the rest too
    // replays lists that a failed parse left behind.
    paintScene(ctx, scene, View{initialWorldWindow(ctx), kSide, kSide});
    glFinish();
    renderSceneFree(scene);
    readerRelease(&ctx);
    return ok;
}

void drainErrors() {
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// The GL state no file may leave behind.
void checkContext() {
    GLint list = -1;
    glGetIntegerv(GL_LIST_INDEX, &list);
    GLint projection = -1;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projection);
    GLint modelview = -1;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelview);
    if (list != 0 || projection != 1 || modelview != 1) {
        std::fprintf(stderr, "GL state left behind: list %d, projection depth %d, model-view depth %d\n",
                     list, projection, modelview);
        std::abort();
    }
}

// The state a scene's lists change and never put back, for the report when
// the reference scene comes out differently.
std::string carriedState() {
    GLint v[10] = {};
    glGetIntegerv(GL_SHADE_MODEL, &v[0]);
    v[1] = glIsEnabled(GL_TEXTURE_2D);
    v[2] = glIsEnabled(GL_LINE_STIPPLE);
    glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &v[3]);
    glGetIntegerv(GL_BLEND_SRC, &v[4]);
    glGetIntegerv(GL_BLEND_DST, &v[5]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &v[6]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &v[7]);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &v[8]);
    v[9] = glIsEnabled(GL_MAP1_VERTEX_3);
    char text[256];
    std::snprintf(text, sizeof text,
                  "shade 0x%x texture %d stipple %d/0x%x blend 0x%x 0x%x min filter 0x%x wrap 0x%x "
                  "env 0x%x map1 %d",
                  v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    return text;
}

struct Harness {
    HeadlessGl gl{kSide, kSide};
    std::vector<uint8_t> reference = referenceSceneBytes();
    RgbaImage expected;
    std::string expectedState;

    Harness() {
        if (!gl.ok()) {
            std::fprintf(stderr, "no GL context: %s\n", gl.error().c_str());
            std::abort();
        }
        initGlState();
        registerRendererCallbacks();
        if (!renderOnce(MemoryInput(reference))) {
            std::fprintf(stderr, "the reference scene cannot be read\n");
            std::abort();
        }
        drainErrors();
        expected = gl.readPixels();
        expectedState = carriedState();
    }
};

}  // namespace
}  // namespace qmv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qmv::fuzz;
    // Never destroyed: tearing the context down at exit would unload Mesa's
    // driver before the leak check could name what it keeps.
    static Harness& harness = *new Harness;
    renderOnce(MemoryInput(data, size));
    drainErrors();
    checkContext();
    const std::string left = carriedState();

    renderOnce(MemoryInput(harness.reference));
    const qmv::RgbaImage after = harness.gl.readPixels();
    if (after.pixels != harness.expected.pixels) {
        std::fprintf(stderr,
                     "the reference scene paints differently after this input\n"
                     "state after the reference: %s\nstate after this input:    %s\n",
                     harness.expectedState.c_str(), left.c_str());
        std::abort();
    }
    drainErrors();
    return 0;
}
