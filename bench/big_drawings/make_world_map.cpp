// Writes the world map drawing (world_map.h) to OUT, raw or, when the name
// carries ".qmvz", compressed, and says what it holds.
//
//   make_world_map OUT.qmv[z] [--scale F] [--seed N]
#include <cinttypes>
#include <cstdio>

#include "drawing_cli.h"
#include "world_layout.h"
#include "world_map.h"

namespace {

using namespace qmv::bench;

void report(const char* layer, const PathTally& tally, int copies) {
    std::printf("%-11s %8" PRId64 " %-9s %10" PRId64 " points, largest %" PRId64
                ", steps 16/24/32-bit: %" PRId64 "/%" PRId64 "/%" PRId64 "\n",
                layer, tally.paths / copies, copies == 2 ? "polygons" : "polylines", tally.points,
                tally.largestPath, tally.pathsBySize[0], tally.pathsBySize[1],
                tally.pathsBySize[2]);
}

}  // namespace

int main(int argc, char** argv) {
    const DrawingProgram program = {"make_world_map",
                                    "usage: make_world_map OUT.qmv[z] [--scale F] [--seed N]\n",
                                    largestWorldScale(), kWorldSeed};
    DrawingArgs args;
    int exitStatus = 0;
    if (!parseDrawingArgs(argc, argv, program, args, exitStatus)) return exitStatus;

    qmv::SceneWriter writer;
    const WorldMapCounts counts = writeWorldMap(writer, {.scale = args.scale, .seed = args.seed});
    if (const int status = saveDrawing(writer, program, args.output); status != 0) return status;

    PathTally all;
    for (const PathTally* layer :
         {&counts.continents, &counts.islands, &counts.lakes, &counts.borders}) {
        all.add(*layer);
    }
    report("continents", counts.continents, 2);
    report("islands", counts.islands, 2);
    report("lakes", counts.lakes, 2);
    report("borders", counts.borders, 1);
    if (counts.misplaced > 0) {
        std::printf("%" PRId64 " medium islands or lakes found no place of their kind\n",
                    counts.misplaced);
    }
    std::printf("%" PRId64 " paths, %" PRId64 " points, %zu bytes before compression\n", all.paths,
                all.points, writer.bytes().size());
    return 0;
}
