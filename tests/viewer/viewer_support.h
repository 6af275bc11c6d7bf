// Test support for the viewer's logic: a window that records what the logic
// asks of it and makes a headless GL context current and releases it for
// real, scene files written with the writer, and a paint surface that draws
// into the headless context.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "qmv/rgba_image.h"
#include "qmv/viewer/document.h"
#include "qmv/writer/scene_writer.h"

namespace qmv::viewer::test {

bool anyGlContextCurrent();

class RecordingWindow final : public ViewerHost {
public:
    RecordingWindow();  // with the process's headless context current

    std::vector<std::string> titles;
    int invalidations = 0;
    int erasingInvalidations = 0;
    CursorShape cursor = CursorShape::Arrow;
    bool captured = false;
    // The bands on the screen: inverting one that is there removes it.
    std::vector<RubberBand> bandsShown;
    int inversions = 0;
    std::vector<std::string> errorBoxes;
    // Runs while an error box is up (the window is still painted then).
    std::function<void()> whileErrorBoxShows;
    int beeps = 0;
    int closeRequests = 0;
    std::optional<std::string> fileToChoose;  // nothing: the dialog is cancelled
    int openDialogs = 0;
    int dialogsShown = 0;
    std::vector<std::pair<int, int>> popups;
    std::map<int, bool> enabled;
    std::map<int, bool> checked;
    std::optional<std::string> exportPathToChoose;  // nothing: cancelled
    std::string exportSuggestion;
    std::map<StatusField, std::string> statusTexts;
    bool cancelShown = false;
    // Wakes from load jobs' threads.
    std::atomic<int> wakes{0};

    std::string title() const { return titles.empty() ? std::string() : titles.back(); }

    void setTitle(const std::string& title) override { titles.push_back(title); }
    void invalidate(bool erase) override {
        ++invalidations;
        erasingInvalidations += erase ? 1 : 0;
    }
    void activate() override {}
    void makeGlCurrent() override;
    void releaseGl() override;
    void setCursor(CursorShape shape) override { cursor = shape; }
    void captureMouse() override { captured = true; }
    void releaseMouse() override { captured = false; }
    void invertRubberBand(const RubberBand& band) override;
    void showErrorBox(const std::string& text) override {
        errorBoxes.push_back(text);
        if (whileErrorBoxShows) whileErrorBoxShows();
    }
    void beep() override { ++beeps; }
    void closeWindow() override { ++closeRequests; }
    std::optional<std::string> chooseFileToOpen() override {
        ++openDialogs;
        return fileToChoose;
    }
    void showLayerDialog() override { ++dialogsShown; }
    void showFileStatusDialog() override { ++dialogsShown; }
    void showAboutDialog() override { ++dialogsShown; }
    void showNavigationPopup(int x, int y) override { popups.emplace_back(x, y); }
    void enableMenuItem(int id, bool on) override { enabled[id] = on; }
    void checkMenuItem(int id, bool on) override { checked[id] = on; }
    std::optional<std::string> chooseExportPath(const std::string& suggested) override {
        exportSuggestion = suggested;
        return exportPathToChoose;
    }
    void setStatusText(StatusField field, const std::string& text) override { statusTexts[field] = text; }
    void showCancelButton(bool shown) override { cancelShown = shown; }
    void wakeForLoad() override { wakes.fetch_add(1); }

private:
    void* display_;
    void* surface_;
    void* context_;
};

// A ViewerState of its own with a recording window, a client area of
// 100 x 100 pixels and the world window 0..100 both ways.
class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ViewerState state;
    RecordingWindow window;
};

// Opens `path` as the document and waits for its load to end.
void openAndWait(ViewerState& state, const std::string& path);

// A scene file in the temporary folder, removed again.
class SceneFile {
public:
    explicit SceneFile(const std::vector<uint8_t>& bytes);
    ~SceneFile() { std::remove(path_.c_str()); }
    SceneFile(const SceneFile&) = delete;
    SceneFile& operator=(const SceneFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Bounds (0, 0) to (100, 50), a white background and two layers of a filled
// box each: "left" red over x 0..50, "right" blue over x 50..100. With
// `broken`, an opcode no reader knows follows the second box.
std::vector<uint8_t> twoLayerScene(bool broken = false);

// Draws into the headless context and counts what each paint did.
class HeadlessSurface final : public PaintSurface {
public:
    int clears = 0;
    int draws = 0;
    int keptShown = 0;
    int movedShown = 0;
    int presents = 0;
    View lastView;
    // How many slices each frame takes; the last draws it.
    int slicesPerFrame = 1;

    void clearToBlack() override;
    void beginScene(const ReaderContext* context, RenderScene* scene, const View& view) override;
    bool continueScene(double seconds) override;
    void showKeptScene() override { ++keptShown; }
    void showKeptSceneMoved(const ReaderContext*, const View&, const View&) override { ++movedShown; }
    void present() override { ++presents; }

    // Client pixel (x, y), y from the top, of a 100 x 100 client area.
    Rgba pixel(int x, int y) const;

private:
    const ReaderContext* context_ = nullptr;
    RenderScene* scene_ = nullptr;
    int slicesLeft_ = 0;
};

}  // namespace qmv::viewer::test
