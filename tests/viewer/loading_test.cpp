// Reading documents off the GUI thread: what the window shows meanwhile,
// cancelling, and reloading a file that changed (the view and the layers'
// visibility kept, a failure reported in the status bar).
#include <gtest/gtest.h>

#include <cstdio>

#include "qmv/viewer/commands.h"
#include "qmv/viewer/navigation.h"
#include "viewer_support.h"

namespace qmv::viewer::test {
namespace {

// Two layers named `first` and `second` over the same bounds as
// twoLayerScene.
std::vector<uint8_t> namedLayers(const char* first, const char* second) {
    SceneHeader header;
    header.upperRight = {100, 50};
    SceneWriter w(header);
    w.layer(first);
    w.setFillColor({0, 1, 0});
    w.fillBox({0, 0}, {20, 20});
    w.layer(second);
    w.fillBox({30, 0}, {20, 20});
    w.finish();
    EXPECT_TRUE(w.ok()) << w.error();
    return w.bytes();
}

void rewrite(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

using Loading = ViewerTest;

TEST_F(Loading, TheWindowGoesOnWhileAFileIsOpened) {
    SceneFile file(twoLayerScene());
    loadDocument(state, file.path());
    EXPECT_EQ(window.title(), file.path());
    EXPECT_EQ(window.cursor, CursorShape::Wait);
    EXPECT_TRUE(window.cancelShown);
    EXPECT_EQ(window.statusTexts[StatusField::Message].rfind("Reading: ", 0), 0u);
    // Close can stop it; what needs a document waits for it.
    updateMenuState(state, 0);
    updateMenuState(state, 1);
    EXPECT_TRUE(window.enabled.at(kClose));
    EXPECT_FALSE(window.enabled.at(kLayerVisibility));
    window.makeGlCurrent();
    HeadlessSurface surface;
    state.redrawPending = true;
    paintWindow(state, surface);
    EXPECT_EQ(surface.draws, 0);
    EXPECT_EQ(surface.pixel(50, 50), (Rgba{0, 0, 0, 255}));

    waitForLoad(state);
    EXPECT_TRUE(documentOpen(state));
    EXPECT_FALSE(state.loading);
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    EXPECT_FALSE(window.cancelShown);
    EXPECT_EQ(window.statusTexts[StatusField::Message], "");
    EXPECT_DOUBLE_EQ(state.worldWindow.ymax, 50);
    EXPECT_GE(window.wakes.load(), 1);
    paintWindow(state, surface);
    EXPECT_EQ(surface.draws, 1);
    EXPECT_EQ(window.statusTexts[StatusField::Zoom], "zoom 100 %");
}

TEST_F(Loading, CancelAndCloseLeaveNoDocumentAndNoBox) {
    SceneFile file(twoLayerScene());
    for (bool byClose : {false, true}) {
        loadDocument(state, file.path());
        if (byClose) {
            onMenuCommand(state, kClose);
        } else {
            cancelLoad(state);
        }
        EXPECT_FALSE(documentOpen(state));
        EXPECT_FALSE(state.loading);
        EXPECT_EQ(window.title(), kNoDocumentTitle);
        EXPECT_EQ(window.cursor, CursorShape::Arrow);
        EXPECT_FALSE(window.cancelShown);
        waitForLoad(state);  // whatever the job read goes
        EXPECT_FALSE(documentOpen(state));
        EXPECT_TRUE(state.cancelledLoads.empty());
        EXPECT_TRUE(window.errorBoxes.empty());
        EXPECT_EQ(state.glCurrentDepth, 0);
    }
    // Opening another file stops the one being read.
    SceneFile other(twoLayerScene());
    loadDocument(state, file.path());
    loadDocument(state, other.path());
    waitForLoad(state);
    EXPECT_EQ(window.title(), other.path());
    EXPECT_TRUE(documentOpen(state));
}

TEST_F(Loading, AChangedFileIsReloadedOnceItHoldsStill) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    zoomIn(state);
    const WorldWindow zoomed = state.worldWindow;
    setLayerVisible(state.document.scene.get(), 0, 0);
    setLayerVisible(state.document.scene.get(), 1, 0);
    onWatchTick(state);
    EXPECT_FALSE(state.load) << "nothing changed";

    // Replaced by a rename: the first layer keeps its name, the second not.
    SceneFile next(namedLayers("left", "middle"));
    ASSERT_EQ(std::rename(next.path().c_str(), file.path().c_str()), 0);
    onWatchTick(state);
    EXPECT_FALSE(state.load) << "reloaded before the file held still";
    onWatchTick(state);
    ASSERT_TRUE(state.load);
    // The old document is painted while the new one is read.
    window.makeGlCurrent();
    HeadlessSurface surface;
    do {
        state.redrawPending = true;
        paintWindow(state, surface);
    } while (!state.load->finished());
    EXPECT_GE(surface.draws, 1);
    const unsigned serial = state.documentSerial;
    waitForLoad(state);
    EXPECT_EQ(state.documentSerial, serial + 1);
    EXPECT_EQ(std::string(layerName(state.document.scene.get(), 1)), "middle");
    EXPECT_EQ(layerVisible(state.document.scene.get(), 0), 0);
    EXPECT_EQ(layerVisible(state.document.scene.get(), 1), 1);
    EXPECT_DOUBLE_EQ(state.worldWindow.xmin, zoomed.xmin);
    EXPECT_DOUBLE_EQ(state.worldWindow.ymax, zoomed.ymax);
    EXPECT_EQ(window.title(), file.path());
    EXPECT_TRUE(state.redrawPending);

    // Rewritten in place with a broken file: the document stays, and the
    // reader's text shows in the status bar, once.
    rewrite(file.path(), twoLayerScene(true));
    onWatchTick(state);
    onWatchTick(state);
    waitForLoad(state);
    EXPECT_TRUE(window.errorBoxes.empty());
    EXPECT_EQ(window.statusTexts[StatusField::Message].rfind("Parse.c [layers]: File was not fully read.", 0), 0u)
        << window.statusTexts[StatusField::Message];
    EXPECT_TRUE(documentOpen(state));
    EXPECT_EQ(std::string(layerName(state.document.scene.get(), 1)), "middle");
    onWatchTick(state);
    onWatchTick(state);
    EXPECT_FALSE(state.load);

    // View > Reload reads it again by hand.
    rewrite(file.path(), twoLayerScene());
    onMenuCommand(state, kReload);
    ASSERT_TRUE(state.load);
    waitForLoad(state);
    EXPECT_EQ(std::string(layerName(state.document.scene.get(), 1)), "right");
    EXPECT_EQ(window.statusTexts[StatusField::Message], "");
}

}  // namespace
}  // namespace qmv::viewer::test
