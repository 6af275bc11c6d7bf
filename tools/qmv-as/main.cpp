// qmv-as: assembles the text form of a scene into a scene file.
#include <cstdio>

#include "qmv/format.h"
#include "qmv/textform/file_io.h"
#include "qmv/textform/textform.h"
#include "qmv/textform/tool_options.h"
#include "qmv_version.h"

namespace {

constexpr const char* kUsage =
    "Usage: qmv-as TEXT -o OUT\n"
    "Assembles the scene text TEXT into the scene file OUT; OUT is written\n"
    "compressed when its name carries .qmvz. OUT appears only when TEXT\n"
    "assembles without error. The text form is described in qmvt(5).\n"
    "\n"
    "  -o OUT              the scene file to write\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Exit status: 0 written; 1 TEXT could not be read or assembled (the\n"
    "message names its line and column) or OUT not written; 2 usage error.";

}  // namespace

int main(int argc, char** argv) {
    using namespace qmv::textform;
    const ParsedToolOptions parsed = parseToolOptions(argc, argv, true);
    if (!parsed.ok) {
        std::fprintf(stderr, "qmv-as: %s\n%s\n", parsed.error.c_str(), kUsage);
        return 2;
    }
    const ToolOptions& o = parsed.options;
    if (o.help) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    if (o.version) {
        std::printf("qmv-as %s\n", QMV_VERSION);
        return 0;
    }
    std::string text;
    std::string why;
    if (!readTextFile(o.input, text, why)) {
        std::fprintf(stderr, "qmv-as: %s: %s\n", o.input.c_str(), why.c_str());
        return 1;
    }
    const AssembleResult result = assembleText(text);
    if (!result.ok) {
        std::fprintf(stderr, "%s:%d:%d: %s\n", o.input.c_str(), result.error.line,
                     result.error.column, result.error.message.c_str());
        return 1;
    }
    if (!writeFileWhole(o.output, result.bytes, qmv::isCompressedName(o.output.c_str()), why)) {
        std::fprintf(stderr, "qmv-as: %s: %s\n", o.output.c_str(), why.c_str());
        return 1;
    }
    return 0;
}
