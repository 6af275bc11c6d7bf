#include "options.h"

#include <string_view>

namespace qmv {

const char* usageLine() {
    return "Usage: qmv-dump [--events] [--state] [--trace] [--no-callbacks] FILE";
}

const char* helpText() {
    return "Usage: qmv-dump [--events] [--state] [--trace] [--no-callbacks] FILE\n"
           "Decodes a QMV scene file (.qmv, or .qmvz compressed) and prints a summary\n"
           "of it: the header's values, the count of each kind of event, and the\n"
           "outcome of the parse.\n"
           "\n"
           "  --events            print every callback instead, as JSON Lines\n"
           "  --state             with --events, add the graphic state to each line\n"
           "  --trace             print the reader's trace of the parse\n"
           "  --no-callbacks      parse with the callbacks switched off\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "Exit status: 0 the file was read whole; 1 the parse stopped at an error\n"
           "(the summary or the events up to it are still printed); 2 usage error.";
}

ParsedOptions parseOptions(int argc, const char* const* argv) {
    ParsedOptions parsed;
    DumpOptions& options = parsed.options;
    bool events = false;
    bool trace = false;
    bool optionsEnded = false;
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--events") {
                events = true;
            } else if (arg == "--state") {
                events = true;
                options.withState = true;
            } else if (arg == "--trace") {
                trace = true;
            } else if (arg == "--no-callbacks") {
                options.callbacksEnabled = false;
            } else if (arg == "--help" || arg == "-h") {
                options.help = true;
            } else if (arg == "--version") {
                options.version = true;
            } else {
                parsed.error = "unknown option " + std::string(arg);
                return parsed;
            }
            continue;
        }
        if (havePath) {
            parsed.error = "more than one file given";
            return parsed;
        }
        options.path = std::string(arg);
        havePath = true;
    }
    if (options.help || options.version) {
        parsed.ok = true;
        return parsed;
    }
    // Both streams go to standard output; interleaved they would parse as neither.
    if (events && trace) {
        parsed.error = "--trace cannot be combined with --events or --state";
        return parsed;
    }
    if (!havePath) {
        parsed.error = "no file given";
        return parsed;
    }
    if (events) options.mode = DumpOptions::Mode::Events;
    if (trace) options.mode = DumpOptions::Mode::Trace;
    parsed.ok = true;
    return parsed;
}

}  // namespace qmv
