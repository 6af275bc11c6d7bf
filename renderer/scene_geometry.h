// The retained form of a scene: what the reader's callbacks record and what
// a frame draws from. Plain arrays and no GL types, so that a scene can be
// recorded on any thread and read again for other outputs.
//
// Vertices live in three pools (positions alone, with a colour each, with a
// texture coordinate each). A position is the scene point as a double-float
// pair, so that the vertex program can subtract the view's centre without
// losing precision at any zoom. Each layer and shape is a recording: a
// command list in drawing order, whose draw commands name items. An item is
// one primitive as the file gave it, with one or more levels of detail,
// each a run of pieces; a piece is one GL primitive and the unit of culling.
#pragma once

#include <array>
#include <cmath>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "chunked_array.h"

namespace qmv::renderer {

enum class DrawKind : uint8_t {
    Lines,
    LineStrip,
    Triangles,
    TriangleStrip,
    TriangleFan,
    Quads,
    Polygon
};

enum class PoolKind : uint8_t { Plain, Coloured, Textured };
inline constexpr int kPoolKinds = 3;

// x = double(hx) + double(lx), to about 48 bits.
struct Position {
    float hx, hy, lx, ly;
};

inline Position splitPosition(double x, double y) {
    const float hx = static_cast<float>(x);
    const float hy = static_cast<float>(y);
    return {hx, hy, static_cast<float>(x - hx), static_cast<float>(y - hy)};
}
inline double positionX(const Position& p) { return double(p.hx) + double(p.lx); }
inline double positionY(const Position& p) { return double(p.hy) + double(p.ly); }

// Bounds accumulated in double precision; empty until the first point.
struct Box {
    double xmin = std::numeric_limits<double>::infinity();
    double ymin = std::numeric_limits<double>::infinity();
    double xmax = -std::numeric_limits<double>::infinity();
    double ymax = -std::numeric_limits<double>::infinity();

    bool empty() const { return !(xmin <= xmax && ymin <= ymax); }
    void add(double x, double y) {
        xmin = std::min(xmin, x), xmax = std::max(xmax, x);
        ymin = std::min(ymin, y), ymax = std::max(ymax, y);
    }
    void add(const Box& b) {
        if (b.empty()) return;
        add(b.xmin, b.ymin);
        add(b.xmax, b.ymax);
    }
    bool meets(const Box& b) const {
        return xmin <= b.xmax && b.xmin <= xmax && ymin <= b.ymax && b.ymin <= ymax;
    }
};

// Bounds kept in single precision, rounded outwards so that they still
// hold every point they were made from. An empty box meets nothing.
struct Bounds {
    float xmin = 1.0f, ymin = 1.0f, xmax = 0.0f, ymax = 0.0f;

    static Bounds of(const Box& box);
    Box box() const { return {xmin, ymin, xmax, ymax}; }
    bool meets(const Box& view) const {
        return xmin <= view.xmax && view.xmin <= xmax && ymin <= view.ymax && view.ymin <= ymax;
    }
};

struct Piece {
    uint32_t first = 0;  // in its group of the item's pool
    uint32_t count = 0;
    uint32_t group = 0;
    Bounds bounds;
};

// A level's pieces are pieces[pieceBegin, pieceEnd); its points lie within
// `tolerance` scene units of the full primitive's (0 for the full one).
struct Level {
    uint32_t pieceBegin = 0;
    uint32_t pieceEnd = 0;
    float tolerance = 0.0f;
};

// Levels[levelBegin, levelBegin + levelCount), the full one first and the
// coarser ones after it by rising tolerance.
struct Item {
    Bounds bounds;
    uint32_t levelBegin = 0;
    uint16_t levelCount = 0;
    DrawKind kind = DrawKind::Lines;
    PoolKind pool = PoolKind::Plain;
};

enum class Op : uint8_t {
    Draw,          // index: the item
    Colour,        // index: into colours
    Blend,         // index: the blend mode, 0..7
    Dashes,        // index: the 16-bit dash pattern
    Shade,         // index: 1 smooth, 0 flat
    BindTexture,   // index: into textures
    Texturing,     // index: 1 on, 0 off
    StencilMark,   // the outline's fans go into the stencil, no colour
    StencilCover,  // the cover draws where the stencil is set and clears it
    StencilOff,
    Place,         // index: into placements
};

struct Command {
    Op op;
    uint32_t index;
};

// How a bound texture is sampled. kKeep leaves the texture object's own
// setting as its last use left it.
struct TextureState {
    static constexpr int8_t kKeep = -1;
    int image = -1;
    int8_t linear = kKeep;  // 0 nearest, 1 bilinear
    int8_t repeat = kKeep;  // 0 clamped to the edge, 1 repeated
};

// scene = (a b; c d) * local + (tx, ty).
struct Affine {
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, tx = 0.0, ty = 0.0;

    double x(double px, double py) const { return a * px + b * py + tx; }
    double y(double px, double py) const { return c * px + d * py + ty; }
    Affine then(const Affine& outer) const;  // outer applied after this
    Box map(const Box& box) const;           // the bounds of the mapped corners
    // The largest factor by which the map stretches a length (its largest
    // singular value).
    double stretch() const {
        const double sum = a * a + b * b + c * c + d * d;
        const double det = a * d - b * c;
        return std::sqrt((sum + std::sqrt(std::max(sum * sum - 4.0 * det * det, 0.0))) / 2.0);
    }
};

struct Placement {
    int shape = -1;
    Affine transform;
    Bounds bounds;  // the shape's bounds, mapped
};

struct Recording {
    std::vector<Command> commands;
    Box bounds;                 // of every item drawn and shape placed
    uint64_t vertices = 0;      // stored for its items
    bool hasLevels = false;
    // The state the recording leaves in force, each -1 where it sets none:
    // a frame that draws a placement goes on from there.
    int finalDashes = -1;
    int finalBlend = -1;
    int finalShade = -1;
    int finalTexture = -1;  // into textures
};

// Each pool is cut into groups of about kGroupVertices that become one
// buffer each, and every piece lies in one group: a buffer is made whole
// (the GL clears it first), so making one at a time keeps the upload from
// holding a pool twice.
inline constexpr uint32_t kGroupVertices = uint32_t{1} << 22;

struct VertexPools {
    std::array<ChunkedArray<Position>, kPoolKinds> positions;
    ChunkedArray<std::array<float, 4>> colours;    // one per Coloured position
    ChunkedArray<std::array<float, 2>> texCoords;  // one per Textured position
    // Where each group starts in its pool.
    std::array<std::vector<uint64_t>, kPoolKinds> groupStarts;

    uint64_t vertexCount() const {
        return positions[0].size() + positions[1].size() + positions[2].size();
    }
    // Room for `count` more positions in one group: the group the next
    // one goes to, and its place in it.
    struct Place {
        uint32_t group;
        uint32_t first;
    };
    Place reserve(PoolKind pool, size_t count) {
        const size_t k = static_cast<size_t>(pool);
        std::vector<uint64_t>& starts = groupStarts[k];
        const uint64_t size = positions[k].size();
        if (starts.empty() || (size - starts.back() + count > kGroupVertices && size > starts.back())) {
            starts.push_back(size);
        }
        return {static_cast<uint32_t>(starts.size() - 1), static_cast<uint32_t>(size - starts.back())};
    }
    uint64_t groupStart(PoolKind pool, uint32_t group) const {
        return groupStarts[static_cast<size_t>(pool)][group];
    }
};

struct SceneGeometry {
    VertexPools pools;
    std::vector<Piece> pieces;
    std::vector<Level> levels;
    std::vector<Item> items;
    std::vector<std::array<float, 4>> colours;
    std::vector<TextureState> textures;
    std::vector<Placement> placements;
    // The levels' tolerances: ladder[j] = extent / 2^(8 + j).
    double extent = 0.0;
};

}  // namespace qmv::renderer
