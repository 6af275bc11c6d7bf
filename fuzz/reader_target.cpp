// Fuzz target: the reader with a client that registers every callback slot
// and, from inside each callback, asks the reader what the renderer asks:
// colours, fill mode and points, texture image, styles, fonts, edge sets by
// number walked point by point, faces and the edge sets they name. Every
// text is measured and every pixel of an image read, so that the sanitizers
// see each byte the reader hands out. Each input is read three times: with
// callbacks, with a trace, and with callbacks disabled.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "memory_input.h"
#include "qmv/reader.h"

namespace qmv::fuzz {
namespace {

// A client gives up (returns -4) after this much work, so that a file that
// names the same long edge set a million times ends quickly.
constexpr uint64_t kWorkBudget = uint64_t{1} << 22;

struct Recorder {
    uint64_t hash = 1469598103934665603ull;
    uint64_t work = 0;
    int openPaths = 0;
    std::vector<float*> keptPixels;

    void mix(uint64_t v) { hash = (hash ^ v) * 1099511628211ull; }
    void mix(double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        mix(bits);
    }
    void mixText(const char* text) {
        if (text == nullptr) {
            mix(uint64_t{0});
            return;
        }
        const size_t n = std::strlen(text);
        work += n;
        for (size_t i = 0; i < n; ++i) mix(static_cast<uint64_t>(static_cast<unsigned char>(text[i])));
    }
};

Recorder& recorderOf(ReaderContext* ctx) { return *static_cast<Recorder*>(readerClientData(ctx)); }

// Everything a drawing callback of the renderer looks at.
int observe(ReaderContext* ctx, uint64_t slot) {
    Recorder& r = recorderOf(ctx);
    r.mix(slot);
    for (int kind = -1; kind <= 7; ++kind) {
        for (int component = -1; component <= 4; ++component) r.mix(readerColor(ctx, kind, component));
    }
    for (int selector = -1; selector <= 4; ++selector) {
        r.mix(readerFillPoint(ctx, selector, 0));
        r.mix(readerFillPoint(ctx, selector, 1));
    }
    int16_t style[4];
    readerLineStyle(ctx, &style[0], &style[1], &style[2], &style[3]);
    for (int16_t s : style) r.mix(static_cast<uint64_t>(s));
    const int values[] = {readerFillMode(ctx),   readerImageStretchMode(ctx), readerTextureImage(ctx),
                          readerLineDashes(ctx), readerBlendMode(ctx),        readerFont(ctx),
                          readerFontStyle(ctx),  readerFontSize(ctx),         readerTextAlignment(ctx),
                          readerLayerCount(ctx), readerShapeCount(ctx),       readerImageCount(ctx)};
    for (int v : values) r.mix(static_cast<uint64_t>(v));
    r.mix(readerTextAngle(ctx));
    double x = 0, y = 0;
    readerLowerLeft(ctx, &x, &y);
    r.mix(x + y);
    readerUpperRight(ctx, &x, &y);
    r.mix(x + y);
    ++r.work;
    return r.work > kWorkBudget ? CALLBACK_FAILED : 1;
}

// Walks an edge set as the renderer does (list by list, point by point
// until edgeSetPoint says there is none), then probes past both ends.
void walkEdgeSet(Recorder& r, const EdgeSet* set) {
    Point p;
    if (set == nullptr) {
        if (edgeSetPoint(nullptr, 0, 0, &p) != 0) std::abort();
        return;
    }
    for (int list = 0; list < set->count; ++list) {
        for (int k = 0; edgeSetPoint(set, list, k, &p) == 1; ++k) {
            r.mix(p.x);
            r.mix(p.y);
            if (++r.work > kWorkBudget) return;
        }
    }
    const int probes[][2] = {{-1, 0}, {0, -1}, {set->count, 0}, {0, INT32_MAX}, {INT32_MAX, 0},
                             {INT32_MIN, INT32_MIN}};
    for (const auto& probe : probes) {
        if (edgeSetPoint(set, probe[0], probe[1], &p) != 0) std::abort();
    }
}

int onLayer(ReaderContext* ctx, const char* name, int visible, int detectable) {
    Recorder& r = recorderOf(ctx);
    if (r.openPaths != 0) std::abort();  // a layer never starts inside a path
    r.mixText(name);
    r.mix(static_cast<uint64_t>(visible * 2 + detectable));
    return observe(ctx, QMVR_layer);
}
int onEndLayer(ReaderContext* ctx) {
    // Also made with callbacks disabled, where the client data is null.
    if (readerClientData(ctx) == nullptr) return 1;
    return observe(ctx, QMVR_endLayer);
}
int onBegin(ReaderContext* ctx, int kind, double x, double y, int filled) {
    Recorder& r = recorderOf(ctx);
    if (r.openPaths != 0) std::abort();  // paths do not nest
    ++r.openPaths;
    r.mix(static_cast<uint64_t>(kind)), r.mix(x), r.mix(y), r.mix(static_cast<uint64_t>(filled));
    return observe(ctx, QMVR_begin);
}
int onVertex(ReaderContext* ctx, double x, double y) {
    Recorder& r = recorderOf(ctx);
    if (r.openPaths != 1) std::abort();  // vertices come between begin and end
    r.mix(x), r.mix(y);
    // The renderer asks for the fill at every vertex.
    r.mix(readerFillPoint(ctx, 2, 0));
    r.mix(readerColor(ctx, COLOR_GRADIENT1, 0));
    ++r.work;
    return r.work > kWorkBudget ? CALLBACK_FAILED : 1;
}
int onEnd(ReaderContext* ctx) {
    Recorder& r = recorderOf(ctx);
    if (r.openPaths != 1) std::abort();
    --r.openPaths;
    return observe(ctx, QMVR_end);
}
int onSetImage(ReaderContext* ctx, int width, int height, float* pixels, int number) {
    Recorder& r = recorderOf(ctx);
    if (width < 0 || height < 0 || (pixels == nullptr && width > 0 && height > 0)) std::abort();
    const size_t floats = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    double sum = 0.0;
    for (size_t i = 0; i < floats; ++i) sum += pixels[i];
    r.work += floats / 16;
    r.mix(sum);
    r.mix(static_cast<uint64_t>(number));
    observe(ctx, QMVR_setImage);
    // Odd images stay with the client, which frees them after the parse;
    // even ones go back to the reader.
    if ((number & 1) != 0 && pixels != nullptr) {
        r.keptPixels.push_back(pixels);
        return 1;
    }
    return CALLBACK_FREE_PIXELS;
}
int onDrawEdge(ReaderContext* ctx, int number) {
    Recorder& r = recorderOf(ctx);
    if (r.work > kWorkBudget) return CALLBACK_FAILED;
    walkEdgeSet(r, readerEdge(ctx, number));
    return observe(ctx, QMVR_drawEdge);
}
int onFillFace(ReaderContext* ctx, int number) {
    Recorder& r = recorderOf(ctx);
    if (r.work > kWorkBudget) return CALLBACK_FAILED;
    if (const Face* face = readerFace(ctx, number)) {
        for (int32_t i = 0; i < face->firstCount; ++i) {
            walkEdgeSet(r, readerEdge(ctx, face->first[static_cast<size_t>(i)]));
        }
        for (int32_t i = 0; i < face->secondCount; ++i) {
            walkEdgeSet(r, readerEdge(ctx, face->second[static_cast<size_t>(i)]));
        }
    }
    return observe(ctx, QMVR_fillFace);
}

void mixArgument(Recorder& r, int value) { r.mix(static_cast<uint64_t>(value)); }
void mixArgument(Recorder& r, double value) { r.mix(value); }
void mixArgument(Recorder& r, const char* text) { r.mixText(text); }

// Every slot: its arguments mixed in, then what the renderer asks; the
// slots with checks or data of their own have functions of their own.
template <int Slot>
struct Observed {
    template <class... Args>
    static int call(ReaderContext* ctx, Args... args) {
        Recorder& r = recorderOf(ctx);
        (mixArgument(r, args), ...);
        return observe(ctx, Slot);
    }
};
template <>
struct Observed<QMVR_layer> {
    static constexpr auto call = &onLayer;
};
template <>
struct Observed<QMVR_endLayer> {
    static constexpr auto call = &onEndLayer;
};
template <>
struct Observed<QMVR_begin> {
    static constexpr auto call = &onBegin;
};
template <>
struct Observed<QMVR_vertex> {
    static constexpr auto call = &onVertex;
};
template <>
struct Observed<QMVR_end> {
    static constexpr auto call = &onEnd;
};
template <>
struct Observed<QMVR_setImage> {
    static constexpr auto call = &onSetImage;
};
template <>
struct Observed<QMVR_drawEdge> {
    static constexpr auto call = &onDrawEdge;
};
template <>
struct Observed<QMVR_fillFace> {
    static constexpr auto call = &onFillFace;
};

void registerRecorder() {
    readerClearCallbacks();
    readerRegisterEachSlot<Observed>();
}

// What a client asks once the parse is over.
void afterParse(Recorder& r, const ReaderContext* ctx) {
    if (const char* error = readerErrorText(ctx)) r.mixText(error);
    const HeaderInfo info = readerHeaderInfo(ctx);
    r.mix(info.lowerLeft.x + info.upperRight.y + info.resolution.x + info.mm.y);
    r.mix(static_cast<uint64_t>(readerLayerCount(ctx) + readerShapeCount(ctx) + readerImageCount(ctx)));
    for (int position : {INT32_MIN, -1, 0, 1, 2, 3, INT32_MAX}) {
        walkEdgeSet(r, readerEdge(ctx, position));
        if (const Face* face = readerFace(ctx, position)) {
            if (face->firstCount < 0 || static_cast<size_t>(face->firstCount) > face->first.size() ||
                face->secondCount < 0 || static_cast<size_t>(face->secondCount) > face->second.size()) {
                std::abort();
            }
        }
    }
}

}  // namespace
}  // namespace qmv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qmv;
    using namespace qmv::fuzz;
    static const bool registered = (registerRecorder(), true);
    (void)registered;
    const MemoryInput input(data, size);

    // With callbacks and queries.
    Recorder recorder;
    ReaderContext* ctx = input.open(&recorder, 1, nullptr);
    afterParse(recorder, ctx);
    readerRelease(&ctx);
    for (float* pixels : recorder.keptPixels) readerFreePixels(pixels);
    if (recorder.openPaths != 0) std::abort();

    // With a trace (thrown away), then with callbacks disabled.
    Recorder traced;
    ctx = input.open(&traced, 1, "/dev/null");
    readerRelease(&ctx);
    for (float* pixels : traced.keptPixels) readerFreePixels(pixels);

    ctx = input.open(nullptr, 0, nullptr);
    Recorder quiet;
    afterParse(quiet, ctx);
    readerRelease(&ctx);
    if (ctx != nullptr) std::abort();
    return 0;
}
