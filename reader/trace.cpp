// Trace dump writers.
#include "trace.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "opcode_table.h"
#include "reader_context.h"

namespace qmv {

namespace {

std::FILE* traceFile() { return g_reader.ctx != nullptr ? g_reader.ctx->traceFile : nullptr; }

void stripFractionZeros(std::string& digits) {
    size_t point = digits.find('.');
    if (point == std::string::npos) return;
    size_t last = digits.find_last_not_of('0');
    if (last < point) last = point;
    digits.erase(last + 1);
}

}  // namespace

std::string formatTraceNumber(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.7e", value);
    const char* e = std::strchr(buffer, 'e');
    int exponent = std::atoi(e + 1);
    if (exponent >= -1 && exponent <= 7) {
        std::snprintf(buffer, sizeof buffer, "%#.*f", 7 - exponent, value);
        std::string fixed = buffer;
        stripFractionZeros(fixed);
        return fixed;
    }
    std::string mantissa(buffer, static_cast<size_t>(e - buffer));
    stripFractionZeros(mantissa);
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + tail;
}

void traceItem(const char* text) {
    std::FILE* f = traceFile();
    if (f == nullptr) return;
    std::fputc(' ', f);
    if (text != nullptr) std::fputs(text, f);
}

void traceNumber(double value) {
    std::FILE* f = traceFile();
    if (f == nullptr) return;
    std::fputs(formatTraceNumber(value).c_str(), f);
}

void traceInteger(int value) {
    std::FILE* f = traceFile();
    if (f == nullptr) return;
    std::fprintf(f, " %d", value);
}

void tracePoint(Point p) {
    std::FILE* f = traceFile();
    if (f == nullptr) return;
    std::fprintf(f, "(%s,%s)", formatTraceNumber(p.x).c_str(), formatTraceNumber(p.y).c_str());
}

void traceOpcodeLine(int opcode) {
    std::FILE* f = traceFile();
    if (f == nullptr) return;
    std::fputc('\n', f);
    std::fputs(opcodeName(opcode), f);
}

void traceLayerSeparator() { traceItem("\n"); }

void traceHeader(const ReaderContext* ctx) {
    std::FILE* f = ctx->traceFile;
    if (f == nullptr) return;
    std::fputs("\n-------------------------Header----------------------------------\n", f);
    std::fprintf(f, "Reserved      : %d\n", ctx->reserved);
    std::fprintf(f, "Version       : %d\n", ctx->version);
    std::fprintf(f, "Release       : %d\n", ctx->release);
    const struct {
        const char* label;
        Point p;
    } points[] = {{"Resolution    : ", ctx->resolution},
                  {"Lower Left    : ", ctx->lowerLeft},
                  {"Upper Right   : ", ctx->upperRight},
                  {"MM            : ", ctx->mm}};
    for (const auto& entry : points) {
        std::fputs(entry.label, f);
        tracePoint(entry.p);
        std::fputc('\n', f);
    }
    const Color& bg = ctx->gs.backgroundColor;
    std::fprintf(f, "BG Color      : R: %s G: %s B: %s A: %s\n", formatTraceNumber(bg.r).c_str(),
                 formatTraceNumber(bg.g).c_str(), formatTraceNumber(bg.b).c_str(),
                 formatTraceNumber(bg.a).c_str());
    std::fputs("-----------------------------------------------------------------\n", f);
}

}  // namespace qmv
