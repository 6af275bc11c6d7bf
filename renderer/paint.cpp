// Painting: the fixed GL state, the background, the projection of a view and
// the visible layers drawn from the scene's buffers. The viewer and qmv-render both paint
// through paintScene, so that they show the same image.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>

#include "qmv/renderer.h"
#include "render_scene.h"
#include "qmv/view.h"

namespace qmv {

void initGlState() {
    glLoadIdentity();
    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_NORMALIZE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_LOGIC_OP);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glDisable(GL_POLYGON_SMOOTH);
    glPolygonMode(GL_FRONT, GL_FILL);
}

void clearToBackground(const ReaderContext* ctx) {
    glClearColor(static_cast<GLclampf>(readerColor(ctx, COLOR_BACKGROUND, 0)),
                 static_cast<GLclampf>(readerColor(ctx, COLOR_BACKGROUND, 1)),
                 static_cast<GLclampf>(readerColor(ctx, COLOR_BACKGROUND, 2)),
                 static_cast<GLclampf>(readerColor(ctx, COLOR_BACKGROUND, 3)));
    // Stencil fills leave the stencil clear behind them; a paint starts
    // from a clear one.
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

WorldWindow initialWorldWindow(const ReaderContext* ctx) {
    WorldWindow world;
    readerLowerLeft(ctx, &world.xmin, &world.ymin);
    readerUpperRight(ctx, &world.xmax, &world.ymax);
    return world;
}

void paintSceneBegin(const ReaderContext* ctx, RenderScene* scene, const View& view,
                     bool topRowFirst) {
    glViewport(0, 0, view.width, view.height);
    // The layers are placed by the vertex program; the fixed projection is
    // set too, for what the caller draws over them.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const ShownWindow shown = fitToClient(view.world, view.width, view.height);
    gluOrtho2D(shown.left(), shown.right(), shown.bottom(), shown.top());
    clearToBackground(ctx);
    // Lists change the shade model and leave it (a gradient fill switches
    // to smooth shading); every paint starts from the fixed flat model, so
    // that a scene looks the same whatever was painted before it.
    glShadeModel(GL_FLAT);
    if (scene == nullptr) return;
    scene->gpu.upload(*scene);
    scene->gpu.beginFrame(*scene, view, topRowFirst);
}

bool paintSceneContinue(RenderScene* scene, size_t batches) {
    return scene == nullptr || scene->gpu.continueFrame(batches);
}

void paintScene(const ReaderContext* ctx, RenderScene* scene, const View& view) {
    paintSceneBegin(ctx, scene, view);
    paintSceneContinue(scene, SIZE_MAX);
}

}  // namespace qmv
