// The command lines of qmv-as and qmv-dis: one input and an optional -o
// output, --help, and "--" to end the options.
#pragma once

#include <string>

namespace qmv::textform {

struct ToolOptions {
    bool help = false;
    bool version = false;
    std::string input;
    std::string output;  // empty: standard output
};

struct ParsedToolOptions {
    bool ok = false;
    ToolOptions options;
    std::string error;  // the usage problem when not ok
};

ParsedToolOptions parseToolOptions(int argc, const char* const* argv, bool outputRequired);

}  // namespace qmv::textform
