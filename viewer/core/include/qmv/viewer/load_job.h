// A scene file read off the GUI thread. The GUI thread makes the empty scene
// (the renderer asks the GL context for its limits there) and starts the
// job; the job's own thread reads the file into the scene and prepares it;
// the GUI thread then takes the result and uploads it at its first paint.
//
// What the two threads share, and nothing else:
//   - `cancelled_`: set by the GUI thread, read by the reader's progress
//     hook, which then stops the parse;
//   - `bytesRead_`, `fileBytes_`: the progress, written by the job's thread
//     and read by the GUI thread for the status bar;
//   - `finished_`: stored (release) by the job's thread after its last use
//     of `result_`, loaded (acquire) by the GUI thread before it touches it.
// The scene and the reader's context belong to the job's thread from the
// start until finished() answers true, and to the GUI thread afterwards.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "qmv/renderer.h"
#include "qmv/scene_document.h"

namespace qmv::viewer {

class LoadJob {
public:
    // Runs on the job's thread, and must be safe there: called at most a few
    // times a second while the file is read, and once when the job ends.
    using Wake = std::function<void()>;

    // Starts reading `path` into `scene` at once.
    LoadJob(std::string path, RenderScenePtr scene, Wake wake);
    // Cancels the job and waits for its thread. The result, if not taken,
    // goes with it: destroy a job with the GL context of its scene current.
    ~LoadJob();
    LoadJob(const LoadJob&) = delete;
    LoadJob& operator=(const LoadJob&) = delete;

    const std::string& path() const { return path_; }

    // Asks the parse to stop at its next block; returns at once.
    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    // True once the job's thread is done with the result.
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // The file's bytes read so far, and its size (0 until it is open).
    uint64_t bytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }
    uint64_t fileBytes() const { return fileBytes_.load(std::memory_order_relaxed); }

    // Waits for the job's thread to end.
    void wait();
    // After finished(): the context read (with its error, if any) and the
    // scene. Empty once taken.
    ReaderContextPtr takeContext();
    RenderScenePtr takeScene();

private:
    static bool onProgress(void* job, uint64_t bytesRead, uint64_t fileBytes);
    void run();

    std::string path_;
    Wake wake_;
    RenderScenePtr scene_;
    ReaderContextPtr context_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<uint64_t> bytesRead_{0};
    std::atomic<uint64_t> fileBytes_{0};
    // The job's thread only: when it last woke the GUI thread.
    std::chrono::steady_clock::time_point lastWake_;
    // Last, so that it starts once every member above is made.
    std::thread thread_;
};

// How often, at most, a job wakes the GUI thread to show its progress.
inline constexpr double kProgressWakeSeconds = 0.2;

}  // namespace qmv::viewer
