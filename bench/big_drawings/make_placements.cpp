// Writes the placements drawing (placement_layers.h) to OUT, raw or, when
// the name carries ".qmvz", compressed, and says what it holds.
//
//   make_placements OUT.qmv[z] [--seed N]
#include <cinttypes>
#include <cstdio>

#include "drawing_cli.h"
#include "placement_layers.h"

namespace {

using namespace qmv::bench;

constexpr DrawingProgram kProgram = {"make_placements",
                                     "usage: make_placements OUT.qmv[z] [--seed N]\n", 0.0,
                                     kPlacementsSeed};

}  // namespace

int main(int argc, char** argv) {
    DrawingArgs args;
    int exitStatus = 0;
    if (!parseDrawingArgs(argc, argv, kProgram, args, exitStatus)) return exitStatus;

    qmv::SceneWriter writer;
    const PlacementCounts counts = writePlacementsScene(writer, args.seed);
    if (const int status = saveDrawing(writer, kProgram, args.output); status != 0) return status;

    const SymbolLibrary& library = counts.library;
    std::printf("shapes      %d: %d symbols (%" PRId64 " paths, %" PRId64
                " points), %d clusters, %d groups, %" PRId64 " placements inside them\n",
                library.shapes(), library.symbols, library.paths.paths, library.paths.points,
                library.clusters, library.groups, library.placements);
    std::printf("placements  %" PRId64 ": %" PRId64 " stamped, %" PRId64 " repeated, %" PRId64
                " turned and scaled; %" PRId64 " of them clusters or groups\n",
                counts.stamped + counts.repeated + counts.turned, counts.stamped, counts.repeated,
                counts.turned, counts.clusters);
    std::printf("%zu bytes before compression\n", writer.bytes().size());
    return 0;
}
