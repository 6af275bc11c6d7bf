// Value types shared by the scene file reader and its clients (the renderer
// includes this header too): points, point lists, colours, palettes, and the
// edge sets and faces that a scene defines once and draws by number.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace qmv {

// A position in scene coordinates; every point encoding decodes to this.
struct Point {
    double x = 0.0;
    double y = 0.0;
};

// Absolute positions decoded from a start point and relative steps.
struct PointList {
    int32_t count = 0;
    std::vector<Point> points;  // `count` entries; capacity may be larger
};

// Components are nominally 0.0 to 1.0 but are never clamped.
struct Color {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 1.0;
};

// A palette. Held in a vector; its length is `colors.size()`.
struct ColorArray {
    std::vector<Color> colors;
};

// A chain of polylines stored once and drawn by number. List i continues from
// the last point of list i - 1 (the first from `start`).
struct EdgeSet {
    int32_t count = 0;  // number of lists
    Point start;
    std::vector<PointList> lists;  // `count` entries
};

// An area bounded by edge sets: the renderer walks the sets of `first`, then
// those of `second`, as one outline.
struct Face {
    int32_t firstCount = 0;
    std::vector<int32_t> first;
    int32_t secondCount = 0;
    std::vector<int32_t> second;
};

}  // namespace qmv
