// The recorder the renderer's callbacks draw through: the immediate-mode
// calls they once gave the GL (begin, colour, texture coordinate, vertex,
// end, and the state changes between primitives), turned into the scene's
// retained geometry (scene_geometry.h). It issues no GL.
//
// It keeps the current colour and texture coordinate as the GL would, so a
// vertex takes the ones in force when it is given. A primitive whose
// vertices all have one colour goes to the plain pool under a colour
// command, given only when the colour changes, so that neighbouring
// primitives of one colour draw as one batch; one whose colours vary goes
// to the coloured pool. With texturing on, the texture replaces the colour
// and the primitive goes to the textured pool.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "qmv/scene_types.h"
#include "scene_geometry.h"

namespace qmv::renderer {

class GeometryRecorder {
public:
    explicit GeometryRecorder(SceneGeometry& geometry) : geometry_(geometry) {}

    // Where what follows is recorded; nullptr records nothing (drawing in
    // the global layer outside a shape shows nowhere). `dashes` is the dash
    // pattern in force, -1 when unknown.
    void setTarget(Recording* target, int dashes);
    Recording* target() const { return target_; }

    // State changes, in drawing order.
    void blend(int mode);
    void dashes(int pattern);
    void shade(bool smooth);
    void bindTexture(const TextureState& state);
    void texturing(bool on);
    void stencil(Op phase);

    // The map applied to every vertex from here on (text and placed shapes
    // are drawn through one).
    void setTransform(const Affine& transform);
    void clearTransform();

    // A primitive, as between glBegin and glEnd.
    void begin(DrawKind kind);
    void colour(double r, double g, double b, double a);
    void colour(const double* rgba) { colour(rgba[0], rgba[1], rgba[2], rgba[3]); }
    void texCoord(double s, double t) { texCoord_ = {float(s), float(t)}; }
    void vertex(double x, double y);
    void end();

    // An item whose levels the caller makes: for each level, beginLevel,
    // then its pieces as beginPiece, vertex..., endPiece. The pieces are
    // drawn as `kind` in the plain pool, with no colour (for the stencil).
    void beginItem(DrawKind kind);
    void beginLevel(double tolerance);
    void beginPiece();
    void endPiece();
    void endItem();

    // Coarser levels for the item just recorded, a filled outline drawn as
    // separate triangles in the plain pool: the fans of its thinned points
    // wherever they make a convex outline (any triangulation of it fills
    // the same pixels), and nothing where fewer than three are left. False,
    // adding nothing, when the last command is no such item.
    bool addFillLevels(std::span<const Point> outline);

    // A shape drawn with a transform: a place command, or for a small
    // shape its commands copied with every vertex mapped.
    void place(int shape, const Recording& recording, const Affine& transform);

private:
    struct Pending {
        std::vector<Point> points;
        std::vector<std::array<float, 4>> colours;
        std::vector<std::array<float, 2>> texCoords;
        void clear() {
            points.clear();
            colours.clear();
            texCoords.clear();
        }
    };

    void command(Op op, uint32_t index);
    void useColour(const std::array<float, 4>& rgba);
    bool dashesSolid() const { return dashes_ == 0xFFFF || dashes_ == 0; }
    PoolKind poolFor(const Pending& pending) const;
    // Stores the pending points `order` names in one group of the pool, as
    // a piece of that many points.
    void storePiece(PoolKind pool, const Pending& pending, std::span<const uint32_t> order);
    void addPieces(PoolKind pool, DrawKind kind, const Pending& pending,
                   std::span<const uint32_t> order);
    void finishItem(DrawKind kind, PoolKind pool, uint32_t levelBegin);
    void expand(const Recording& recording, const Affine& transform);

    SceneGeometry& geometry_;
    Recording* target_ = nullptr;
    int dashes_ = -1;
    bool texturing_ = false;
    bool marking_ = false;  // between the stencil's mark and cover
    bool haveLastColour_ = false;
    std::array<float, 4> lastColour_{};

    std::array<float, 4> colour_{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 2> texCoord_{0.0f, 0.0f};
    bool transformed_ = false;
    Affine transform_;

    DrawKind kind_ = DrawKind::Lines;
    bool open_ = false;
    Pending pending_;
    std::vector<uint32_t> order_;
    // beginItem's item under construction.
    uint32_t itemLevelBegin_ = 0;
    DrawKind itemKind_ = DrawKind::Lines;
    bool itemOpen_ = false;
    uint64_t expansionLeft_ = uint64_t{1} << 24;
};

}  // namespace qmv::renderer
