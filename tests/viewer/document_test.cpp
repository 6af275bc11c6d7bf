// Opening and closing documents: the GL context around the reader and the
// renderer, the error box, the title, which GL buffers survive a close,
// drops, and what a paint does with and without a document.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "qmv/viewer/commands.h"
#include "qmv/viewer/navigation.h"
#include "viewer_support.h"

namespace qmv::viewer::test {
namespace {

// How many of the first 200 buffer names name a buffer object now (the
// window makes its context current first).
int buffersAlive(RecordingWindow& window) {
    window.makeGlCurrent();
    int alive = 0;
    for (unsigned name = 1; name <= 200; ++name) alive += glIsBuffer(name) == GL_TRUE ? 1 : 0;
    return alive;
}

// One paint of the open document, which makes its buffers.
void paintOnce(ViewerState& state) {
    HeadlessSurface surface;
    GlCurrent gl(state);
    state.redrawPending = true;
    paintWindow(state, surface);
}

using Documents = ViewerTest;

TEST_F(Documents, LoadingCompilesWithTheContextCurrentAndFitsTheView) {
    SceneFile file(twoLayerScene());
    window.releaseGl();  // between events no context is current
    openAndWait(state, file.path());

    ASSERT_TRUE(documentOpen(state));
    EXPECT_EQ(window.title(), file.path());
    EXPECT_FALSE(anyGlContextCurrent());
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    EXPECT_DOUBLE_EQ(state.worldWindow.xmax, 100);
    EXPECT_DOUBLE_EQ(state.worldWindow.ymax, 50);
    EXPECT_TRUE(state.redrawPending);
    // Both layers' lines share one buffer, made at the first paint.
    EXPECT_EQ(buffersAlive(window), 0);
    paintOnce(state);
    EXPECT_EQ(buffersAlive(window), 1);
}

TEST_F(Documents, AFailedOpenShowsTheReadersTextAndLeavesNothing) {
    state.worldWindow = {1, 2, 3, 4};
    for (const std::string& path : {std::string("/nonexistent/scene.qmv"), pathFromCommandLine("\"")}) {
        window.errorBoxes.clear();
        openAndWait(state, path);
        ASSERT_EQ(window.errorBoxes.size(), 1u);
        EXPECT_EQ(window.errorBoxes[0], "Parser: Error reading file");
        // Also a context that names no file (the empty path) is released.
        EXPECT_EQ(state.document.context, nullptr);
        EXPECT_EQ(state.document.scene, nullptr);
        EXPECT_EQ(window.title(), kNoDocumentTitle);
        EXPECT_EQ(window.cursor, CursorShape::Arrow);
        EXPECT_EQ(state.glCurrentDepth, 0);
    }
    EXPECT_EQ(window.titles.front(), "/nonexistent/scene.qmv");
    EXPECT_DOUBLE_EQ(state.worldWindow.xmin, 1);
}

TEST_F(Documents, ABrokenFileIsNotShownWhileItsBoxIsUpAndLeavesNoBuffer) {
    SceneFile file(twoLayerScene(true));
    HeadlessSurface surface;
    state.redrawPending = true;
    // A paint arrives while the box is up: it makes the context current
    // (nested in the load's) and draws nothing of the half-read file.
    window.whileErrorBoxShows = [&] {
        GlCurrent gl(state);
        paintWindow(state, surface);
    };
    openAndWait(state, file.path());
    ASSERT_EQ(window.errorBoxes.size(), 1u);
    EXPECT_EQ(surface.draws, 0);
    EXPECT_EQ(surface.clears, 1);
    EXPECT_FALSE(documentOpen(state));
    EXPECT_EQ(buffersAlive(window), 0);
}

// Every close but a failed open's runs with no context current; the buffers
// must go all the same.
TEST_F(Documents, ClosingDeletesTheBuffersThoughNoContextWasCurrent) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    paintOnce(state);
    window.releaseGl();
    onMenuCommand(state, kClose);
    EXPECT_EQ(window.beeps, 1);
    EXPECT_FALSE(documentOpen(state));
    EXPECT_EQ(window.title(), kNoDocumentTitle);
    EXPECT_EQ(window.erasingInvalidations, 1);
    EXPECT_FALSE(anyGlContextCurrent());
    EXPECT_EQ(buffersAlive(window), 0);

    // What the close guards against: the renderer's release without a
    // current context leaves the buffers behind.
    RenderScene* scene = renderSceneCreate();
    ReaderContext* context = readerOpen(file.path().c_str(), scene, 1, nullptr);
    paintScene(context, scene, View{initialWorldWindow(context), 10, 10});
    window.releaseGl();
    renderSceneFree(scene);
    readerRelease(&context);
    EXPECT_EQ(buffersAlive(window), 1);
    for (GLuint name = 1; name <= 200; ++name) glDeleteBuffers(1, &name);
}

TEST_F(Documents, OpenReplacesTheDocumentAndACancelledDialogKeepsIt) {
    SceneFile first(twoLayerScene());
    openAndWait(state, first.path());
    paintOnce(state);
    zoomIn(state);
    onMenuCommand(state, kOpen);  // cancelled
    EXPECT_EQ(window.openDialogs, 1);
    EXPECT_EQ(window.title(), first.path());
    EXPECT_DOUBLE_EQ(state.worldWindow.xmin, 20);

    SceneFile second(twoLayerScene());
    window.fileToChoose = second.path();
    onMenuCommand(state, kOpen);
    waitForLoad(state);
    EXPECT_EQ(window.title(), second.path());
    EXPECT_DOUBLE_EQ(state.worldWindow.xmin, 0);
    EXPECT_EQ(buffersAlive(window), 0);  // the first document's went with it
    paintOnce(state);
    EXPECT_EQ(buffersAlive(window), 1);  // only the new document's
}

TEST_F(Documents, OnlyTheFirstDroppedFileOpens) {
    SceneFile first(twoLayerScene());
    SceneFile second(twoLayerScene());
    dropFiles(state, std::vector<std::string>{first.path(), second.path(), "/nonexistent.qmv"});
    waitForLoad(state);
    EXPECT_EQ(window.title(), first.path());
    EXPECT_TRUE(window.errorBoxes.empty());
    // A bad file dropped closes the open document first.
    dropFiles(state, std::vector<std::string>{"/nonexistent.qmv"});
    waitForLoad(state);
    EXPECT_FALSE(documentOpen(state));
    EXPECT_EQ(buffersAlive(window), 0);
}

TEST_F(Documents, DestroyingTheWindowClosesTheDocumentFirst) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    window.releaseGl();
    onWindowDestroyed(state);
    EXPECT_EQ(state.window, nullptr);
    EXPECT_EQ(buffersAlive(window), 0);
    const size_t titles = window.titles.size();
    closeDocument(state);  // later requests go nowhere
    EXPECT_EQ(window.titles.size(), titles);
}

using Painting = ViewerTest;

TEST_F(Painting, BlackWithoutADocument) {
    HeadlessSurface surface;
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    state.redrawPending = true;
    paintWindow(state, surface);
    EXPECT_EQ(surface.draws, 0);
    EXPECT_EQ(surface.presents, 1);
    EXPECT_EQ(surface.pixel(50, 50), (Rgba{0, 0, 0, 255}));
}

TEST_F(Painting, TheSceneIsDrawnOnlyWhenARedrawIsPending) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    window.makeGlCurrent();
    HeadlessSurface surface;
    paintWindow(state, surface);
    EXPECT_EQ(surface.draws, 1);
    EXPECT_FALSE(state.redrawPending);
    EXPECT_GE(state.renderEnd, state.renderStart);
    // 0..100 x 0..50 fills the width of the square client, centred.
    EXPECT_EQ(surface.pixel(25, 50), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(surface.pixel(75, 50), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(surface.pixel(50, 10), (Rgba{255, 255, 255, 255}));

    paintWindow(state, surface);  // nothing pending: the kept image
    EXPECT_EQ(surface.draws, 1);
    EXPECT_EQ(surface.keptShown, 2);
    EXPECT_EQ(surface.presents, 2);

    // A resize draws again in the new proportions; the world window stays.
    resizeViewport(state, 200, 100);
    paintWindow(state, surface);
    EXPECT_EQ(surface.draws, 2);
    EXPECT_EQ(surface.lastView.width, 200);
    EXPECT_DOUBLE_EQ(state.worldWindow.ymax, 50);
    EXPECT_DOUBLE_EQ(state.viewSize.x, 100);
    EXPECT_DOUBLE_EQ(state.viewSize.y, 50);

    // A client without pixels waits for a real size.
    resizeViewport(state, 0, 0);
    paintWindow(state, surface);
    EXPECT_EQ(surface.draws, 2);
    EXPECT_TRUE(state.redrawPending);
}

// A frame that takes three slices: the step shows the kept image moved at
// once; a newer step during the frame begins another for the newest view;
// the kept image and File Status change only when a frame is whole.
TEST_F(Painting, ASlowFrameShowsTheKeptImageMovedUntilTheNewestViewIsDrawn) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    window.makeGlCurrent();
    HeadlessSurface surface;
    paintWindow(state, surface);
    ASSERT_EQ(surface.draws, 1);
    const View first = state.keptView;
    const std::time_t firstEnd = state.renderEnd;

    surface.slicesPerFrame = 3;
    moveStep(state, Direction::Right);
    state.redrawPending = true;
    paintWindow(state, surface);
    EXPECT_TRUE(state.drawing);
    EXPECT_EQ(surface.movedShown, 2);  // at once, and again at the paint's end
    zoomIn(state);
    state.redrawPending = true;
    paintWindow(state, surface);
    EXPECT_DOUBLE_EQ(state.keptView.world.xmin, first.world.xmin);
    EXPECT_EQ(state.renderEnd, firstEnd);
    int idles = 0;
    while (continueDrawing(state, surface)) ++idles;
    EXPECT_EQ(idles, 1);  // slices two and three, the last ending the frame
    EXPECT_EQ(surface.draws, 2);
    EXPECT_FALSE(state.drawing);
    EXPECT_DOUBLE_EQ(state.keptView.world.xmin, state.worldWindow.xmin);
    EXPECT_DOUBLE_EQ(surface.lastView.world.xmax, state.worldWindow.xmax);
    EXPECT_FALSE(continueDrawing(state, surface));
}

// A pan by a tenth of the shown width moves the kept image a tenth of the
// client to the left; zooming in twice about the centre doubles it.
TEST(KeptImage, LandsWhereItsPartOfTheSceneLiesInTheNewView) {
    const View kept{{0, 0, 100, 50}, 200, 100};
    View wanted{{10, 0, 110, 50}, 200, 100};
    PixelRect r = keptImagePlacement(kept, wanted);
    EXPECT_DOUBLE_EQ(r.x0, -20);
    EXPECT_DOUBLE_EQ(r.x1, 180);
    EXPECT_DOUBLE_EQ(r.y0, 0);
    wanted = {{25, 12.5, 75, 37.5}, 200, 100};
    r = keptImagePlacement(kept, wanted);
    EXPECT_DOUBLE_EQ(r.x0, -100);
    EXPECT_DOUBLE_EQ(r.x1, 300);
    EXPECT_DOUBLE_EQ(r.y1, 150);
}

}  // namespace
}  // namespace qmv::viewer::test
