// Parsing bytes held in memory: the same events, errors and limits as the
// same bytes in a file, raw or compressed as the caller says.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "event_log.h"
#include "scene_support.h"
#include "temp_file.h"

namespace qmv::test {
namespace {

struct Outcome {
    std::string error;
    std::vector<std::string> events;
    uint64_t fileSize = 0;
    std::string name;
};

Outcome fromMemory(const std::vector<uint8_t>& bytes, int compressed, const char* name = "scene") {
    registerEventLog();
    EventLog log;
    ReaderOptions options;
    options.clientData = &log;
    ReaderContext* ctx = readerOpenMemory(bytes.data(), bytes.size(), compressed, name, options);
    Outcome out;
    if (const char* error = readerErrorText(ctx)) out.error = error;
    out.events = log.events;
    out.fileSize = readerFileSize(ctx);
    out.name = readerHasScene(ctx) ? "named" : "";
    readerRelease(&ctx);
    return out;
}

Outcome fromFile(const std::vector<uint8_t>& bytes, const char* suffix) {
    TempFile file(bytes, suffix);
    EventLog log;
    Outcome out;
    out.error = parseWithLog(file.path(), log);
    out.events = log.events;
    return out;
}

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(MemoryInput, GivesWhatTheSameBytesInAFileGive) {
    SceneWriter w(plainHeader());
    w.layer("one");
    for (int i = 0; i < 30000; ++i) w.line({i % 50 * 1.0, 2}, {1, 3});
    TempFile deflated({}, ".qmvz");
    ASSERT_TRUE(w.save(deflated.path()));
    const std::vector<uint8_t> raw = w.bytes();
    const std::vector<uint8_t> compressed = fileBytes(deflated.path());

    for (const auto& [bytes, flag, suffix] :
         {std::tuple{raw, 0, ".qmv"}, std::tuple{compressed, 1, ".qmvz"}}) {
        const Outcome memory = fromMemory(bytes, flag);
        EXPECT_EQ(memory.error, "") << suffix;
        EXPECT_EQ(memory.events, fromFile(bytes, suffix).events) << suffix;
        EXPECT_EQ(memory.events.size(), 30002u);
        EXPECT_EQ(memory.fileSize, bytes.size());
        // Cut short, and empty: the same errors as a file.
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
        EXPECT_EQ(fromMemory(cut, flag).error, fromFile(cut, suffix).error) << suffix;
        EXPECT_EQ(fromMemory({}, flag).error, fromFile({}, suffix).error) << suffix;
    }
    // The caller's choice holds: raw bytes read as compressed fail.
    EXPECT_NE(fromMemory(raw, 1).error, "");
    EXPECT_EQ(fromMemory(raw, 0, "").name, "named");  // "<memory>" stands in
    EXPECT_EQ(fromMemory(raw, 2).error, "Parser: Error reading file");
}

}  // namespace
}  // namespace qmv::test
