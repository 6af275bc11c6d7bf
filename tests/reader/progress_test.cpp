// A parse's progress hook, stopping a parse from it, and parses from several
// threads, which take turns at the reader's one current parse.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "event_log.h"
#include "scene_support.h"
#include "temp_file.h"

namespace qmv::test {
namespace {

// `lines` lines in one layer, deflated when the name says so; 60 000 take
// several of the reader's 64 KiB blocks.
void writeManyLines(const std::string& path, int lines) {
    SceneWriter w(plainHeader());
    w.layer("lines");
    for (int i = 0; i < lines; ++i) w.line({i % 100 * 1.0, 5}, {1, 1});
    ASSERT_TRUE(w.save(path)) << w.error();
}

struct Progress {
    std::vector<uint64_t> bytesRead;
    uint64_t fileBytes = 0;
    size_t stopAfter = SIZE_MAX;

    static bool report(void* data, uint64_t bytesRead, uint64_t fileBytes) {
        auto* self = static_cast<Progress*>(data);
        self->bytesRead.push_back(bytesRead);
        self->fileBytes = fileBytes;
        return self->bytesRead.size() < self->stopAfter;
    }
};

// The log's callbacks are registered beforehand, once: registering is not
// for threads that parse.
std::string parseWithProgress(const std::string& path, EventLog& log, Progress* progress) {
    ReaderOptions options;
    options.clientData = &log;
    if (progress != nullptr) {
        options.progress = &Progress::report;
        options.progressData = progress;
    }
    ReaderContext* ctx = readerOpenWith(path.c_str(), options);
    const char* error = readerErrorText(ctx);
    std::string text = error != nullptr ? error : "";
    readerRelease(&ctx);
    return text;
}

TEST(Progress, ReportsEachBlockUpToTheWholeFileRawAndCompressed) {
    for (const std::string suffix : {".qmv", ".qmvz"}) {
        TempFile file({}, suffix);
        writeManyLines(file.path(), 60000);
        EventLog log;
        Progress progress;
        registerEventLog();
        EXPECT_EQ(parseWithProgress(file.path(), log, &progress), "") << suffix;
        EXPECT_EQ(log.events.size(), 60002u) << suffix;  // layer, lines, end
        ASSERT_FALSE(progress.bytesRead.empty());
        EXPECT_TRUE(std::is_sorted(progress.bytesRead.begin(), progress.bytesRead.end()));
        EXPECT_EQ(progress.bytesRead.back(), progress.fileBytes) << suffix;
        EXPECT_EQ(progress.fileBytes, std::filesystem::file_size(file.path())) << suffix;
        if (suffix == ".qmv") {
            EXPECT_GE(progress.bytesRead.size(), 3u);
        }
    }
}

TEST(Progress, AnsweringFalseStopsTheParseThere) {
    TempFile file({});
    writeManyLines(file.path(), 60000);
    EventLog log;
    Progress progress;
    // The first report comes with the first block, the second with the next.
    progress.stopAfter = 2;
    registerEventLog();
    const std::string error = parseWithProgress(file.path(), log, &progress);
    EXPECT_EQ(error.rfind(kParseStoppedMessage, 0), 0u) << error;
    ASSERT_EQ(progress.bytesRead.size(), 2u);
    EXPECT_LT(progress.bytesRead[1], progress.fileBytes);
    // Only the first block's lines.
    EXPECT_GT(log.events.size(), 1000u);
    EXPECT_LT(log.events.size(), 30000u);
}

TEST(Progress, ParsesFromSeveralThreadsTakeTurns) {
    TempFile file({});
    writeManyLines(file.path(), 20000);
    registerEventLog();
    constexpr int kThreads = 4;
    EventLog logs[kThreads];
    std::string errors[kThreads];
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] { errors[i] = parseWithProgress(file.path(), logs[i], nullptr); });
    }
    for (std::thread& thread : threads) thread.join();
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(errors[i], "");
        EXPECT_EQ(logs[i].events, logs[0].events);
    }
    EXPECT_EQ(logs[0].events.size(), 20002u);
}

TEST(Progress, AParseStartedFromACallbackFailsAtOnce) {
    TempFile file({});
    writeManyLines(file.path(), 3);
    EventLog log;
    std::string nested;
    log.onEvent = [&](ReaderContext*, const std::string&) {
        if (!nested.empty()) return;
        EventLog inner;
        nested = parseWithProgress(file.path(), inner, nullptr);
    };
    registerEventLog();
    EXPECT_EQ(parseWithProgress(file.path(), log, nullptr), "");
    EXPECT_EQ(nested, kParseBusyMessage);
    EXPECT_EQ(log.events.size(), 5u);
}

}  // namespace
}  // namespace qmv::test
