#include "options.h"

#include <string_view>

namespace qmv {

const char* usageLine() {
    return "usage: qmv-dump [--events] [--state] [--trace] [--no-callbacks] FILE";
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
    if (options.help) {
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
