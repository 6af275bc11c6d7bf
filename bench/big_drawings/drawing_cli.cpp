#include "drawing_cli.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace qmv::bench {

namespace {

bool parseNumber(std::string_view text, auto& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool usageError(const DrawingProgram& program, const char* problem, int& exitStatus) {
    std::fprintf(stderr, "%s: %s\n%s", program.name, problem, program.usage);
    exitStatus = 2;
    return false;
}

}  // namespace

bool parseDrawingArgs(int argc, char** argv, const DrawingProgram& program, DrawingArgs& args,
                      int& exitStatus) {
    args.seed = program.defaultSeed;
    bool haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--seed") {
            if (i + 1 >= argc || !parseNumber(argv[++i], args.seed)) {
                return usageError(program, "a whole number, 0 or more, must follow --seed",
                                  exitStatus);
            }
        } else if (arg == "--scale" && program.maxScale > 0.0) {
            if (i + 1 >= argc || !parseNumber(argv[++i], args.scale) || !(args.scale > 0.0) ||
                args.scale > program.maxScale) {
                char problem[80];
                std::snprintf(problem, sizeof problem,
                              "a number above 0, at most %g, must follow --scale",
                              program.maxScale);
                return usageError(program, problem, exitStatus);
            }
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(program.usage, stdout);
            exitStatus = 0;
            return false;
        } else if (!arg.empty() && arg[0] == '-') {
            return usageError(program, "unknown option", exitStatus);
        } else if (haveOutput) {
            return usageError(program, "only one output file is written", exitStatus);
        } else {
            args.output = arg;
            haveOutput = true;
        }
    }
    if (!haveOutput) return usageError(program, "no output file given", exitStatus);
    return true;
}

int saveDrawing(SceneWriter& writer, const DrawingProgram& program, const std::string& path) {
    if (writer.save(path)) return 0;
    std::fprintf(stderr, "%s: %s\n", program.name, writer.error().c_str());
    return 1;
}

}  // namespace qmv::bench
