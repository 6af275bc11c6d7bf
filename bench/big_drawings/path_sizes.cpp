#include "path_sizes.h"

#include <algorithm>
#include <cmath>

#include "qmv/writer/geometry_helpers.h"

namespace qmv::bench {

namespace {

// The largest step coordinate each of kStepSizes holds. Each holds one
// value more below (-128 for 16 bits); measuring steps by their magnitude
// gives that one up for a simpler test.
constexpr std::array<double, kStepSizes.size()> kLargestStep = {127, 2047, 32767};

size_t sizeIndex(int relPointSize) {
    const auto* found = std::find(kStepSizes.begin(), kStepSizes.end(), relPointSize);
    return static_cast<size_t>(found - kStepSizes.begin());
}

}  // namespace

StepPath stepPathThrough(std::span<const Point> vertices) {
    StepPath path;
    if (vertices.empty()) return path;
    std::vector<Point> rounded(vertices.size());
    std::transform(vertices.begin(), vertices.end(), rounded.begin(), [](Point p) {
        return Point{std::round(p.x), std::round(p.y)};
    });
    path.start = rounded.front();
    path.steps = stepsBetween(path.start, std::span<const Point>(rounded).subspan(1));
    double largest = 0.0;
    for (const Point& step : path.steps) {
        largest = std::max({largest, std::abs(step.x), std::abs(step.y)});
    }
    size_t index = 0;
    while (index + 1 < kStepSizes.size() && largest > kLargestStep[index]) ++index;
    path.relPointSize = kStepSizes[index];
    return path;
}

void writePath(SceneWriter& writer, PathCommand command, const StepPath& path) {
    if (writer.state().relPointSize != path.relPointSize) writer.setRelPointSize(path.relPointSize);
    switch (command) {
    case PathCommand::Polyline:
        writer.polylineSteps(path.start, path.steps);
        break;
    case PathCommand::DrawPolygon:
        writer.drawPolygonSteps(path.start, path.steps);
        break;
    case PathCommand::FillPolygon:
        writer.fillPolygonSteps(path.start, path.steps);
        break;
    }
}

void PathTally::add(const StepPath& path, int times) {
    const auto points = static_cast<int64_t>(path.steps.size()) + 1;
    paths += times;
    this->points += points * times;
    pathsBySize[sizeIndex(path.relPointSize)] += times;
    largestPath = std::max(largestPath, points);
}

void PathTally::add(const PathTally& other) {
    paths += other.paths;
    points += other.points;
    for (size_t i = 0; i < pathsBySize.size(); ++i) pathsBySize[i] += other.pathsBySize[i];
    largestPath = std::max(largestPath, other.largestPath);
}

}  // namespace qmv::bench
