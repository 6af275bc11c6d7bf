// The batches a frame draws in, planned before a GL call is made.
//
// Problem: a map draws each country as a fill and then an outline, so the
// file's order alternates between triangles and lines, and a draw call per
// primitive costs more than its pixels.
//
// Method: the frame's pieces are planned in drawing order into slots, one
// slot per draw call. A piece joins the latest slot of its kind and state
// when nothing drawn after that slot's start touches the piece's pixels;
// otherwise it opens a new slot at the end. Touching is judged on a grid
// of cells over the picture, each holding the latest slot that drew into
// it, with every piece's pixel bounds widened by a pixel. A stencil fill
// joins the latest stencil slot of its cover's kind and state in the same
// way, but only where nothing of that slot touches it either, for fills
// marked together must not share a pixel; the slot marks all its fills'
// fans, then covers them all. Shapes drawn by placement, and stencil fills
// whose pieces lie in several buffers, are barriers: a slot of their own
// that nothing joins, replayed in order.
//
// Invariant: two pieces whose pixels may overlap are drawn in the file's
// order; a piece is only ever moved across pieces it cannot touch, so the
// picture is the file's.
#pragma once

#include <array>
#include <span>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "scene_geometry.h"

namespace qmv::renderer {

// The state a slot draws in, as the commands before it left it. A field of
// -1 was never set and is left to the GL.
struct DrawState {
    std::array<float, 4> colour{};  // for the plain pool
    int16_t blend = -1;
    int32_t dashes = -1;
    int8_t shade = 0;  // a frame starts flat
    int8_t texturing = 0;
    int32_t texture = -1;  // into the scene's textures

    bool operator==(const DrawState&) const = default;
};

struct BatchKey {
    DrawKind kind = DrawKind::Lines;
    PoolKind pool = PoolKind::Plain;
    uint32_t group = 0;
    DrawState state;
    // A stencil slot: its fans are in `fanGroup` of the plain pool, and
    // kind, pool, group and state are its covers'.
    bool stencil = false;
    uint32_t fanGroup = 0;

    bool operator==(const BatchKey&) const = default;
};

// What a barrier slot replays: commands [from, to) of a recording, or one
// placement.
struct Barrier {
    const Recording* recording = nullptr;
    uint32_t from = 0;
    uint32_t to = 0;
    int placement = -1;
    DrawState entry;  // the state in force where it stands
};

class BatchPlanner {
public:
    static constexpr int kCellsAcross = 128;
    static constexpr int kCellsDown = 96;

    struct Slot {
        BatchKey key;
        bool barrier = false;
        Barrier replay;
        uint32_t pieceBegin = 0;  // into pieces(), once finished
        uint32_t pieceEnd = 0;
    };
    struct PieceRef {
        uint32_t slot;
        uint32_t first;
        uint32_t count;
        bool fan;  // of a stencil slot: a fan to mark, else a cover
    };
    struct PieceSpan {
        uint32_t first;
        uint32_t count;
    };

    // A frame of width x height pixels whose left bottom corner is at
    // (left, bottom) in the scene, `pixel` scene units a pixel.
    void begin(double left, double bottom, double pixel, int width, int height);
    void addPiece(const BatchKey& key, const Bounds& bounds, uint32_t first, uint32_t count);
    void addBarrier(const Barrier& barrier, const Box& bounds);
    void addStencilFill(const BatchKey& key, const Box& bounds, std::span<const PieceSpan> fans,
                        std::span<const PieceSpan> covers);
    // Sorts the pieces by slot, keeping their order within each.
    void finish();

    const std::vector<Slot>& slots() const { return slots_; }
    static size_t hashKey(const BatchKey& key);
    const std::vector<PieceRef>& pieces() const { return sorted_; }

private:
    struct KeyHash {
        size_t operator()(const BatchKey& k) const { return hashKey(k); }
    };
    struct CellRange {
        int x0, y0, x1, y1;
    };
    CellRange cellsOf(double xmin, double ymin, double xmax, double ymax) const;
    uint32_t latestIn(const CellRange& r) const;  // 0 when none, else slot + 1
    void mark(const CellRange& r, uint32_t slot);
    // The slot a piece or fill touching r joins (the latest of its key,
    // when nothing drawn since touches r; a stencil fill may not share r
    // with that slot's own fills either), or a new one; r marked with it.
    uint32_t slotFor(const BatchKey& key, const CellRange& r, bool mayShareCells);

    double left_ = 0.0, bottom_ = 0.0, cellWidth_ = 1.0, cellHeight_ = 1.0, margin_ = 0.0;
    std::array<uint32_t, kCellsAcross * kCellsDown> cells_{};
    std::vector<Slot> slots_;
    std::unordered_map<BatchKey, uint32_t, KeyHash> latest_;
    std::vector<PieceRef> pieces_;
    std::vector<PieceRef> sorted_;
};

}  // namespace qmv::renderer
