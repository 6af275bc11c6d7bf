// The benchmark figures are only as good as the scene they parse: these
// tests check that the map scene has the polylines, lengths and encoding it
// claims, and that a seed always gives the same bytes.
#include <gtest/gtest.h>

#include "counting_client.h"
#include "qmv/scenes/map_scene.h"

namespace qmv::scenes::test {
namespace {

TEST(MapScene, HoldsTheAskedPolylinesOfTwoToFiftyVertices) {
    SceneWriter writer;
    const MapSceneCounts counts = writeMapScene(writer, {.polylines = 5000, .seed = 7});
    ASSERT_TRUE(writer.ok()) << writer.error();
    EXPECT_EQ(counts.polylines, 5000);
    TempPath file(".qmv");
    ASSERT_TRUE(writer.save(file.path()));

    const ParseReport report = parseCounting(file.path());
    ASSERT_EQ(report.error, "");
    EXPECT_EQ(report.calls[QMVR_begin], 5000);
    EXPECT_EQ(report.calls[QMVR_begin] + report.calls[QMVR_vertex], counts.vertices);
    EXPECT_EQ(report.shortestPath, 2);
    EXPECT_EQ(report.longestPath, 50);
    EXPECT_EQ(report.layers, counts.layers);
    EXPECT_GE(report.layers, 3);
}

// One byte per step: opcode, 4-byte start and a 1-byte count make 6 bytes
// per polyline around its steps; 24-bit steps would triple the size.
TEST(MapScene, WritesEachStepInOneByte) {
    SceneWriter writer;
    const MapSceneCounts counts = writeMapScene(writer, {.polylines = 5000, .seed = 7});
    const int64_t steps = counts.vertices - counts.polylines;
    const int64_t expected = 6 * counts.polylines + steps;
    EXPECT_GE(static_cast<int64_t>(writer.bytes().size()), expected);
    EXPECT_LE(static_cast<int64_t>(writer.bytes().size()), expected + 2000);
}

TEST(MapScene, SameSeedGivesSameBytes) {
    SceneWriter first, second, other;
    writeMapScene(first, {.polylines = 2000, .seed = 11});
    writeMapScene(second, {.polylines = 2000, .seed = 11});
    writeMapScene(other, {.polylines = 2000, .seed = 12});
    EXPECT_EQ(first.bytes(), second.bytes());
    EXPECT_NE(first.bytes(), other.bytes());
}

}  // namespace
}  // namespace qmv::scenes::test
