// The real qmv-as and qmv-dis: help, exit statuses, messages with line and
// column, compressed files by name, and no partial output after a failure.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "event_stream.h"
#include "qmv/textform/file_io.h"
#include "qmv/textform/textform.h"
#include "qmv/writer.h"

namespace qmv::test {
namespace {

struct ProgramRun {
    int status = -1;
    std::string out;  // standard output and standard error together
};

ProgramRun run(const std::string& command) {
    ProgramRun result;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

const std::string kAs = QMV_AS_PATH;
const std::string kDis = QMV_DIS_PATH;

std::vector<uint8_t> smallScene() {
    SceneHeader h;
    h.upperRight = {100, 100};
    SceneWriter w(h);
    w.layer("roads");
    w.polyline({{10, 10}, {11, 10}, {11, 12}});
    return w.bytes();
}

TEST(TextTools, HelpAndUsage) {
    for (const std::string& tool : {kAs, kDis}) {
        const ProgramRun help = run(tool + " --help");
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("Usage: "), std::string::npos) << help.out;
        EXPECT_EQ(run(tool).status, 2);
        EXPECT_EQ(run(tool + " --bogus x").status, 2);
        EXPECT_EQ(run(tool + " a b").status, 2);
    }
    const ProgramRun noOutput = run(kAs + " text.txt");
    EXPECT_EQ(noOutput.status, 2);
    EXPECT_NE(noOutput.out.find("qmv-as: no output file (-o OUT)"), std::string::npos)
        << noOutput.out;
}

TEST(TextTools, DisassembleThenAssembleCompressedAndRaw) {
    ScratchFolder folder;
    const std::vector<uint8_t> scene = smallScene();
    std::string why;
    ASSERT_TRUE(textform::writeFileWhole(folder.path() + "/in.qmvz", scene, true, why)) << why;

    const ProgramRun dis = run(kDis + " " + folder.path() + "/in.qmvz");
    ASSERT_EQ(dis.status, 0) << dis.out;
    EXPECT_NE(dis.out.find("  Polyline (10, 10) [(1, 0) (0, 2)]  # (11, 10) (11, 12)\n"),
              std::string::npos)
        << dis.out;

    ASSERT_EQ(
        run(kDis + " " + folder.path() + "/in.qmvz -o " + folder.path() + "/scene.txt").status, 0);
    ASSERT_EQ(run(kAs + " " + folder.path() + "/scene.txt -o " + folder.path() + "/out.qmv").status,
              0);
    ASSERT_EQ(
        run(kAs + " " + folder.path() + "/scene.txt -o " + folder.path() + "/out.qmvz").status, 0);

    std::vector<uint8_t> raw;
    ASSERT_TRUE(textform::readSceneFile(folder.path() + "/out.qmv", raw, why)) << why;
    EXPECT_TRUE(raw == scene);
    std::vector<uint8_t> inflated;
    ASSERT_TRUE(textform::readSceneFile(folder.path() + "/out.qmvz", inflated, why)) << why;
    EXPECT_TRUE(inflated == scene);
    // On disk the compressed file is a zlib stream, not the scene's bytes.
    std::string stored;
    ASSERT_TRUE(textform::readTextFile(folder.path() + "/out.qmvz", stored, why)) << why;
    ASSERT_GE(stored.size(), 2u);
    EXPECT_EQ(static_cast<uint8_t>(stored[0]), 0x78);
}

TEST(TextTools, AssemblerErrorsNameTheLineAndLeaveNoFile) {
    ScratchFolder folder;
    ScratchFile text(".txt");
    const std::string good = textform::disassembleBytes(smallScene());
    ASSERT_TRUE(text.write(good + "  Line (0, 0) (5000, 0)\n"));
    const int badLine = static_cast<int>(std::count(good.begin(), good.end(), '\n')) + 1;

    // An earlier good output stays as it was.
    const std::string out = folder.path() + "/out.qmv";
    ScratchFile first(".txt");
    ASSERT_TRUE(first.write(good));
    ASSERT_EQ(run(kAs + " " + first.path() + " -o " + out).status, 0);
    std::vector<uint8_t> before;
    std::string why;
    ASSERT_TRUE(textform::readSceneFile(out, before, why));

    const ProgramRun bad = run(kAs + " " + text.path() + " -o " + out);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, text.path() + ":" + std::to_string(badLine) +
                           ":16: 5000 is outside -2048 to 2047, the range of a 24-bit point\n");
    std::vector<uint8_t> after;
    ASSERT_TRUE(textform::readSceneFile(out, after, why));
    EXPECT_TRUE(after == before);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.qmv"});

    const ProgramRun fresh = run(kAs + " " + text.path() + " -o " + folder.path() + "/new.qmvz");
    EXPECT_EQ(fresh.status, 1);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.qmv"});
}

TEST(TextTools, UnreadableInputs) {
    const ProgramRun dis = run(kDis + " /nonexistent/scene.qmv");
    EXPECT_EQ(dis.status, 1);
    EXPECT_NE(dis.out.find("qmv-dis: /nonexistent/scene.qmv: "), std::string::npos) << dis.out;
    const ProgramRun as = run(kAs + " /nonexistent/scene.txt -o /tmp/never.qmv");
    EXPECT_EQ(as.status, 1);
    EXPECT_NE(as.out.find("qmv-as: /nonexistent/scene.txt: "), std::string::npos) << as.out;
}

}  // namespace
}  // namespace qmv::test
