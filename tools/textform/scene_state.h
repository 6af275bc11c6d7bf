// What decides how the next operands are encoded, and where the next command
// may stand, tracked the way the reader tracks it: the header's point sizes,
// the attribute commands, and the saved states of the scene walk
// (qmv/scene_walk.h).
#pragma once

#include <cstdint>
#include <string>

#include "command.h"
#include "qmv/format.h"
#include "qmv/scene_walk.h"

namespace qmv::textform {

struct Encodings {
    int absPointSize = 32;
    int relPointSize = 24;
    int colorSize = 6;
    bool hasPalette = false;  // a palette is in force (colour sizes 0 and 1 need one)
    int64_t lastShape = -1;   // what RepeatShape places; -1 before any
};

using Region = SceneRegion;

class SceneState {
public:
    void startAfterHeader(const Header& header);

    const Encodings& now() const { return walk_.now; }
    Region region() const { return walk_.region(); }

    Placement placement(int opcode) const { return placementOf(walk_.region(), opcode); }

    // The state change a command makes once its operands are read.
    void apply(const Command& command);

private:
    SceneWalk<Encodings> walk_;
};

// The message the reader records for a command whose operands it has read,
// or "" when it records none (stretch mode, repeat without a shape, images
// above the reader's limit).
std::string readerObjection(const Command& command, const Encodings& encodings);

}  // namespace qmv::textform
