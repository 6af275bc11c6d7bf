// Reading documents in the background: starting a LoadJob, showing its
// progress, taking its result on the GUI thread, cancelling it, and the
// file watch that reloads a document whose file changed.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "qmv/viewer/document.h"
#include "qmv/viewer/navigation.h"
#include "qmv/viewer/status.h"

namespace qmv::viewer {

namespace {

// The file's name is in the title; the bar, which may be narrow, says how
// far the read has come.
std::string progressText(const ViewerState& state) {
    const LoadJob& job = *state.load;
    const uint64_t total = job.fileBytes();
    const int percent =
        total > 0 ? static_cast<int>(std::min<uint64_t>(100, job.bytesRead() * 100 / total)) : 0;
    char text[48];
    std::snprintf(text, sizeof text, "%s: %d %%", state.loadIsReload ? "Reloading" : "Reading", percent);
    return text;
}

void startLoad(ViewerState& state, const std::string& path, bool reload) {
    RenderScenePtr scene;
    {
        // The scene takes the context's limits.
        GlCurrent gl(state);
        scene.reset(renderSceneCreate());
    }
    state.loadedSignature = fileSignature(path);
    state.changeSeen.reset();
    ViewerHost* host = state.window;
    state.load = std::make_unique<LoadJob>(path, std::move(scene), [host] {
        if (host != nullptr) host->wakeForLoad();
    });
    state.loadIsReload = reload;
    windowOf(state).showCancelButton(true);
    setStatusMessage(state, progressText(state));
}

// Lets a job go: cancelled, waited for, and its scene freed in the context
// that made it.
void retire(ViewerState& state, std::unique_ptr<LoadJob> job) {
    GlCurrent gl(state);
    job.reset();
}

void dropFinishedCancelledLoads(ViewerState& state) {
    auto& jobs = state.cancelledLoads;
    const auto finished = [](const std::unique_ptr<LoadJob>& job) { return job->finished(); };
    if (std::none_of(jobs.begin(), jobs.end(), finished)) return;
    GlCurrent gl(state);
    std::erase_if(jobs, finished);
}

// A reloaded layer keeps the visibility the user gave it, as long as it
// keeps its place and its name.
void keepLayerVisibility(const RenderScene* from, RenderScene* to) {
    const int layers = std::min(renderSceneLayerCount(from), renderSceneLayerCount(to));
    for (int i = 0; i < layers; ++i) {
        const char* before = layerName(from, i);
        const char* after = layerName(to, i);
        if (before != nullptr && after != nullptr && std::string_view(before) == after) {
            setLayerVisible(to, i, layerVisible(from, i));
        }
    }
}

void finishReload(ViewerState& state, Document loaded) {
    if (const char* error = readerErrorText(loaded.context.get())) {
        setStatusMessage(state, error);
        GlCurrent gl(state);
        loaded = {};
        return;
    }
    keepLayerVisibility(state.document.scene.get(), loaded.scene.get());
    {
        GlCurrent gl(state);
        state.drawing = false;
        state.document = {};
    }
    state.document = std::move(loaded);
    // The old picture stands for the new one until its first frame is drawn.
    const bool keptCurrent = state.keptSerial == state.documentSerial;
    ++state.documentSerial;
    if (keptCurrent) state.keptSerial = state.documentSerial;
    setStatusMessage(state, "");
    state.redrawPending = true;
    windowOf(state).invalidate(false);
}

void finishOpen(ViewerState& state, const std::string& path, Document loaded) {
    ViewerHost& window = windowOf(state);
    state.document = std::move(loaded);
    setStatusMessage(state, "");
    if (const char* error = readerErrorText(state.document.context.get())) {
        // The text belongs to the context, which the close releases.
        showLoadError(state, std::string(error));
        state.loading = false;
        window.setCursor(restingCursor(state));
        return;
    }
    state.loading = false;
    state.documentPath = path;
    window.setCursor(restingCursor(state));
    state.redrawPending = true;
    window.activate();
    initialView(state);
    window.invalidate(false);
}

void finishLoad(ViewerState& state) {
    std::unique_ptr<LoadJob> job = std::move(state.load);
    job->wait();
    Document loaded;
    loaded.context = job->takeContext();
    loaded.scene = job->takeScene();
    const std::string path = job->path();
    retire(state, std::move(job));
    windowOf(state).showCancelButton(false);
    if (!loaded.context) {
        // The reader could not even make its context.
        loaded.context.reset(readerOpen(nullptr, nullptr, 0, nullptr));
    }
    if (state.loadIsReload) {
        finishReload(state, std::move(loaded));
    } else {
        finishOpen(state, path, std::move(loaded));
    }
}

}  // namespace

void loadDocument(ViewerState& state, const std::string& path) {
    // Callers close the document first; should one still be held, or a
    // load be running, neither may be lost.
    if (state.document.context || state.document.scene || state.load) closeDocument(state);
    ViewerHost& window = windowOf(state);
    state.loading = true;
    window.setTitle(path);
    ++state.documentSerial;
    window.setCursor(CursorShape::Wait);
    startLoad(state, path, false);
}

void reloadDocument(ViewerState& state) {
    if (!documentOpen(state) || state.loading) return;
    // A reload by hand starts again, also during an automatic one.
    stopLoadInBackground(state);
    startLoad(state, state.documentPath, true);
}

void onLoadWake(ViewerState& state) {
    dropFinishedCancelledLoads(state);
    if (!state.load) return;
    if (state.load->finished()) {
        finishLoad(state);
    } else {
        setStatusMessage(state, progressText(state));
    }
}

void waitForLoad(ViewerState& state) {
    if (state.load) state.load->wait();
    for (const auto& job : state.cancelledLoads) job->wait();
    onLoadWake(state);
}

void cancelLoad(ViewerState& state) {
    if (!state.load) return;
    if (!state.loadIsReload) {
        closeDocument(state);
        return;
    }
    stopLoadInBackground(state);
    setStatusMessage(state, "");
}

void stopLoadInBackground(ViewerState& state) {
    if (!state.load) return;
    state.load->cancel();
    state.cancelledLoads.push_back(std::move(state.load));
    windowOf(state).showCancelButton(false);
}

void onWatchTick(ViewerState& state) {
    if (!documentOpen(state) || state.load) return;
    const FileSignature now = fileSignature(state.documentPath);
    if (!now.exists || now == state.loadedSignature) {
        state.changeSeen.reset();
        return;
    }
    // A file still being written changes from tick to tick.
    if (state.changeSeen != now) {
        state.changeSeen = now;
        return;
    }
    reloadDocument(state);
}

}  // namespace qmv::viewer
