#include "qmv/textform/tool_options.h"

#include <string_view>

namespace qmv::textform {

ParsedToolOptions parseToolOptions(int argc, const char* const* argv, bool outputRequired) {
    ParsedToolOptions parsed;
    ToolOptions& o = parsed.options;
    bool optionsEnded = false;
    bool sawOutput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            o.help = true;
            parsed.ok = true;
            return parsed;
        }
        if (!optionsEnded && arg == "--version") {
            o.version = true;
            parsed.ok = true;
            return parsed;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "-o") {
            if (sawOutput) {
                parsed.error = "-o given twice";
                return parsed;
            }
            if (i + 1 >= argc) {
                parsed.error = "-o needs a file name";
                return parsed;
            }
            o.output = argv[++i];
            sawOutput = true;
            if (o.output.empty()) {
                parsed.error = "-o needs a file name";
                return parsed;
            }
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + std::string(arg);
            return parsed;
        } else if (o.input.empty() && !arg.empty()) {
            o.input = arg;
        } else {
            parsed.error = "one input file only";
            return parsed;
        }
    }
    if (o.input.empty()) {
        parsed.error = "no input file";
        return parsed;
    }
    if (outputRequired && !sawOutput) {
        parsed.error = "no output file (-o OUT)";
        return parsed;
    }
    parsed.ok = true;
    return parsed;
}

}  // namespace qmv::textform
