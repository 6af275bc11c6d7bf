#include "event_log.h"

#include <cstdio>

namespace qmv::test {

namespace {

std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", v);
    return buffer;
}

std::string text(const char* s) { return s == nullptr ? "<none>" : std::string("\"") + s + "\""; }

EventLog& logOf(ReaderContext* ctx) { return *static_cast<EventLog*>(readerClientData(ctx)); }

template <class... T>
std::string join(const char* name, T... parts) {
    std::string line = name;
    ((line += " ", line += parts), ...);
    return line;
}

int onBlend(ReaderContext* c, int m) { return logOf(c).record(c, QMVR_setBlendMode, join("blend", std::to_string(m))); }
int onEllipse(ReaderContext* c, double x, double y, double rx, double ry, int f) {
    return logOf(c).record(c, QMVR_ellipse, join("ellipse", num(x), num(y), num(rx), num(ry), std::to_string(f)));
}
int onLayer(ReaderContext* c, const char* name, int v, int d) {
    return logOf(c).record(c, QMVR_layer, join("layer", text(name), std::to_string(v), std::to_string(d)));
}
int onEndLayer(ReaderContext* c) { return logOf(c).record(c, QMVR_endLayer, "endLayer"); }
int onDashes(ReaderContext* c, int p) { return logOf(c).record(c, QMVR_setLineDashes, join("dashes", std::to_string(p))); }
int onStyle(ReaderContext* c, int a, int b, int d, int e) {
    return logOf(c).record(c, QMVR_setLineStyle,
                           join("style", std::to_string(a), std::to_string(b), std::to_string(d), std::to_string(e)));
}
int onBox(ReaderContext* c, double x, double y, double w, double h, int f) {
    return logOf(c).record(c, QMVR_box, join("box", num(x), num(y), num(w), num(h), std::to_string(f)));
}
int onLine(ReaderContext* c, double x, double y, double dx, double dy) {
    return logOf(c).record(c, QMVR_line, join("line", num(x), num(y), num(dx), num(dy)));
}
int onBeginSetShape(ReaderContext* c, double x, double y, int n) {
    return logOf(c).record(c, QMVR_beginSetShape, join("beginSetShape", num(x), num(y), std::to_string(n)));
}
int onEndSetShape(ReaderContext* c) { return logOf(c).record(c, QMVR_endSetShape, "endSetShape"); }
int onBegin(ReaderContext* c, int kind, double x, double y, int f) {
    return logOf(c).record(c, QMVR_begin, join("begin", std::to_string(kind), num(x), num(y), std::to_string(f)));
}
int onVertex(ReaderContext* c, double x, double y) { return logOf(c).record(c, QMVR_vertex, join("vertex", num(x), num(y))); }
int onEnd(ReaderContext* c) { return logOf(c).record(c, QMVR_end, "end"); }
int onCircle(ReaderContext* c, double x, double y, double r, int f) {
    return logOf(c).record(c, QMVR_circle, join("circle", num(x), num(y), num(r), std::to_string(f)));
}
int onArc(ReaderContext* c, double x, double y, double rx, double ry, double s, double e, int f) {
    return logOf(c).record(c, QMVR_arc, join("arc", num(x), num(y), num(rx), num(ry), num(s), num(e), std::to_string(f)));
}
int onShape(ReaderContext* c, int n, double x, double y, double a, double sx, double sy) {
    return logOf(c).record(c, QMVR_shape, join("shape", std::to_string(n), num(x), num(y), num(a), num(sx), num(sy)));
}
int onStamp(ReaderContext* c, int n, double x, double y) {
    return logOf(c).record(c, QMVR_stampshape, join("stamp", std::to_string(n), num(x), num(y)));
}
int onExtension(ReaderContext* c, const char* a, const char* b) {
    return logOf(c).record(c, QMVR_extension, join("extension", text(a), text(b)));
}
int onBeginObject(ReaderContext* c, const char* n) { return logOf(c).record(c, QMVR_beginObject, join("beginObject", text(n))); }
int onEndObject(ReaderContext* c) { return logOf(c).record(c, QMVR_endObject, "endObject"); }
int onText(ReaderContext* c, double x, double y, const char* t) {
    return logOf(c).record(c, QMVR_text, join("text", num(x), num(y), text(t)));
}
int onSetImage(ReaderContext* c, int w, int h, float* pixels, int n) {
    std::string line = join("setImage", std::to_string(w), std::to_string(h), std::to_string(n));
    for (int i = 0; i < w * h * 4; ++i) line += " " + num(pixels[i]);
    int result = logOf(c).record(c, QMVR_setImage, line);
    if (result == 1 || result == CALLBACK_FREE_PIXELS) return CALLBACK_FREE_PIXELS;
    // Any other result leaves the pixels with the client, which has no use
    // for them.
    readerFreePixels(pixels);
    return result;
}
int onFullImage(ReaderContext* c, int n, double x, double y, double w, double h) {
    return logOf(c).record(c, QMVR_fullImage, join("fullImage", std::to_string(n), num(x), num(y), num(w), num(h)));
}
int onImage(ReaderContext* c, int n, double sx, double sy, double sw, double sh, double x, double y, double w,
            double h) {
    return logOf(c).record(c, QMVR_image, join("image", std::to_string(n), num(sx), num(sy), num(sw), num(sh), num(x),
                                              num(y), num(w), num(h)));
}
int onMark(ReaderContext* c, double x, double y) { return logOf(c).record(c, QMVR_mark, join("mark", num(x), num(y))); }
int onDrawEdge(ReaderContext* c, int e) { return logOf(c).record(c, QMVR_drawEdge, join("drawEdge", std::to_string(e))); }
int onFillFace(ReaderContext* c, int f) { return logOf(c).record(c, QMVR_fillFace, join("fillFace", std::to_string(f))); }

}  // namespace

int EventLog::record(ReaderContext* ctx, int slot, std::string line) {
    if (onEvent) onEvent(ctx, line);
    events.push_back(std::move(line));
    if (slot == failSlot && ++callsOfFailSlot == failOnCall) return CALLBACK_FAILED;
    return 1;
}

void registerEventLog() {
    readerSetCallback<QMVR_setBlendMode>(onBlend);
    readerSetCallback<QMVR_ellipse>(onEllipse);
    readerSetCallback<QMVR_layer>(onLayer);
    readerSetCallback<QMVR_endLayer>(onEndLayer);
    readerSetCallback<QMVR_setLineDashes>(onDashes);
    readerSetCallback<QMVR_setLineStyle>(onStyle);
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
    readerSetCallback<QMVR_stampshape>(onStamp);
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

std::string parseWithLog(const std::string& path, EventLog& log, int callbacksEnabled, ReaderContext** keep,
                         const char* tracePath) {
    registerEventLog();
    ReaderContext* ctx = readerOpen(path.c_str(), &log, callbacksEnabled, tracePath);
    const char* error = readerErrorText(ctx);
    std::string result = error != nullptr ? error : "";
    if (keep != nullptr) {
        *keep = ctx;
    } else {
        readerRelease(&ctx);
    }
    return result;
}

}  // namespace qmv::test
