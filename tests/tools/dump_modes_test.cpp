// qmv-dump's modes, exit statuses and error reporting.
#include <dirent.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dump_run.h"
#include "scene_bytes.h"

namespace qmv::test {
namespace {

const char* const kUsage = "Usage: qmv-dump [--events] [--state] [--trace] [--no-callbacks] FILE\n";

SceneBytes layerWithLine() {
    SceneBytes scene = SceneBytes::withHeader();
    scene.raw({0x5E, 0x03});  // QMVR_SetBlendMode: a callback in the global layer too
    scene.layer(0x80, "roads").line(10, 10, 1, 0);
    return scene;
}

TEST(DumpErrors, ParseErrorsExitWithOneAndTheReaderText) {
    SceneBytes bad;
    bad.raw("QMV!").raw({0xE1, 0, 0, 0});
    DumpResult header = dumpScene(bad.bytes(), {"--events"});
    EXPECT_EQ(header.status, 1);
    EXPECT_EQ(header.err, "qmv-dump: Missing header.\n");
    EXPECT_EQ(header.out,
              "{\"end\":true,\"error\":\"Missing header.\",\"layers\":0,\"shapes\":0,\"images\":0}\n");

    DumpResult missing = runDump({"--events", "/nonexistent/folder/scene.qmv"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "qmv-dump: Parser: Error reading file\n");
    EXPECT_NE(missing.out.find("\"error\":\"Parser: Error reading file\""), std::string::npos);

    // A header and a global layer but no layer: the reader still fails, and
    // the events seen before the failure are kept.
    SceneBytes noLayer = SceneBytes::withHeader();
    noLayer.raw({0x5E, 0x01});
    DumpResult partial = dumpScene(noLayer.bytes(), {"--events"});
    EXPECT_EQ(partial.status, 1);
    EXPECT_EQ(partial.err,
              "qmv-dump: Error in globallayer: Not supported function type in globallayer.\n");
    std::vector<std::string> lines = partial.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "{\"cb\":\"QMVR_setBlendMode\",\"args\":[1]}");
}

TEST(DumpErrors, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> commandLines = {
        {}, {"--events"}, {"--bogus", "a.qmv"}, {"a.qmv", "b.qmv"}, {"--trace", "--state", "a.qmv"}};
    for (const auto& args : commandLines) {
        DumpResult r = runDump(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("qmv-dump: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(kUsage), std::string::npos) << r.err;
    }

    DumpResult help = runDump({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind(kUsage, 0), 0u);
    EXPECT_EQ(help.err, "");
}

TEST(DumpModes, NoCallbacksLeavesOnlyTheEndOfTheLayers) {
    DumpResult r = dumpScene(layerWithLine().bytes(), {"--events", "--no-callbacks"});
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> expected = {
        "{\"cb\":\"QMVR_endLayer\",\"args\":[]}",
        "{\"end\":true,\"error\":null,\"layers\":1,\"shapes\":0,\"images\":0}",
    };
    EXPECT_EQ(r.lines(), expected);
}

TEST(DumpModes, SummaryShowsHeaderCountsAndOutcome) {
    DumpResult r = dumpScene(layerWithLine().bytes(), {});
    EXPECT_EQ(r.status, 0);
    std::string body = r.out.substr(r.out.find('\n') + 1);  // past the file's path
    // The parse time is whole clock seconds and may tick over during the parse.
    const size_t at = body.find("parse time:   ");
    ASSERT_NE(at, std::string::npos) << body;
    const size_t timeEnd = body.find(" s\n", at);
    ASSERT_NE(timeEnd, std::string::npos) << body;
    const std::string seconds = body.substr(at + 14, timeEnd - at - 14);
    EXPECT_TRUE(seconds == "0" || seconds == "1") << seconds;
    body.replace(at + 14, timeEnd - at - 14, "T");
    EXPECT_EQ(body,
              "reserved:     0\n"
              "version:      1\n"
              "release:      0\n"
              "resolution:   1 1\n"
              "lower left:   0 0\n"
              "upper right:  100 100\n"
              "mm:           1 1\n"
              "background:   1 0.5019607843137255 0 1\n"
              "layers:       1\n"
              "shapes:       0\n"
              "images:       0\n"
              "callbacks:    4\n"
              "parse time:   T s\n"
              "result:       ok\n");

    SceneBytes bad;
    bad.raw("XMV");
    DumpResult failed = dumpScene(bad.bytes(), {"--no-callbacks"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.out.find("\nresult:       Missing header.\n"), std::string::npos) << failed.out;
}

std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

TEST(DumpModes, TraceIsTheReadersTraceAndLeavesNoFileBehind) {
    TempPath scene = TempPath::file(layerWithLine().bytes());
    TempPath tmp = TempPath::folder();
    ASSERT_FALSE(tmp.path().empty());

    DumpResult r = runDump({"--trace", scene.path()}, tmp.path());
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string header =
        "\n-------------------------Header----------------------------------\n"
        "Reserved      : 0\n"
        "Version       : 1\n"
        "Release       : 0\n"
        "Resolution    : (1.,1.)\n"
        "Lower Left    : (0.,0.)\n"
        "Upper Right   : (100.,100.)\n";
    EXPECT_EQ(r.out.substr(0, header.size()), header);
    EXPECT_NE(r.out.find("\nQMVR_SetBlendMode"), std::string::npos);
    EXPECT_NE(r.out.find("\nQMVR_Layer Visible Not_Detectable roads"), std::string::npos);
    EXPECT_NE(r.out.find("\nQMVR_Line Start (10.,10.) End (11.,10.)"), std::string::npos);
    EXPECT_TRUE(folderEntries(tmp.path()).empty());

    // A failed parse still shows the trace as far as it went.
    SceneBytes bad;
    bad.raw("QM");
    TempPath badScene = TempPath::file(bad.bytes());
    DumpResult failed = runDump({"--trace", badScene.path()}, tmp.path());
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err, "qmv-dump: Missing header.\n");
    EXPECT_TRUE(folderEntries(tmp.path()).empty());
}

}  // namespace
}  // namespace qmv::test
