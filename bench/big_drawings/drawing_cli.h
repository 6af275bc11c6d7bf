// What the two drawing generators share on the command line: the output
// name, --scale and --seed, and saving the finished scene.
#pragma once

#include <cstdint>
#include <string>

#include "qmv/writer/scene_writer.h"

namespace qmv::bench {

struct DrawingProgram {
    const char* name;   // for messages
    const char* usage;  // the usage line, ended by a line feed
    double maxScale;    // the largest --scale; 0 where the program takes none
    uint64_t defaultSeed;
};

struct DrawingArgs {
    std::string output;
    double scale = 1.0;
    uint64_t seed = 0;
};

// Reads `OUT [--scale F] [--seed N]` (--scale only where the program takes
// it; F above 0, at most its maxScale). Returns true to go on; otherwise
// `exitStatus` is what main returns: 0 after --help, 2 after a usage error,
// which has been printed.
bool parseDrawingArgs(int argc, char** argv, const DrawingProgram& program, DrawingArgs& args,
                      int& exitStatus);

// Saves through SceneWriter::save (compressed when the name says so) and
// returns main's exit status: 0, or 1 with the writer's first problem
// printed.
int saveDrawing(SceneWriter& writer, const DrawingProgram& program, const std::string& path);

}  // namespace qmv::bench
