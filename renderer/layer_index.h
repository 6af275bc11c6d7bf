// What of a layer meets a view, found without walking the layer.
//
// Problem: zoomed in on a drawing of a million primitives, a frame culls
// them one by one, and that walk alone costs more than the few it draws.
//
// Method: each drawing command of a layer (an item, a stencil fill, a
// placement) is an entry filed under the cells of a grid over the layer
// that its bounds meet; entries meeting many cells go on a list visited
// always. Each entry keeps the state in force where it stands, as set by
// the layer itself, so that a frame can plan the entries a view finds in
// their order with their own state, and leave the layer in the state its
// end leaves: what the layer did not set comes from the layers before it.
//
// Invariant: the entries found for a view are, in drawing order, every
// entry whose bounds meet it (and maybe others), each with the state the
// whole walk would have given it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "frame_batches.h"
#include "scene_geometry.h"

namespace qmv::renderer {

class LayerIndex {
public:
    // The state at a point of the layer: the fields the layer set itself
    // (bits of kColour...) and their values.
    static constexpr uint8_t kColour = 1, kBlend = 2, kDashes = 4, kShade = 8, kTexturing = 16,
                             kTexture = 32;
    struct Epoch {
        DrawState state;
        uint8_t set = 0;
        bool operator==(const Epoch&) const = default;
    };
    struct Entry {
        uint32_t command;
        uint32_t epoch;
    };

    // `placed` gives the recording of a placement's shape, or nullptr.
    using PlacedRecording = std::function<const Recording*(const Placement&)>;
    void build(const Recording& recording, const SceneGeometry& geometry,
               const PlacedRecording& placed);

    // The entries that may meet `view`, in drawing order; `marks` is
    // scratch, kept from call to call.
    void find(const Box& view, std::vector<uint32_t>& found, std::vector<uint32_t>& marks,
              uint32_t& stamp) const;
    // Whether a view covers so much of the layer that walking it is cheaper.
    bool coversMost(const Box& view) const;

    const Entry& entry(uint32_t i) const { return entries_[i]; }
    const Epoch& epoch(uint32_t i) const { return epochs_[i]; }
    const Epoch& final() const { return final_; }
    // The state at an entry or at the end, with what the layer did not set
    // taken from `before`.
    static DrawState resolve(const Epoch& epoch, const DrawState& before);

private:
    struct Cells {
        int x0, y0, x1, y1;
    };
    Cells cellsOf(const Box& b) const;

    std::vector<Entry> entries_;
    std::vector<Epoch> epochs_;
    Epoch final_;
    Box box_;
    static constexpr int kSide = 64;
    std::vector<uint32_t> cellStart_;
    std::vector<uint32_t> cellEntries_;
    std::vector<uint32_t> everywhere_;
};

// The state a command leaves, for the walk of a frame and the index alike.
// `set` collects the fields it set.
void noteState(DrawState& state, uint8_t& set, const Command& command, const SceneGeometry& geometry);
// What a placed shape leaves in force after it.
void notePlacedState(DrawState& state, uint8_t& set, const Recording& shape);

}  // namespace qmv::renderer
