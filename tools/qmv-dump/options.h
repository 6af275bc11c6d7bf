// The command line of qmv-dump.
#pragma once

#include <string>

namespace qmv {

struct DumpOptions {
    enum class Mode {
        Summary,  // no mode flag: header values, counts and the outcome
        Events,   // --events (and --state): JSON Lines, one per callback
        Trace,    // --trace: the reader's trace of the parse, unchanged
    };
    Mode mode = Mode::Summary;
    bool withState = false;
    bool callbacksEnabled = true;
    bool help = false;
    bool version = false;
    std::string path;
};

struct ParsedOptions {
    bool ok = false;
    DumpOptions options;
    std::string error;  // why the command line was refused, when !ok
};

ParsedOptions parseOptions(int argc, const char* const* argv);

// "Usage: qmv-dump [--events] [--state] [--trace] [--no-callbacks] FILE"
const char* usageLine();
// --help's text: the usage line, what the program does and its options.
const char* helpText();

}  // namespace qmv
