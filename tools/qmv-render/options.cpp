#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace qmv {

std::string renderUsage() {
    char timeLimit[96];
    std::snprintf(timeLimit, sizeof timeLimit, "                      %d seconds unless --timeout says otherwise\n",
                  kThumbnailTimeoutSeconds);
    return std::string(
               "Usage: qmv-render FILE -o OUT.png [OPTION]...\n"
               "   or: qmv-render --thumbnail SIZE FILE OUT.png [--timeout SECONDS]\n"
               "Renders a QMV scene file (.qmv, or .qmvz compressed) to a PNG image, as the\n"
               "viewer shows it in a client area of the given size.\n"
               "\n"
               "  -o, --output OUT.png\n"
               "                      the image to write (8-bit RGBA)\n"
               "  --size WxH          client area in pixels (default 800x600)\n"
               "  --hide N            hide layer N, counted from 0; may be repeated\n"
               "  --view XMIN,YMIN,XMAX,YMAX\n"
               "                      world window to show, widened to the image's\n"
               "                      proportions (default: the file's Lower Left and\n"
               "                      Upper Right)\n"
               "  --thumbnail SIZE    draw the initial view fitted into SIZE x SIZE pixels,\n"
               "                      keeping the drawing's proportions, into OUT.png (the\n"
               "                      freedesktop thumbnailer's call); the time limit is\n") +
           timeLimit +
           "  --timeout SECONDS   give up after SECONDS of wall-clock time, with exit\n"
           "                      status 1 and no image written\n"
           "  -h, --help          show this text\n"
           "  --version           show the version\n"
           "\n"
           "Needs no display and no GPU: it draws with Mesa's software rasteriser\n"
           "when nothing else is there.\n"
           "\n"
           "Exit status: 0 image written; 1 the file could not be read, the time limit\n"
           "passed or the image not written; 2 usage error.\n";
}

namespace {

constexpr int kMaxSide = 16384;
// A year: beyond it the interval timer's seconds could overflow.
constexpr double kMaxTimeoutSeconds = 365.0 * 86400.0;

bool parseInt(std::string_view text, long low, long high, int* out) {
    const std::string s(text);
    if (s.empty() || s[0] == '+' || s[0] == ' ') return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    *out = static_cast<int>(value);
    return true;
}

bool parseDouble(std::string_view text, double* out) {
    const std::string s(text);
    if (s.empty() || s[0] == ' ') return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(s.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

bool parseSize(std::string_view text, int* width, int* height) {
    const size_t x = text.find('x');
    return x != std::string_view::npos && parseInt(text.substr(0, x), 1, kMaxSide, width) &&
           parseInt(text.substr(x + 1), 1, kMaxSide, height);
}

bool parseView(std::string_view text, WorldWindow* world) {
    double values[4];
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',');
        if ((i < 3) != (comma != std::string_view::npos)) return false;
        if (!parseDouble(text.substr(0, comma), &values[i])) return false;
        text = i < 3 ? text.substr(comma + 1) : std::string_view{};
    }
    *world = {values[0], values[1], values[2], values[3]};
    return world->xmin < world->xmax && world->ymin < world->ymax;
}

}  // namespace

ParsedRenderOptions parseRenderOptions(std::span<const char* const> args) {
    ParsedRenderOptions parsed;
    RenderOptions& o = parsed.options;
    auto fail = [&](std::string message) {
        if (parsed.error.empty()) parsed.error = std::move(message);
    };
    bool outputGiven = false;

    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        // Options take their value as the next argument or after '='.
        std::string_view name = arg;
        std::string_view value;
        bool hasValue = false;
        if (arg.starts_with("--") && arg.find('=') != std::string_view::npos) {
            name = arg.substr(0, arg.find('='));
            value = arg.substr(arg.find('=') + 1);
            hasValue = true;
        }
        const bool takesValue =
            name == "-o" || name == "--output" || name == "--size" || name == "--hide" ||
            name == "--view" || name == "--thumbnail" || name == "--timeout";
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                fail(std::string(name) + " needs a value");
                continue;
            }
            value = args[++i];
        }
        if (name == "-o" || name == "--output") {
            o.output = std::string(value);
            outputGiven = true;
            if (o.output.empty()) fail("-o needs a file name");
        } else if (name == "--size") {
            if (!parseSize(value, &o.width, &o.height)) {
                fail("--size wants WxH, each 1 to " + std::to_string(kMaxSide) + ": '" +
                     std::string(value) + "'");
            }
        } else if (name == "--hide") {
            int layer = 0;
            if (parseInt(value, 0, 0x7FFFFFFF, &layer)) {
                o.hiddenLayers.push_back(layer);
            } else {
                fail("--hide wants a layer number from 0: '" + std::string(value) + "'");
            }
        } else if (name == "--view") {
            WorldWindow world;
            if (parseView(value, &world)) {
                o.view = world;
            } else {
                fail("--view wants XMIN,YMIN,XMAX,YMAX with XMIN < XMAX and YMIN < YMAX: '" +
                     std::string(value) + "'");
            }
        } else if (name == "--thumbnail") {
            if (!parseInt(value, 1, kMaxSide, &o.thumbnail)) {
                fail("--thumbnail wants a size from 1 to " + std::to_string(kMaxSide) + ": '" +
                     std::string(value) + "'");
            }
        } else if (name == "--timeout") {
            if (!parseDouble(value, &o.timeoutSeconds) || o.timeoutSeconds <= 0.0 ||
                o.timeoutSeconds > kMaxTimeoutSeconds) {
                fail("--timeout wants seconds above 0: '" + std::string(value) + "'");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            fail("unknown option " + std::string(arg));
        } else if (o.input.empty()) {
            o.input = std::string(arg);
        } else if (o.thumbnail > 0 && !outputGiven) {
            // A thumbnail's second name is where it goes.
            o.output = std::string(arg);
            outputGiven = true;
        } else {
            fail("more than one scene file: '" + std::string(arg) + "'");
        }
    }
    if (o.help || o.version) {
        parsed.error.clear();
        return parsed;
    }
    if (o.input.empty()) fail("no scene file given");
    if (!outputGiven) fail("no output file given (-o OUT.png)");
    if (o.thumbnail > 0) {
        if (o.timeoutSeconds == 0.0) o.timeoutSeconds = kThumbnailTimeoutSeconds;
        o.width = o.height = o.thumbnail;
    }
    return parsed;
}

}  // namespace qmv
