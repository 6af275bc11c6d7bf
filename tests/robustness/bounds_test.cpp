// Resource bounds: every hostile file of at most 1 MiB that we know how to
// build is read and rendered by qmv-render in under 2 seconds of CPU and
// under 512 MiB of peak memory, and comes out as a drawing or as the
// refusal its limit gives. Each file is written by a forked child and
// qmv-render runs as a child of its own, measured by the kernel (wait4), so
// that neither the scene's construction nor this program's size counts.
//
// Sanitizer builds run the same files for their reports, without the time
// and memory bounds, which hold for the plain build.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "hostile_scenes.h"

#ifndef QMV_RENDER
#error "QMV_RENDER must name the qmv-render program"
#endif

namespace qmv::test {
namespace {

constexpr double kCpuLimitSeconds = 2.0;
constexpr double kMemoryLimitMiB = 512.0;

#if defined(__SANITIZE_ADDRESS__) || defined(QMV_SANITIZED)
constexpr bool kMeasured = false;
#else
constexpr bool kMeasured = true;
#endif

struct WriteJob {
    const HostileScene* scene;
    std::string path;
};

bool writeScene(void* data) {
    const WriteJob& job = *static_cast<const WriteJob*>(data);
    const std::vector<uint8_t> bytes = job.scene->build();
    if (bytes.empty()) return false;
    std::ofstream out(job.path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

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
            WriteJob job{&scene, base + (scene.compressed ? ".qmvz" : ".qmv")};
            const std::string png = base + ".png";
            files_.push_back(job.path);
            files_.push_back(png);
            ASSERT_TRUE(inChild(writeScene, &job)) << "the scene cannot be built";
            struct stat info {};
            ASSERT_EQ(stat(job.path.c_str(), &info), 0);
            const auto size = static_cast<size_t>(info.st_size);
            EXPECT_LE(size, maxBytes);

            const ChildRun run = runChild(QMV_RENDER, {job.path, "-o", png});
            ASSERT_TRUE(run.started);
            std::printf("[  bound   ] %-62s %8zu bytes %5.2f s CPU %6.1f MiB  %s", scene.name.c_str(), size,
                        run.cpuSeconds, run.peakMiB,
                        run.exitStatus == 0 ? "drawn\n" : run.standardError.c_str());
            EXPECT_EQ(run.signal, 0) << run.standardError;
            if (kMeasured) {
                EXPECT_LT(run.cpuSeconds, kCpuLimitSeconds);
                EXPECT_LT(run.peakMiB, kMemoryLimitMiB);
            }
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
// The same bounds hold for this file, though they are only promised up to
// 1 MiB.
TEST_F(HostileScenes, LargerFilesGetMoreAllowance) { check(largeFileScenes(), 2 * kMaxHostileBytes); }

}  // namespace
}  // namespace qmv::test
