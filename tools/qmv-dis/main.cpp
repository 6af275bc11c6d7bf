// qmv-dis: writes a scene file as its text form, which qmv-as turns back
// into the same bytes.
#include <cstdio>
#include <span>

#include "qmv/textform/file_io.h"
#include "qmv/textform/textform.h"
#include "qmv/textform/tool_options.h"
#include "qmv_version.h"

namespace {

constexpr const char* kUsage =
    "Usage: qmv-dis FILE [-o OUT]\n"
    "Writes the scene file FILE (read compressed when its name carries .qmvz)\n"
    "as text, to OUT or to standard output. qmv-as turns the text back into\n"
    "the same bytes. The text form is described in qmvt(5).\n"
    "\n"
    "  -o OUT              the text file to write (default: standard output)\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Exit status: 0 written; 1 FILE could not be read or decoded, or OUT not\n"
    "written; 2 usage error.";

}  // namespace

int main(int argc, char** argv) {
    using namespace qmv::textform;
    const ParsedToolOptions parsed = parseToolOptions(argc, argv, false);
    if (!parsed.ok) {
        std::fprintf(stderr, "qmv-dis: %s\n%s\n", parsed.error.c_str(), kUsage);
        return 2;
    }
    const ToolOptions& o = parsed.options;
    if (o.help) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    if (o.version) {
        std::printf("qmv-dis %s\n", QMV_VERSION);
        return 0;
    }
    std::vector<uint8_t> bytes;
    std::string why;
    if (!readSceneFile(o.input, bytes, why)) {
        std::fprintf(stderr, "qmv-dis: %s: %s\n", o.input.c_str(), why.c_str());
        return 1;
    }
    const std::string text = disassembleBytes(bytes);
    if (o.output.empty()) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "qmv-dis: cannot write to standard output\n");
            return 1;
        }
        return 0;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    if (!writeFileWhole(o.output, std::span<const uint8_t>(data, text.size()), false, why)) {
        std::fprintf(stderr, "qmv-dis: %s: %s\n", o.output.c_str(), why.c_str());
        return 1;
    }
    return 0;
}
