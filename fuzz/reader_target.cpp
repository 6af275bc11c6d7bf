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

#include "input_file.h"
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

int onSetBlendMode(ReaderContext* ctx, int mode) {
    recorderOf(ctx).mix(static_cast<uint64_t>(mode));
    return observe(ctx, 57);
}
int onEllipse(ReaderContext* ctx, double cx, double cy, double rx, double ry, int filled) {
    Recorder& r = recorderOf(ctx);
    r.mix(cx), r.mix(cy), r.mix(rx), r.mix(ry), r.mix(static_cast<uint64_t>(filled));
    return observe(ctx, 58);
}
int onLayer(ReaderContext* ctx, const char* name, int visible, int detectable) {
    Recorder& r = recorderOf(ctx);
    if (r.openPaths != 0) std::abort();  // a layer never starts inside a path
    r.mixText(name);
    r.mix(static_cast<uint64_t>(visible * 2 + detectable));
    return observe(ctx, 59);
}
int onEndLayer(ReaderContext* ctx) {
    // Also made with callbacks disabled, where the client data is null.
    if (readerClientData(ctx) == nullptr) return 1;
    return observe(ctx, 60);
}
int onSetLineDashes(ReaderContext* ctx, int pattern) {
    recorderOf(ctx).mix(static_cast<uint64_t>(pattern));
    return observe(ctx, 71);
}
int onSetLineStyle(ReaderContext* ctx, int a, int b, int c, int d) {
    recorderOf(ctx).mix(static_cast<uint64_t>(a + b * 256 + c * 65536) + static_cast<uint64_t>(d) * 16777216);
    return observe(ctx, 72);
}
int onBox(ReaderContext* ctx, double x, double y, double w, double h, int filled) {
    Recorder& r = recorderOf(ctx);
    r.mix(x), r.mix(y), r.mix(w), r.mix(h), r.mix(static_cast<uint64_t>(filled));
    return observe(ctx, 73);
}
int onLine(ReaderContext* ctx, double x, double y, double dx, double dy) {
    Recorder& r = recorderOf(ctx);
    r.mix(x), r.mix(y), r.mix(dx), r.mix(dy);
    return observe(ctx, 74);
}
int onBeginSetShape(ReaderContext* ctx, double x, double y, int number) {
    Recorder& r = recorderOf(ctx);
    r.mix(x), r.mix(y), r.mix(static_cast<uint64_t>(number));
    return observe(ctx, 75);
}
int onEndSetShape(ReaderContext* ctx) { return observe(ctx, 76); }
int onBegin(ReaderContext* ctx, int kind, double x, double y, int filled) {
    Recorder& r = recorderOf(ctx);
    if (r.openPaths != 0) std::abort();  // paths do not nest
    ++r.openPaths;
    r.mix(static_cast<uint64_t>(kind)), r.mix(x), r.mix(y), r.mix(static_cast<uint64_t>(filled));
    return observe(ctx, 77);
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
    return observe(ctx, 79);
}
int onCircle(ReaderContext* ctx, double cx, double cy, double radius, int filled) {
    Recorder& r = recorderOf(ctx);
    r.mix(cx), r.mix(cy), r.mix(radius), r.mix(static_cast<uint64_t>(filled));
    return observe(ctx, 80);
}
int onArc(ReaderContext* ctx, double cx, double cy, double rx, double ry, double start, double end,
          int filled) {
    Recorder& r = recorderOf(ctx);
    r.mix(cx), r.mix(cy), r.mix(rx), r.mix(ry), r.mix(start), r.mix(end);
    r.mix(static_cast<uint64_t>(filled));
    return observe(ctx, 81);
}
int onShape(ReaderContext* ctx, int number, double x, double y, double angle, double sx, double sy) {
    Recorder& r = recorderOf(ctx);
    r.mix(static_cast<uint64_t>(number)), r.mix(x), r.mix(y), r.mix(angle), r.mix(sx), r.mix(sy);
    return observe(ctx, 82);
}
int onStampShape(ReaderContext* ctx, int number, double x, double y) {
    Recorder& r = recorderOf(ctx);
    r.mix(static_cast<uint64_t>(number)), r.mix(x), r.mix(y);
    return observe(ctx, 83);
}
int onExtension(ReaderContext* ctx, const char* first, const char* second) {
    Recorder& r = recorderOf(ctx);
    r.mixText(first);
    r.mixText(second);
    return observe(ctx, 85);
}
int onBeginObject(ReaderContext* ctx, const char* name) {
    recorderOf(ctx).mixText(name);
    return observe(ctx, 86);
}
int onEndObject(ReaderContext* ctx) { return observe(ctx, 87); }
int onText(ReaderContext* ctx, double x, double y, const char* text) {
    Recorder& r = recorderOf(ctx);
    r.mix(x), r.mix(y);
    r.mixText(text);
    return observe(ctx, 88);
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
    observe(ctx, 89);
    // Odd images stay with the client, which frees them after the parse;
    // even ones go back to the reader.
    if ((number & 1) != 0 && pixels != nullptr) {
        r.keptPixels.push_back(pixels);
        return 1;
    }
    return CALLBACK_FREE_PIXELS;
}
int onFullImage(ReaderContext* ctx, int number, double x, double y, double w, double h) {
    Recorder& r = recorderOf(ctx);
    r.mix(static_cast<uint64_t>(number)), r.mix(x), r.mix(y), r.mix(w), r.mix(h);
    return observe(ctx, 90);
}
int onImage(ReaderContext* ctx, int number, double sx, double sy, double sw, double sh, double x,
            double y, double w, double h) {
    Recorder& r = recorderOf(ctx);
    r.mix(static_cast<uint64_t>(number)), r.mix(sx), r.mix(sy), r.mix(sw), r.mix(sh);
    r.mix(x), r.mix(y), r.mix(w), r.mix(h);
    return observe(ctx, 91);
}
int onMark(ReaderContext* ctx, double x, double y) {
    Recorder& r = recorderOf(ctx);
    r.mix(x), r.mix(y);
    return observe(ctx, 92);
}
int onDrawEdge(ReaderContext* ctx, int number) {
    Recorder& r = recorderOf(ctx);
    if (r.work > kWorkBudget) return CALLBACK_FAILED;
    walkEdgeSet(r, readerEdge(ctx, number));
    return observe(ctx, 93);
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
    return observe(ctx, 94);
}

void registerRecorder() {
    readerClearCallbacks();
    readerSetCallback<QMVR_setBlendMode>(onSetBlendMode);
    readerSetCallback<QMVR_ellipse>(onEllipse);
    readerSetCallback<QMVR_layer>(onLayer);
    readerSetCallback<QMVR_endLayer>(onEndLayer);
    readerSetCallback<QMVR_setLineDashes>(onSetLineDashes);
    readerSetCallback<QMVR_setLineStyle>(onSetLineStyle);
    readerSetCallback<QMVR_box>(onBox);
    readerSetCallback<QMVR_line>(onLine);
    readerSetCallback<QMVR_beginSetShape>(onBeginSetShape);
    readerSetCallback<QMVR_endSetShape>(onEndSetShape);
    readerSetCallback<QMVR_begin>(onBegin);
    readerSetCallback<QMVR_vertex>(onVertex);
    readerSetCallback<QMVR_end>(onEnd);
    readerSetCallback<QMVR_circle>(onCircle);
    readerSetCallback<QMVR_arc>(onArc);
    readerSetCallback<QMVR_shape>(onShape);
    readerSetCallback<QMVR_stampshape>(onStampShape);
    readerSetCallback<QMVR_extension>(onExtension);
    readerSetCallback<QMVR_beginObject>(onBeginObject);
    readerSetCallback<QMVR_endObject>(onEndObject);
    readerSetCallback<QMVR_text>(onText);
    readerSetCallback<QMVR_setImage>(onSetImage);
    readerSetCallback<QMVR_fullImage>(onFullImage);
    readerSetCallback<QMVR_image>(onImage);
    readerSetCallback<QMVR_mark>(onMark);
    readerSetCallback<QMVR_drawEdge>(onDrawEdge);
    readerSetCallback<QMVR_fillFace>(onFillFace);
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
    static InputFile file;
    static const bool registered = (registerRecorder(), true);
    (void)registered;
    const char* path = file.write(data, size);
    if (path == nullptr) return 0;

    // With callbacks and queries.
    Recorder recorder;
    ReaderContext* ctx = readerOpen(path, &recorder, 1, nullptr);
    afterParse(recorder, ctx);
    readerRelease(&ctx);
    for (float* pixels : recorder.keptPixels) readerFreePixels(pixels);
    if (recorder.openPaths != 0) std::abort();

    // With a trace (thrown away), then with callbacks disabled.
    Recorder traced;
    ctx = readerOpen(path, &traced, 1, "/dev/null");
    readerRelease(&ctx);
    for (float* pixels : traced.keptPixels) readerFreePixels(pixels);

    ctx = readerOpen(path, nullptr, 0, nullptr);
    Recorder quiet;
    afterParse(quiet, ctx);
    readerRelease(&ctx);
    if (ctx != nullptr) std::abort();
    return 0;
}
