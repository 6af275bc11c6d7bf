// The map scene: random walks with a slowly turning heading, so that the
// polylines look like roads, rivers and contour lines rather than noise, and
// so that every step fits the 8-bit relative encoding (-8 to 7 per axis).
#include "qmv/scenes/map_scene.h"

#include <array>
#include <cmath>
#include <vector>

#include "qmv/scenes/scene_random.h"

namespace qmv::scenes {

namespace {

constexpr int kWidth = 32000;
constexpr int kHeight = 24000;
// A walk of 49 steps of at most 8 units stays inside this margin.
constexpr int kMargin = 500;
constexpr int kHeadings = 64;
constexpr double kStepLength = 6.5;
// A new line colour after this many polylines of a layer.
constexpr int64_t kColourRun = 2000;

struct MapLayer {
    const char* name;
    int share;  // parts of the polylines, out of the sum of all shares
    std::array<Color, 3> colours;
};

constexpr Color rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1.0}; }

const std::array<MapLayer, 6> kLayers = {{
    {"contours", 30, {rgb(196, 160, 120), rgb(176, 140, 100), rgb(150, 120, 90)}},
    {"rivers", 15, {rgb(70, 130, 200), rgb(40, 100, 180), rgb(110, 160, 220)}},
    {"roads", 25, {rgb(90, 90, 90), rgb(200, 60, 40), rgb(230, 160, 30)}},
    {"railways", 5, {rgb(40, 40, 40), rgb(80, 80, 80), rgb(20, 20, 20)}},
    {"paths", 20, {rgb(120, 90, 60), rgb(100, 130, 70), rgb(140, 110, 80)}},
    {"borders", 5, {rgb(150, 60, 150), rgb(120, 40, 120), rgb(170, 90, 170)}},
}};

// Rounded steps for each heading; 6.5 units rounds to -7..7 on both axes.
struct StepTable {
    std::array<Point, kHeadings> steps;
    StepTable() {
        for (int i = 0; i < kHeadings; ++i) {
            const double angle = 2.0 * 3.14159265358979323846 * i / kHeadings;
            steps[static_cast<size_t>(i)] = {std::round(kStepLength * std::cos(angle)),
                                             std::round(kStepLength * std::sin(angle))};
        }
    }
};

void writePolyline(SceneWriter& writer, SceneRandom& random, const StepTable& table,
                   std::vector<Point>& steps) {
    const int vertexCount = random.between(2, 50);
    const Point start{static_cast<double>(random.between(kMargin, kWidth - kMargin)),
                      static_cast<double>(random.between(kMargin, kHeight - kMargin))};
    int heading = random.between(0, kHeadings - 1);
    steps.clear();
    for (int i = 1; i < vertexCount; ++i) {
        heading = (heading + random.between(-2, 2) + kHeadings) % kHeadings;
        steps.push_back(table.steps[static_cast<size_t>(heading)]);
    }
    writer.polylineSteps(start, steps);
}

}  // namespace

MapSceneCounts writeMapScene(SceneWriter& writer, const MapSceneOptions& options) {
    SceneHeader header;
    header.version = 1;
    header.resolution = {1, 1};
    header.upperRight = {kWidth, kHeight};
    header.mm = {320, 240};
    header.background = rgb(250, 248, 240);
    writer.header(header);
    writer.setRelPointSize(8);

    int totalShare = 0;
    for (const MapLayer& layer : kLayers) totalShare += layer.share;

    static const StepTable table;
    SceneRandom random(options.seed);
    std::vector<Point> steps;
    steps.reserve(64);
    MapSceneCounts counts;
    int64_t assigned = 0;
    for (size_t l = 0; l < kLayers.size(); ++l) {
        const MapLayer& layer = kLayers[l];
        // The last layer takes the rounding remainder, so the total is exact.
        const int64_t count = l + 1 == kLayers.size()
                                  ? options.polylines - assigned
                                  : options.polylines * layer.share / totalShare;
        assigned += count;
        writer.layer(layer.name, true, true);
        ++counts.layers;
        for (int64_t i = 0; i < count; ++i) {
            if (i % kColourRun == 0) {
                writer.setLineColor(layer.colours[static_cast<size_t>(i / kColourRun) % 3]);
            }
            writePolyline(writer, random, table, steps);
            counts.vertices += static_cast<int64_t>(steps.size()) + 1;
        }
        counts.polylines += count;
    }
    writer.finish();
    return counts;
}

}  // namespace qmv::scenes
