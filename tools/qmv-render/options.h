// The command line of qmv-render.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "qmv/view.h"

namespace qmv {

struct RenderOptions {
    std::string input;
    std::string output;
    int width = 800;
    int height = 600;
    std::vector<int> hiddenLayers;
    std::optional<WorldWindow> view;  // the file's bounds when absent
    // --thumbnail SIZE: the initial view fitted into SIZE x SIZE, keeping
    // the drawing's proportions; 0 when not asked for.
    int thumbnail = 0;
    // Give up after this many seconds of wall-clock time, writing no
    // image; 0 for no limit.
    double timeoutSeconds = 0.0;
    bool help = false;
    bool version = false;
};

// A thumbnail that nothing else limits gives up after this long.
inline constexpr int kThumbnailTimeoutSeconds = 10;

struct ParsedRenderOptions {
    RenderOptions options;
    std::string error;  // a usage error; empty when the line was understood
};

// `args` leaves out the program name. --help and --version win over every
// other problem.
ParsedRenderOptions parseRenderOptions(std::span<const char* const> args);

// The --help text.
std::string renderUsage();

}  // namespace qmv
