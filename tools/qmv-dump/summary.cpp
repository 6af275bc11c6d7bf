#include "summary.h"

#include "json_writer.h"

namespace qmv {

namespace {

void label(std::string& out, const char* name) {
    out += name;
    out += ':';
    // Values line up in one column after the longest label ("upper right").
    for (size_t width = std::char_traits<char>::length(name) + 1; width < 14; ++width) out += ' ';
}

void line(std::string& out, const char* name, int64_t value) {
    label(out, name);
    json::appendInt(out, value);
    out += '\n';
}

void line(std::string& out, const char* name, Point p) {
    label(out, name);
    json::appendDouble(out, p.x);
    out += ' ';
    json::appendDouble(out, p.y);
    out += '\n';
}

}  // namespace

void writeSummary(OutputBuffer& buffer, const ReaderContext* ctx, const std::string& path,
                  int64_t callbackCount) {
    std::string& out = buffer.text();
    const HeaderInfo header = readerHeaderInfo(ctx);
    label(out, "file");
    out += path;
    out += '\n';
    line(out, "reserved", header.reserved);
    line(out, "version", header.version);
    line(out, "release", header.release);
    line(out, "resolution", header.resolution);
    line(out, "lower left", header.lowerLeft);
    line(out, "upper right", header.upperRight);
    line(out, "mm", header.mm);
    label(out, "background");
    for (int component = 0; component < 4; ++component) {
        if (component > 0) out += ' ';
        json::appendDouble(out, readerColor(ctx, COLOR_BACKGROUND, component));
    }
    out += '\n';
    line(out, "layers", readerLayerCount(ctx));
    line(out, "shapes", readerShapeCount(ctx));
    line(out, "images", readerImageCount(ctx));
    line(out, "callbacks", callbackCount);
    label(out, "parse time");
    json::appendInt(out, readerParseSeconds(ctx));
    out += " s\n";
    label(out, "result");
    const char* error = readerErrorText(ctx);
    out += error != nullptr ? error : "ok";
    out += '\n';
}

}  // namespace qmv
