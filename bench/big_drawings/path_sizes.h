// Paths written in the smallest relative point size that holds all their
// steps: 16 bits (-128 to 127 a coordinate) where they fit, 24 or 32 where
// a path has longer steps. The writer's size changes only when a path needs
// another one, as a converter that picks sizes per path would write it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "qmv/writer/scene_writer.h"

namespace qmv::bench {

inline constexpr std::array<int, 3> kStepSizes = {16, 24, 32};

// A path as the file stores it: whole-unit start and steps.
struct StepPath {
    Point start{};
    std::vector<Point> steps;
    int relPointSize = 16;  // one of kStepSizes; 32 also when nothing holds the steps
};

// Rounds `vertices` to whole units and takes the steps between them.
StepPath stepPathThrough(std::span<const Point> vertices);

enum class PathCommand { Polyline, DrawPolygon, FillPolygon };

void writePath(SceneWriter& writer, PathCommand command, const StepPath& path);

// What a drawing's paths add up to, for its report.
struct PathTally {
    int64_t paths = 0;
    int64_t points = 0;  // start points included
    std::array<int64_t, kStepSizes.size()> pathsBySize{};
    int64_t largestPath = 0;  // points

    void add(const StepPath& path, int times = 1);
    void add(const PathTally& other);
};

}  // namespace qmv::bench
