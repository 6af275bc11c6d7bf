// The walk of a scene's commands: where a command may stand, and the states
// that a walk saves and returns to. The reader, the writer and the text form
// each walk files with a state of their own (what they need to decode or
// encode operands); these rules are the one copy they share.
//
//   the first Layer ends the global layer, and every Layer starts from the
//     state at that end;
//   BeginSetShape saves the state, and EndSetShape returns to the saved one;
//   placing a shape (Shape, StampShape, RepeatShape) saves the state afresh,
//     so an EndSetShape after a placement inside a definition returns there.
#pragma once

#include "qmv/opcodes.h"

namespace qmv {

enum class SceneRegion { Global, ShapeBody, Layer };

// Where a command may stand.
enum class Placement {
    Accepted,
    EndsNothing,   // EndSetShape outside a shape definition
    NotInGlobal,   // drawing command or object in the global layer
    OnlyInGlobal,  // image or shape definition after the global layer or in a shape
    LayerInShape,  // Layer inside a shape definition
    ShapeInShape,  // BeginSetShape inside a shape definition
    Undefined,     // no class: accepted nowhere
};

constexpr Placement placementOf(SceneRegion region, int opcode) {
    const OpcodeClass cls = opcodeClass(opcode);
    if (cls == OpcodeClass::None) return Placement::Undefined;
    switch (region) {
    case SceneRegion::Global:
        if (cls == OpcodeClass::Attribute || cls == OpcodeClass::Definition ||
            cls == OpcodeClass::Image || cls == OpcodeClass::Layer) {
            return Placement::Accepted;
        }
        if (opcode == QMVR_BeginSetShape) return Placement::Accepted;
        if (opcode == QMVR_EndSetShape) return Placement::EndsNothing;
        return Placement::NotInGlobal;
    case SceneRegion::ShapeBody:
        if (isBodyClass(cls) || opcode == QMVR_EndSetShape) return Placement::Accepted;
        if (cls == OpcodeClass::Layer) return Placement::LayerInShape;
        if (opcode == QMVR_BeginSetShape) return Placement::ShapeInShape;
        return Placement::OnlyInGlobal;
    case SceneRegion::Layer:
        if (isBodyClass(cls) || cls == OpcodeClass::Layer) return Placement::Accepted;
        return Placement::OnlyInGlobal;
    }
    return Placement::Undefined;
}

// A walker's state `now` with the saved copies the rules above return to.
template <class State>
class SceneWalk {
public:
    State now{};

    SceneRegion region() const { return region_; }
    const State& layerStart() const { return layerStart_; }

    void restart(const State& state) {
        *this = SceneWalk{};
        now = state;
    }
    void beginLayer() {
        if (!layersBegun_) layerStart_ = now;
        layersBegun_ = true;
        now = layerStart_;
        region_ = SceneRegion::Layer;
    }
    void beginShape() {
        shapeSaved_ = now;
        region_ = SceneRegion::ShapeBody;
    }
    void endShape() {
        now = shapeSaved_;
        region_ = SceneRegion::Global;
    }
    void placeShape() { shapeSaved_ = now; }

    // Every state held: now and the saved copies.
    template <class F>
    void forEachState(F&& f) {
        f(now);
        f(layerStart_);
        f(shapeSaved_);
    }

private:
    State layerStart_{};
    State shapeSaved_{};
    SceneRegion region_ = SceneRegion::Global;
    bool layersBegun_ = false;
};

}  // namespace qmv
