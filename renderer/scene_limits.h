// What a scene may make the renderer hold, and the work it may multiply,
// so that no file can exhaust the machine while every honest drawing draws
// (docs/robustness.md gives the figures and the reasons).
//
// A file's own commands are drawn whatever they cost: that work is linear
// in the file. Two things are bounded instead:
//
// - Memory, by hard caps sized to a desktop machine: the vertices compiled
//   into display lists, the texels of all images, the display lists.
// - Work that grows faster than the file, counted in deterministic units
//   against allowances that grow with the file's size on disk: what stored
//   definitions draw each time they are replayed (shapes at every
//   placement, the product of the placements down the nesting; edge sets
//   and faces at every draw), and the tessellator's sweep of gradient
//   fills, whose steps can grow with the square of an outline's size.
//
// A replay is counted in vertices and primitives, in pixels of lines and
// in pixels of fills at the reference paint (the header's bounds in
// 800 x 600 pixels, what qmv-render draws by default), each primitive at
// most the whole picture. Past a limit the limits record the reason with
// readerReportError, the callback draws nothing and returns
// CALLBACK_FAILED, and the parse stops as after any error.
#pragma once

#include <cstdint>
#include <span>

#include "qmv/reader.h"

namespace qmv::renderer {

// An allowance of `base` units, plus `perByte` for each byte of the file.
struct Allowance {
    double base;
    double perByte;
    double forFile(double fileBytes) const { return base + perByte * fileBytes; }
};

// Replays of stored definitions: vertices and primitives, line pixels and
// fill pixels. A replay of a file's own size is within them many times
// over; shapes placing shapes, or a large definition drawn again and
// again, are not.
inline constexpr Allowance kReplayedVertices{double(1 << 24), 64.0};
inline constexpr Allowance kReplayedLinePixels{double(1 << 25), 32.0};
inline constexpr Allowance kReplayedFillPixels{double(1 << 27), 128.0};
// Steps of the tessellator's sweep and face-loop relabelling, for the fills
// it still draws (gradients, and every fill where the context has no
// stencil buffer).
inline constexpr Allowance kTessellatorSteps{double(1 << 27), 256.0};

// Hard caps on what the scene holds.
inline constexpr double kMaxStoredVertices = double(1 << 27);  // 2 GiB of 16-byte positions
inline constexpr double kMaxTextureTexels = double(1 << 25);   // all images, borders included
inline constexpr int kMaxTextureSide = 2048;  // a larger image is scaled down
// Mesa 22 copies its store of small lists as each list is made, so making
// lists takes time with the square of their number: 200 000 take 6 s.
inline constexpr int kMaxDisplayLists = 1 << 17;
// The points the slabs of one tessellated outline may hold (a cut adds
// points where edges cross the cut lines): about 256 MiB of pieces.
inline constexpr double kMaxSlabPoints = double(1 << 24);

// The reference paint that pixel counts are taken at.
inline constexpr double kReferenceWidth = 800.0;
inline constexpr double kReferenceHeight = 600.0;

// What one replay of a stored definition draws, in the definition's own
// coordinates: counted as the definition is compiled, charged (scaled by
// the placement) wherever it is replayed.
struct ReplayCost {
    double vertices = 0.0;     // vertices and primitives
    double lineLength = 0.0;   // scene units
    double lineSegments = 0.0;
    double fillArea = 0.0;     // square scene units
    double fills = 0.0;
    int depth = 0;             // matrix pushes nested inside it
};

// What the tessellator's sweep will do with an outline, closed by its last
// edge. It sweeps along x and keeps the edges that cross the sweep line in
// a list that it searches linearly, so each event costs about as many
// steps as edges are active. The estimate sweeps the edges in order of
// their left ends, testing each against the edges still active, and stops
// after `maxSteps` tests.
struct SweepEstimate {
    double steps = 0.0;      // edges active at each edge's start, summed
    double crossings = 0.0;  // pairs of edges that cross
    double widest = 0.0;     // most edges active at once
    bool finished = false;   // false: more than the allowed steps
};
SweepEstimate estimateSweep(std::span<const Point> outline, double maxSteps);

class SceneLimits {
public:
    // True once a limit was passed: every later request fails at once.
    bool failed() const { return failed_; }

    // Where the drawing that follows goes: a layer's list draws once per
    // paint, a shape's list once per placement.
    void beginLayer() { frame_ = nullptr; }
    void beginShape() { shapeFrame_ = ReplayCost{}, frame_ = &shapeFrame_; }
    ReplayCost endShape() {
        frame_ = nullptr;
        return shapeFrame_;
    }
    bool inShape() const { return frame_ != nullptr; }

    // Each returns false after recording why when a limit is passed.

    // Vertices (or their equivalent) compiled into the open list; inside a
    // shape they are also what each placement replays.
    bool store(ReaderContext* ctx, double vertices);
    // Inside a shape: a line segment of `length`, a filled area of `area`
    // (its extent), drawn at every placement. Nothing in a layer, where the
    // file's own commands are drawn whatever they cost.
    void segment(double length) {
        if (frame_ != nullptr) frame_->lineLength += length, frame_->lineSegments += 1.0;
    }
    void fill(double area) {
        if (frame_ != nullptr) frame_->fillArea += area, frame_->fills += 1.0;
    }
    // A matrix push that holds `depth` further pushes inside it.
    bool push(ReaderContext* ctx, int depth);
    bool newList(ReaderContext* ctx);
    bool storeTexels(ReaderContext* ctx, double texels);
    // A defined shape placed in the open list, scaled by (sx, sy).
    bool place(ReaderContext* ctx, const ReplayCost& shape, double sx, double sy);
    // A stored definition drawn again, scaled by (sx, sy): a placed shape,
    // an edge set's points as a strip or a face's outline. Inside a shape it
    // becomes part of what that shape replays; in a layer it is counted
    // against the allowances. What it compiles is stored apart.
    bool replay(ReaderContext* ctx, const ReplayCost& cost, double sx = 1.0, double sy = 1.0);
    // One outline given to the tessellator, closed by its last edge: the
    // steps its sweep and relabelling take at worst.
    bool tessellate(ReaderContext* ctx, std::span<const Point> outline);
    // The tessellator steps left, which bounds how many points cutting an
    // outline into slabs may make.
    double tessellatorStepsLeft(const ReaderContext* ctx);
    // Refuses an outline the tessellator cannot be given.
    bool refuseFill(ReaderContext* ctx) { return fail(ctx, kFillTooComplex); }

    // What was counted, for tests.
    double storedVertices() const { return stored_; }
    double replayedVertices() const { return replayedVertices_; }
    double replayedLinePixels() const { return replayedLinePixels_; }
    double replayedFillPixels() const { return replayedFillPixels_; }
    double tessellatorSteps() const { return tessSteps_; }

    static constexpr const char* kFillTooComplex = "Renderer: Filled area too complex.";

    // The GL context's projection stack depth, read where the scene is made
    // (the parse may run where no context is current): placements push it.
    void takeProjectionStackDepth(int depth) {
        if (depth >= 2) maxDepth_ = depth - 2;
    }

private:
    void start(const ReaderContext* ctx);
    bool fail(ReaderContext* ctx, const char* message);
    bool charge(ReaderContext* ctx, double vertices, double linePixels, double fillPixels);

    bool started_ = false;
    bool failed_ = false;
    double fileBytes_ = 0.0;
    double stored_ = 0.0;
    double replayedVertices_ = 0.0;
    double replayedLinePixels_ = 0.0;
    double replayedFillPixels_ = 0.0;
    double tessSteps_ = 0.0;
    int lists_ = 0;
    double texels_ = 0.0;
    int maxDepth_ = 30;
    // Pixels per scene unit at the reference paint, and the size of the
    // reference picture.
    double pixelsPerUnit_ = 0.0;
    double diagonalPixels_ = 1000.0;
    double screenPixels_ = kReferenceWidth * kReferenceHeight;

    ReplayCost shapeFrame_;
    ReplayCost* frame_ = nullptr;
};

}  // namespace qmv::renderer
