// The menus' enabling, the mode check mark, the popup, what the commands
// do, the dialogs' logic, the status bar, the export and the command line's
// path.
#include <gtest/gtest.h>

#include <filesystem>

#include "qmv/png_file.h"
#include "qmv/viewer/commands.h"
#include "qmv/viewer/dialogs.h"
#include "qmv/viewer/export_view.h"
#include "qmv/viewer/navigation.h"
#include "qmv/viewer/status.h"
#include "viewer_support.h"

namespace qmv::viewer::test {
namespace {

using Commands = ViewerTest;

TEST_F(Commands, DocumentItemsAndThePopupFollowTheDocument) {
    for (int position = -1; position < 4; ++position) updateMenuState(state, position);
    // Only the items that need a document are touched.
    EXPECT_EQ(window.enabled, (std::map<int, bool>{{kLayerVisibility, false}, {kClose, false},
                                                   {kAboutFile, false}, {kReload, false},
                                                   {kExportView, false}}));
    onRightButtonDown(state, 10, 20);
    EXPECT_TRUE(window.popups.empty());

    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    updateMenuState(state, 1);  // only the menu that opens changes
    EXPECT_TRUE(window.enabled.at(kLayerVisibility));
    EXPECT_FALSE(window.enabled.at(kClose));
    onRightButtonDown(state, 10, 20);
    EXPECT_EQ(window.popups, (std::vector<std::pair<int, int>>{{10, 20}}));
}

TEST_F(Commands, TheCheckMarkFollowsTheModeAndDrawsNothing) {
    onMenuCommand(state, kMoveMode);
    EXPECT_EQ(state.navigationMode, kMoveMode);
    EXPECT_EQ(window.checked, (std::map<int, bool>{{kZoomMode, false}, {kMoveMode, true}}));
    onMenuCommand(state, kMoveMode);  // the current mode stays checked
    EXPECT_TRUE(window.checked.at(kMoveMode));
    onMenuCommand(state, kZoomMode);
    EXPECT_EQ(window.checked, (std::map<int, bool>{{kZoomMode, true}, {kMoveMode, false}}));
    EXPECT_FALSE(state.redrawPending);
    EXPECT_EQ(window.invalidations, 0);
}

TEST_F(Commands, NavigationCommandsActLikeTheirKeys) {
    const std::pair<int, NavigationKey> pairs[] = {
        {kZoomIn, NavigationKey::ZoomIn}, {kZoomOut, NavigationKey::ZoomOut},
        {kMoveLeft, NavigationKey::Left}, {kMoveRight, NavigationKey::Right},
        {kMoveUp, NavigationKey::Up},     {kMoveDown, NavigationKey::Down}};
    for (const auto& [command, key] : pairs) {
        ViewerState byKey;
        byKey.worldWindow = state.worldWindow = {3, 5, 40, 90};
        const int invalidations = window.invalidations;
        onMenuCommand(state, command);
        onKeyDown(byKey, key);
        EXPECT_DOUBLE_EQ(state.worldWindow.xmin, byKey.worldWindow.xmin) << command;
        EXPECT_DOUBLE_EQ(state.worldWindow.ymax, byKey.worldWindow.ymax) << command;
        EXPECT_EQ(window.invalidations, invalidations + 1) << command;
    }
    // Dialogs and Exit go to the window; unknown ids do nothing.
    for (int id : std::initializer_list<int>{kLayerVisibility, kAboutAuthor, kAboutFile, kExit, 0, 2, 13, 40002, 40011, 1014}) {
        onMenuCommand(state, id);
    }
    EXPECT_EQ(window.dialogsShown, 3);
    EXPECT_EQ(window.closeRequests, 1);
    EXPECT_EQ(window.invalidations, 6);
}

TEST(CommandLine, TheWholeTextIsOnePath) {
    const char* arguments[] = {"my", "scene file.qmv"};
    EXPECT_EQ(joinArguments(arguments), "my scene file.qmv");
    const char* withEmpty[] = {"", "a"};
    EXPECT_EQ(joinArguments(withEmpty), " a");
    EXPECT_EQ(pathFromCommandLine("a b.qmv"), "a b.qmv");
    EXPECT_EQ(pathFromCommandLine("\"/maps/a b.qmv\""), "/maps/a b.qmv");
    // A leading quote takes the last character with it, whatever it is.
    EXPECT_EQ(pathFromCommandLine("\"a.qmvz"), "a.qmv");
    EXPECT_EQ(pathFromCommandLine("\""), "");
    EXPECT_EQ(pathFromCommandLine("a\"b\""), "a\"b\"");
}

using LayerDialog = ViewerTest;

TEST_F(LayerDialog, ADoubleClickTogglesTheLayerForTheNextPaint) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    window.makeGlCurrent();
    HeadlessSurface surface;
    paintWindow(state, surface);
    LayerListModel model(state);
    const std::vector<LayerRow> rows = model.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "left");
    EXPECT_EQ(rows[1].visibility, "Visible");

    const int invalidations = window.invalidations;
    EXPECT_EQ(model.onDoubleClick(1), "Hidden");
    EXPECT_TRUE(state.redrawPending);
    EXPECT_EQ(window.invalidations, invalidations);  // shown after Apply or OK
    model.apply();
    EXPECT_EQ(window.invalidations, invalidations + 1);
    paintWindow(state, surface);
    EXPECT_EQ(surface.pixel(25, 50), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(surface.pixel(75, 50), (Rgba{255, 255, 255, 255}));

    EXPECT_EQ(model.onDoubleClick(1), "Visible");
    model.ended();
    paintWindow(state, surface);
    EXPECT_EQ(surface.pixel(75, 50), (Rgba{0, 0, 255, 255}));

    // No focused row, or a document opened under the dialog: nothing.
    state.redrawPending = false;
    EXPECT_EQ(model.onDoubleClick(-1), "");
    EXPECT_FALSE(state.redrawPending);
    openAndWait(state, file.path());
    EXPECT_EQ(model.onDoubleClick(0), "");
    EXPECT_TRUE(model.rows().empty());
    EXPECT_EQ(layerVisible(state.document.scene.get(), 0), 1);
}

TEST_F(LayerDialog, ShowAllAndHideAllSetEveryRow) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    LayerListModel model(state);
    model.onDoubleClick(1);
    state.redrawPending = false;
    for (const bool visible : {false, true}) {
        const std::vector<LayerRow> rows = model.setAll(visible);
        ASSERT_EQ(rows.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(rows[i].visibility, visible ? kVisible : kHidden);
            EXPECT_EQ(layerVisible(state.document.scene.get(), i), visible ? 1 : 0);
        }
        EXPECT_TRUE(state.redrawPending);
    }
}

using StatusBar = ViewerTest;

TEST_F(StatusBar, ThePointerInTheDrawingsUnitsAndTheZoom) {
    onMouseMove(state, 30, 40);
    EXPECT_EQ(window.statusTexts[StatusField::Pointer], "");  // no document
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    // The initial view shows 100 units across the 100 pixels.
    state.worldWindow = {0, 0, 1000, 1000};
    updateViewStatus(state);
    EXPECT_EQ(window.statusTexts[StatusField::Zoom], "zoom 10 %");
    EXPECT_EQ(window.statusTexts[StatusField::Pointer], "305, 595");  // a pixel's centre
    // A pixel of 0.02 units needs two decimals.
    state.worldWindow = {0, 0, 2, 2};
    updateViewStatus(state);
    EXPECT_EQ(window.statusTexts[StatusField::Pointer], "0.61, 1.19");
    EXPECT_EQ(window.statusTexts[StatusField::Zoom], "zoom 5000 %");
    onMouseMove(state, -1, 40);
    EXPECT_EQ(window.statusTexts[StatusField::Pointer], "");
    onMouseMove(state, 30, 40);
    onPointerMoved(state, std::nullopt);
    EXPECT_EQ(window.statusTexts[StatusField::Pointer], "");
    closeDocument(state);
    EXPECT_EQ(window.statusTexts[StatusField::Zoom], "");
}

using Export = ViewerTest;

TEST_F(Export, WritesTheViewAndAFailedWriteLeavesTheOldFile) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    const std::string path = file.path() + ".png";
    window.exportPathToChoose = path;
    onMenuCommand(state, kExportView);
    EXPECT_EQ(window.exportSuggestion, exportName(file.path()));
    EXPECT_EQ(window.statusTexts[StatusField::Message], "Exported " + path);
    RgbaImage first;
    std::string error;
    ASSERT_TRUE(readPng(path, &first, &error)) << error;
    ASSERT_EQ(first.width, 100);
    ASSERT_EQ(first.height, 100);
    EXPECT_EQ(first.at(25, 50), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(first.at(75, 50), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(first.at(50, 10), (Rgba{255, 255, 255, 255}));

    // The temporary file cannot be written: the export fails, the old file
    // stays.
    std::filesystem::create_directory(partialPngPath(path));
    zoomIn(state);
    onMenuCommand(state, kExportView);
    ASSERT_EQ(window.errorBoxes.size(), 1u);
    EXPECT_EQ(window.errorBoxes[0].rfind("Cannot write " + path + ": ", 0), 0u);
    RgbaImage after;
    ASSERT_TRUE(readPng(path, &after, &error)) << error;
    EXPECT_EQ(after.pixels, first.pixels);
    std::filesystem::remove(partialPngPath(path));
    std::filesystem::remove(path);

    EXPECT_EQ(exportName("/maps/world.qmvz"), "world.png");
    EXPECT_EQ(exportName("plan"), "plan.png");
}

TEST(FileStatus, ShowsWholeSeconds) {
    ViewerState state;
    EXPECT_EQ(LayerListModel(state).rowCount(), 0);
    EXPECT_EQ(fileStatusTexts(state).compileTime, "0 secs");
    state.renderStart = 1000;
    state.renderEnd = 1003;
    EXPECT_EQ(fileStatusTexts(state).renderTime, "3 secs");
}

}  // namespace
}  // namespace qmv::viewer::test
