#include "qmv/viewer/load_job.h"

#include <utility>

namespace qmv::viewer {

LoadJob::LoadJob(std::string path, RenderScenePtr scene, Wake wake)
    : path_(std::move(path)),
      wake_(std::move(wake)),
      scene_(std::move(scene)),
      lastWake_(std::chrono::steady_clock::now()),
      thread_([this] { run(); }) {}

LoadJob::~LoadJob() {
    cancel();
    wait();
}

void LoadJob::wait() {
    if (thread_.joinable()) thread_.join();
}

ReaderContextPtr LoadJob::takeContext() { return finished() ? std::move(context_) : nullptr; }

RenderScenePtr LoadJob::takeScene() { return finished() ? std::move(scene_) : nullptr; }

bool LoadJob::onProgress(void* data, uint64_t bytesRead, uint64_t fileBytes) {
    auto* job = static_cast<LoadJob*>(data);
    job->bytesRead_.store(bytesRead, std::memory_order_relaxed);
    job->fileBytes_.store(fileBytes, std::memory_order_relaxed);
    const auto now = std::chrono::steady_clock::now();
    if (job->wake_ && std::chrono::duration<double>(now - job->lastWake_).count() >= kProgressWakeSeconds) {
        job->lastWake_ = now;
        job->wake_();
    }
    return !job->cancelled();
}

void LoadJob::run() {
    ReaderOptions options;
    options.clientData = scene_.get();
    options.callbacksEnabled = 1;
    options.progress = &LoadJob::onProgress;
    options.progressData = this;
    // A job cancelled before its turn at the reader does not read at all.
    if (!cancelled()) {
        context_.reset(readerOpenWith(path_.c_str(), options));
        if (!cancelled() && readerErrorText(context_.get()) == nullptr) renderScenePrepare(scene_.get());
    }
    finished_.store(true, std::memory_order_release);
    if (wake_) wake_();
}

}  // namespace qmv::viewer
