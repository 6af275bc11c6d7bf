// Hostile files end well: every hostile file of at most 1 MiB that we know
// how to build is read and rendered by qmv-render, as a child process, and
// comes out as a drawing or as the refusal its limit gives, never a crash.
// What each costs in CPU and memory is a figure of the benchmark
// (bench/robustness_bench), not a bound here: the outcome is decided by the
// limits' deterministic counts, which do not depend on the picture's size,
// so the files are drawn small to keep the pixel work of the full-picture
// fills out of the test's time. Each file is written by a forked child, so
// that the scene's construction never counts towards a child's memory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_process.h"
#include "hostile_scenes.h"

#ifndef QMV_RENDER
#error "QMV_RENDER must name the qmv-render program"
#endif

namespace qmv::test {
namespace {

class HostileScenes : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qmv-hostile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        for (const std::string& file : files_) std::remove(file.c_str());
        rmdir(dir_.c_str());
    }

    void check(const std::vector<HostileScene>& scenes, size_t maxBytes = kMaxHostileBytes) {
        for (size_t i = 0; i < scenes.size(); ++i) {
            const HostileScene& scene = scenes[i];
            SCOPED_TRACE(scene.name);
            const std::string base = dir_ + "/scene-" + std::to_string(i);
            const std::string path = base + (scene.compressed ? ".qmvz" : ".qmv");
            const std::string png = base + ".png";
            files_.push_back(path);
            files_.push_back(png);
            ASSERT_TRUE(writeHostileScene(scene, path)) << "the scene cannot be built";
            struct stat info {};
            ASSERT_EQ(stat(path.c_str(), &info), 0);
            const auto size = static_cast<size_t>(info.st_size);
            EXPECT_LE(size, maxBytes);

            const ChildRun run = runChild(QMV_RENDER, {path, "-o", png, "--size", "80x60"});
            ASSERT_TRUE(run.started);
            std::printf("[ outcome  ] %-62s %8zu bytes  %s", scene.name.c_str(), size,
                        run.exitStatus == 0 ? "drawn\n" : run.standardError.c_str());
            EXPECT_EQ(run.signal, 0) << run.standardError;
            if (scene.refusal.empty()) {
                EXPECT_EQ(run.exitStatus, 0) << run.standardError;
            } else if (scene.refusal == "*") {
                EXPECT_TRUE(run.exitStatus == 0 ||
                            (run.exitStatus == 1 && run.standardError.rfind("qmv-render: ", 0) == 0))
                    << run.exitStatus << " " << run.standardError;
            } else {
                EXPECT_EQ(run.exitStatus, 1);
                EXPECT_EQ(run.standardError.rfind("qmv-render: " + scene.refusal, 0), 0u)
                    << run.standardError;
            }
        }
    }

private:
    std::string dir_;
    std::vector<std::string> files_;
};

TEST_F(HostileScenes, CountsTheDataBelies) { check(claimedCountScenes()); }
TEST_F(HostileScenes, HugeImagesAndManyUses) { check(imageScenes()); }
TEST_F(HostileScenes, ShapesNestedAndPlacedInThemselves) { check(shapeScenes()); }
TEST_F(HostileScenes, ZeroStepsNaNCrossingsAndHugeRadii) { check(geometryScenes()); }
TEST_F(HostileScenes, RepeatedEdgesTextListsAndLines) { check(repetitionScenes()); }
TEST_F(HostileScenes, CompressedBombs) { check(compressedBombScenes()); }
TEST_F(HostileScenes, OrdinaryDrawingsOfOneMiB) { check(ordinaryScenes()); }
TEST_F(HostileScenes, HonestDrawingsPastOneMiB) { check(largeFileScenes(), 4 * kMaxHostileBytes); }

}  // namespace
}  // namespace qmv::test
