// What decides how the next operands are encoded, and where the next command
// may stand, tracked the way the reader tracks it: the header's point sizes,
// the attribute commands, the return to the end-of-global-layer state at each
// Layer, and the state saved by BeginSetShape and by each shape placement
// that EndSetShape restores.
#pragma once

#include <cstdint>
#include <string>

#include "command.h"
#include "qmv/format.h"

namespace qmv::textform {

struct Encodings {
    int absPointSize = 32;
    int relPointSize = 24;
    int colorSize = 6;
    bool hasPalette = false;  // a palette is in force (colour sizes 0 and 1 need one)
    int64_t lastShape = -1;   // what RepeatShape places; -1 before any
};

enum class Region { Global, ShapeBody, Layer };

// Where a command may stand, from the reader's walk of the file.
enum class Placement {
    Accepted,
    EndsNothing,   // EndSetShape outside a shape definition
    NotInGlobal,   // drawing command or object in the global layer
    OnlyInGlobal,  // image or shape definition after the global layer or in a shape
    LayerInShape,  // Layer inside a shape definition
    ShapeInShape,  // BeginSetShape inside a shape definition
    Undefined,     // no class: accepted nowhere
};

class SceneState {
public:
    void startAfterHeader(const Header& header);

    const Encodings& now() const { return now_; }
    Region region() const { return region_; }

    Placement placement(int opcode) const;

    // The state change a command makes once its operands are read.
    void apply(const Command& command);

private:
    Encodings now_;
    Encodings layerStart_;
    Encodings shapeSaved_;
    Region region_ = Region::Global;
};

// The message the reader records for a command whose operands it has read,
// or "" when it records none (stretch mode, repeat without a shape, images
// above the reader's limit).
std::string readerObjection(const Command& command, const Encodings& encodings);

}  // namespace qmv::textform
