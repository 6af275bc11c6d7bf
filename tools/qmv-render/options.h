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
    bool help = false;
};

struct ParsedRenderOptions {
    RenderOptions options;
    std::string error;  // a usage error; empty when the line was understood
};

// `args` leaves out the program name. --help wins over every other problem.
ParsedRenderOptions parseRenderOptions(std::span<const char* const> args);

extern const char* const kRenderUsage;

}  // namespace qmv
