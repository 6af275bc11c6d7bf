// What a scene may cost to compile and paint, in proportion to the size of
// its file, so that a small file cannot make the renderer work or hold
// without bound (docs/robustness.md gives the figures and the reasons).
//
// Costs are counted in units of about a nanosecond of CPU of Mesa's software
// rasteriser, for the scene painted once at its initial view in 800 x 600
// pixels (what qmv-render draws by default): vertices and primitives
// compiled and replayed, pixels of lines and fills, texels uploaded at each
// use of a texture, display lists, the work of the polygon tessellator. A
// shape's cost is counted again at every placement, scaled by the
// placement, so that shapes placing shapes cannot multiply the work unseen.
//
// Every callback asks before it draws; past a limit the budget records the
// reason with readerReportError, the callback draws nothing and returns
// CALLBACK_FAILED, and the parse stops as after any error.
#pragma once

#include <cstdint>
#include <span>

#include "qmv/reader.h"

namespace qmv::renderer {

// Unit costs (nanoseconds of the reference machine, rounded up).
inline constexpr double kCostVertex = 150.0;
inline constexpr double kCostPrimitive = 600.0;  // a glBegin/glEnd pair, a matrix operation
// A blend function or line stipple set inside a list, a switch between flat
// and smooth shading: the rasteriser takes up new state between draws.
inline constexpr double kCostStateChange = 10000.0;
inline constexpr double kCostShadeChange = 25000.0;
inline constexpr double kCostLinePixel = 9.0;
inline constexpr double kCostStippledLinePixel = 70.0;  // dashes of one pixel are drawn one by one
inline constexpr double kCostFillPixel = 2.0;
inline constexpr double kCostTexturedFillPixel = 5.0;
// Each use of a texture specifies it again, which makes the rasteriser
// finish what it holds: a fixed cost, and one per texel.
inline constexpr double kCostTextureUse = 35000.0;
inline constexpr double kCostTexelUse = 2.0;
inline constexpr double kCostTexelDefine = 40.0;  // scaling, border and list copy of a new image
inline constexpr double kCostList = 5000.0;
// Mesa's display-list compiler copies the data compiled so far when it
// makes a list: a new list also costs this much per vertex compiled before
// it. A Bézier segment's list weighs as much as this many vertices.
inline constexpr double kCostListPerStoredVertex = 0.004;
inline constexpr double kBezierStoredVertices = 550.0;
inline constexpr double kCostBezierSegment = 4000.0;  // 101 evaluated points
// Walking one list of an edge set, or resolving one edge-set number of a
// face, whether or not it holds a point.
inline constexpr double kCostEdgeList = 20.0;
inline constexpr double kCostTessVertex = 500.0;
inline constexpr double kCostTessStep = 10.0;  // one step of the tessellator's sweep
// The tessellator relabels a face's whole loop of edges at each diagonal it
// adds and each pair of faces it joins: at worst about as many steps as the
// outline's points times all its points and crossings (combs and spoke
// wheels: up to 4 ns a step). Cutting large outlines into slabs keeps the
// first factor small. The tessellator's costs are counted at half what they
// were measured to take alone: files of nothing but filled outlines took
// 0.25 to 0.8 ns of CPU per unit of the full costs, against 2 ns for the
// dearest mixes the allowance is set for.
inline constexpr double kCostTessLoopStep = 2.0;

// The allowance. Every file gets kBudgetBase, what a file of up to
// kBudgetBaseBytes may cost: about a second and a half of CPU at most, on
// the reference machine, for the mixes of commands that cost the most per
// unit. A larger file gets kBudgetPerFileByte more for each byte past that
// (its size on disk, compressed or not), so a big drawing opens however it
// was saved, while a file can still ask for no more than a fixed multiple
// of its size.
inline constexpr double kBudgetBase = 680e6;
inline constexpr double kBudgetBaseBytes = 1 << 20;
inline constexpr double kBudgetPerFileByte = 5000.0;

// The allowance for a file of `fileBytes` bytes.
double budgetAllowance(double fileBytes);

// Hard limits on what the GL and the tessellator hold.
inline constexpr int kMaxDisplayLists = 65536;
inline constexpr double kMaxTextureTexels = double(1 << 23);  // all images, borders included
inline constexpr int kMaxTextureSide = 2048;
inline constexpr double kMaxTessVertices = double(1 << 18);  // one polygon, crossings included

// The reference paint that pixel costs are estimated for.
inline constexpr double kReferenceWidth = 800.0;
inline constexpr double kReferenceHeight = 600.0;

// What replaying one list costs. Pixel costs of a layer list are counted as
// pixels at once; those of a shape list are kept as scene lengths and areas
// in the shape's own units and turned into pixels where the shape is placed
// (lines at the stippled cost, fills at the textured one: the state they
// are drawn in is the caller's).
struct CostFrame {
    double units = 0.0;
    double lineLength = 0.0;
    double lineSegments = 0.0;
    double fillArea = 0.0;
    double fills = 0.0;
    int depth = 0;  // matrix pushes nested inside the list
};

class SceneBudget {
public:
    // True once a limit was passed: every later request fails at once.
    bool failed() const { return failed_; }

    // The list that the charges that follow go to.
    void beginLayer() {
        frame_ = &layerFrame_, *frame_ = CostFrame{}, inLayer_ = true;
        stippled_ = smooth_ = Known::No;
    }
    void beginShape() {
        shapeFrame_ = CostFrame{}, frame_ = &shapeFrame_, inLayer_ = false;
        stippled_ = smooth_ = Known::No;
    }
    CostFrame endShape() {
        frame_ = nullptr;
        return shapeFrame_;
    }

    // Each returns false after recording why when the request passes a limit.
    // `stored`: the vertices (or their equivalent) compiled into the list.
    bool units(ReaderContext* ctx, double units, double stored = 0.0);
    bool vertices(ReaderContext* ctx, double count) {
        return units(ctx, count * kCostVertex, count);
    }
    // A line segment of the given length in the list's coordinates.
    bool segment(ReaderContext* ctx, double length);
    // A filled area: its extent in the list's coordinates; `textured` when a
    // texture is sampled over it.
    bool fill(ReaderContext* ctx, double area, bool textured = false);
    // The GL state that lists change and that makes the rasteriser's work
    // dearer: a new blend function, the line stipple (`pattern`), the shade
    // model a fill mode draws with (GL_SMOOTH for gradients).
    bool blendFunction(ReaderContext* ctx) { return units(ctx, kCostStateChange); }
    bool lineStipple(ReaderContext* ctx, int pattern);
    bool shading(ReaderContext* ctx, bool smooth);
    // A matrix push that holds `depth` further pushes inside it.
    bool push(ReaderContext* ctx, int depth);
    bool newList(ReaderContext* ctx);
    bool storeTexels(ReaderContext* ctx, double texels);
    // A defined shape placed in the current list, scaled by (sx, sy).
    bool place(ReaderContext* ctx, const CostFrame& shape, double sx, double sy);
    // One outline of points given to the tessellator, closed by its last
    // edge: its size, the sweep work its edges and crossings cause, and the
    // relabelling of face loops at its worst.
    bool tessellate(ReaderContext* ctx, std::span<const Point> outline);
    // Whether an outline may grow to `count` points before it is
    // tessellated, or its pieces hold that many.
    bool tessellationRoom(ReaderContext* ctx, double count);

    double spent() const { return spent_; }

private:
    void start(const ReaderContext* ctx);
    bool fail(ReaderContext* ctx, const char* message);

    bool started_ = false;
    bool failed_ = false;
    double allowance_ = 0.0;
    double spent_ = 0.0;
    double stored_ = 0.0;
    int lists_ = 0;
    double texels_ = 0.0;
    int maxDepth_ = 30;
    // Pixels per scene unit at the reference paint, and the pixel size of
    // the reference client area.
    double pixelsPerUnit_ = 0.0;
    double diagonalPixels_ = 1000.0;
    double screenPixels_ = kReferenceWidth * kReferenceHeight;

    CostFrame layerFrame_;
    CostFrame shapeFrame_;
    CostFrame* frame_ = nullptr;
    bool inLayer_ = false;
    // What the list being compiled has set, when known: a shape's list runs
    // under whatever its caller set, and a placed shape may change both.
    enum class Known { No, Off, On };
    Known stippled_ = Known::No;
    Known smooth_ = Known::No;
};

}  // namespace qmv::renderer
