#include "counting_client.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace qmv::scenes::test {

namespace {

// The reader's callbacks are plain functions, so the counts live here.
ParseReport* g_report = nullptr;
int64_t g_pathVertices = 0;

void count(int slot) { ++g_report->calls[static_cast<size_t>(slot)]; }

// Every slot counts its calls; a few look at their arguments too.
template <int Slot>
struct Counter {
    template <typename... Args>
    static int call(ReaderContext*, Args...) {
        count(Slot);
        return 1;
    }
};

int onBegin(ReaderContext*, int kind, double, double, int) {
    count(QMVR_begin);
    if (kind == PATH_POLYLINE) ++g_report->polylines;
    g_pathVertices = 1;
    return 1;
}

int onVertex(ReaderContext*, double, double) {
    count(QMVR_vertex);
    ++g_pathVertices;
    return 1;
}

int onEnd(ReaderContext*) {
    count(QMVR_end);
    ParseReport& r = *g_report;
    const bool first = r.calls[QMVR_end] == 1;
    r.shortestPath = first ? g_pathVertices : std::min(r.shortestPath, g_pathVertices);
    r.longestPath = first ? g_pathVertices : std::max(r.longestPath, g_pathVertices);
    return 1;
}

int onLayer(ReaderContext*, const char* name, int, int) {
    count(QMVR_layer);
    g_report->layerNames.emplace_back(name ? name : "");
    return 1;
}

int onSetImage(ReaderContext*, int, int, float*, int) {
    count(QMVR_setImage);
    return CALLBACK_FREE_PIXELS;
}

template <>
struct Counter<QMVR_begin> {
    static constexpr auto call = &onBegin;
};
template <>
struct Counter<QMVR_vertex> {
    static constexpr auto call = &onVertex;
};
template <>
struct Counter<QMVR_end> {
    static constexpr auto call = &onEnd;
};
template <>
struct Counter<QMVR_layer> {
    static constexpr auto call = &onLayer;
};
template <>
struct Counter<QMVR_setImage> {
    static constexpr auto call = &onSetImage;
};

void registerAll() { readerRegisterEachSlot<Counter>(); }

// Each opcode line of the trace starts with the opcode's name.
std::set<std::string> opcodesIn(const std::string& tracePath) {
    std::set<std::string> names;
    std::ifstream in(tracePath);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("QMVR_", 0) != 0) continue;
        names.insert(line.substr(0, line.find(' ')));
    }
    return names;
}

}  // namespace

const std::vector<int>& allCallbackSlots() {
    static const std::vector<int> slots = {
        QMVR_setBlendMode, QMVR_ellipse,   QMVR_layer,        QMVR_endLayer,    QMVR_setLineDashes,
        QMVR_setLineStyle, QMVR_box,       QMVR_line,         QMVR_beginSetShape,
        QMVR_endSetShape,  QMVR_begin,     QMVR_vertex,       QMVR_end,         QMVR_circle,
        QMVR_arc,          QMVR_shape,     QMVR_stampshape,   QMVR_extension,   QMVR_beginObject,
        QMVR_endObject,    QMVR_text,      QMVR_setImage,     QMVR_fullImage,   QMVR_image,
        QMVR_mark,         QMVR_drawEdge,  QMVR_fillFace};
    return slots;
}

ParseReport parseCounting(const std::string& path, bool withTrace) {
    ParseReport report;
    g_report = &report;
    registerAll();
    TempPath trace(".trace");
    ReaderContext* ctx = readerOpen(path.c_str(), nullptr, 1, withTrace ? trace.path().c_str() : nullptr);
    if (const char* error = readerErrorText(ctx)) report.error = error;
    report.layers = readerLayerCount(ctx);
    report.shapes = readerShapeCount(ctx);
    report.images = readerImageCount(ctx);
    readerRelease(&ctx);
    g_report = nullptr;
    if (withTrace) report.tracedOpcodes = opcodesIn(trace.path());
    return report;
}

TempPath::TempPath(const std::string& suffix) {
    std::string pattern = "/tmp/qmv-scenes-XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd >= 0) ::close(fd);
    path_ = name.data();
}

TempPath::~TempPath() { std::remove(path_.c_str()); }

}  // namespace qmv::scenes::test
