#include "recorder.h"

#include <cstddef>
#include <string>
#include <vector>

#include "json_writer.h"

namespace qmv {

namespace {

Recorder* recorderOf(ReaderContext* ctx) { return static_cast<Recorder*>(readerClientData(ctx)); }

void appendArg(std::string& out, int value) { json::appendInt(out, value); }
void appendArg(std::string& out, double value) { json::appendDouble(out, value); }
void appendArg(std::string& out, const char* text) { json::appendText(out, text); }
// Stands in for the pixel array, which follows under its own key.
void appendArg(std::string& out, std::nullptr_t) { out += "null"; }

void appendColor(std::string& out, const ReaderContext* ctx, int kind) {
    out += '[';
    for (int component = 0; component < 4; ++component) {
        if (component > 0) out += ',';
        json::appendDouble(out, readerColor(ctx, kind, component));
    }
    out += ']';
}

void appendKey(std::string& out, const char* key) {
    out += ",\"";
    out += key;
    out += "\":";
}

void appendState(std::string& out, const ReaderContext* ctx) {
    static constexpr const char* kColorKeys[] = {"line", "fill", "mark", "bg",
                                                 "grad1", "grad2", "text"};
    out += ",\"state\":{";
    for (int kind = 0; kind < 7; ++kind) {
        if (kind > 0) out += ',';
        out += '"';
        out += kColorKeys[kind];
        out += "\":";
        appendColor(out, ctx, kind);
    }
    appendKey(out, "fillMode");
    json::appendInt(out, readerFillMode(ctx));
    appendKey(out, "fillPoints");
    out += '[';
    for (int selector = 0; selector < 4; ++selector) {
        if (selector > 0) out += ',';
        out += '[';
        json::appendDouble(out, readerFillPoint(ctx, selector, 0));
        out += ',';
        json::appendDouble(out, readerFillPoint(ctx, selector, 1));
        out += ']';
    }
    out += ']';
    appendKey(out, "textureImage");
    json::appendInt(out, readerTextureImage(ctx));
    appendKey(out, "stretch");
    json::appendInt(out, readerImageStretchMode(ctx));
    int16_t style[4] = {0, 0, 0, 0};
    readerLineStyle(ctx, &style[0], &style[1], &style[2], &style[3]);
    appendKey(out, "lineStyle");
    out += '[';
    for (int i = 0; i < 4; ++i) {
        if (i > 0) out += ',';
        json::appendInt(out, style[i]);
    }
    out += ']';
    appendKey(out, "dashes");
    json::appendInt(out, readerLineDashes(ctx));
    appendKey(out, "blend");
    json::appendInt(out, readerBlendMode(ctx));
    appendKey(out, "font");
    json::appendInt(out, readerFont(ctx));
    appendKey(out, "fontStyle");
    json::appendInt(out, readerFontStyle(ctx));
    appendKey(out, "fontSize");
    json::appendInt(out, readerFontSize(ctx));
    appendKey(out, "align");
    json::appendInt(out, readerTextAlignment(ctx));
    appendKey(out, "angle");
    json::appendDouble(out, readerTextAngle(ctx));
    appendKey(out, "layers");
    json::appendInt(out, readerLayerCount(ctx));
    appendKey(out, "shapes");
    json::appendInt(out, readerShapeCount(ctx));
    appendKey(out, "images");
    json::appendInt(out, readerImageCount(ctx));
    out += '}';
}

// Opens the event's line up to the end of "args". Kept out of line, so that
// the summary's path (a count per event, for every vertex of a big drawing)
// stays a few instructions with no frame of its own.
template <typename... Args>
[[gnu::noinline]] Recorder* openLine(Recorder* recorder, int slot, Args... args) {
    std::string& out = recorder->out().text();
    out += "{\"cb\":\"";
    out += callbackName(slot);
    out += "\",\"args\":[";
    [[maybe_unused]] bool first = true;
    ((first ? void() : void(out += ','), first = false, appendArg(out, args)), ...);
    out += ']';
    return recorder;
}

// Counts the event and opens its line. Returns the recorder whose line is
// open, or nullptr when nothing is to be written.
template <typename... Args>
Recorder* beginEvent(ReaderContext* ctx, int slot, Args... args) {
    Recorder* recorder = recorderOf(ctx);
    if (recorder == nullptr) return nullptr;
    recorder->countEvent();
    if (recorder->detail() == Recorder::Detail::Count) return nullptr;
    return openLine(recorder, slot, args...);
}

void endEvent(Recorder& recorder, const ReaderContext* ctx) {
    std::string& out = recorder.out().text();
    if (recorder.detail() == Recorder::Detail::State) appendState(out, ctx);
    out += "}\n";
    recorder.out().flushIfFull();
}

// The callback of a slot whose event is its arguments alone. The parameter
// list is taken from the slot's declared type, so each registered function
// has exactly the signature the reader calls it with.
template <int Slot, typename Fn = typename CallbackType<Slot>::Fn>
struct PlainEvent;

template <int Slot, typename... Args>
struct PlainEvent<Slot, int (*)(ReaderContext*, Args...)> {
    static int call(ReaderContext* ctx, Args... args) {
        if (Recorder* recorder = beginEvent(ctx, Slot, args...)) endEvent(*recorder, ctx);
        return 1;
    }
};

int recordSetImage(ReaderContext* ctx, int width, int height, float* pixels, int imageNumber) {
    if (Recorder* recorder = beginEvent(ctx, QMVR_setImage, width, height, nullptr, imageNumber)) {
        OutputBuffer& buffer = recorder->out();
        std::string& out = buffer.text();
        appendKey(out, "pixels");
        if (pixels == nullptr) {
            out += "null";
        } else {
            const size_t count = size_t{4} * static_cast<size_t>(width > 0 ? width : 0) *
                                 static_cast<size_t>(height > 0 ? height : 0);
            out += '[';
            for (size_t i = 0; i < count; ++i) {
                if (i > 0) out += ',';
                json::appendFloat(out, pixels[i]);
                // An image can run to gigabytes of text; keep memory bounded.
                if ((i & 0xFFF) == 0xFFF) buffer.flushIfFull();
            }
            out += ']';
        }
        endEvent(*recorder, ctx);
    }
    // The dump keeps nothing, so the reader frees the array.
    return CALLBACK_FREE_PIXELS;
}

int recordDrawEdge(ReaderContext* ctx, int edgeSetNumber) {
    if (Recorder* recorder = beginEvent(ctx, QMVR_drawEdge, edgeSetNumber)) {
        OutputBuffer& buffer = recorder->out();
        std::string& out = buffer.text();
        appendKey(out, "points");
        if (const EdgeSet* set = readerEdge(ctx, edgeSetNumber)) {
            out += '[';
            bool first = true;
            Point p;
            for (int list = 0; list < set->count; ++list) {
                for (int index = 0; edgeSetPoint(set, list, index, &p) != 0; ++index) {
                    if (!first) out += ',';
                    first = false;
                    out += '[';
                    json::appendDouble(out, p.x);
                    out += ',';
                    json::appendDouble(out, p.y);
                    out += ']';
                }
                buffer.flushIfFull();
            }
            out += ']';
        } else {
            out += "null";
        }
        endEvent(*recorder, ctx);
    }
    return 1;
}

void appendIntList(std::string& out, const std::vector<int32_t>& values, int32_t count) {
    // The count is the file's; never read past what was stored.
    size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    if (n > values.size()) n = values.size();
    out += '[';
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) out += ',';
        json::appendInt(out, values[i]);
    }
    out += ']';
}

int recordFillFace(ReaderContext* ctx, int faceNumber) {
    if (Recorder* recorder = beginEvent(ctx, QMVR_fillFace, faceNumber)) {
        std::string& out = recorder->out().text();
        appendKey(out, "face");
        if (const Face* face = readerFace(ctx, faceNumber)) {
            out += '[';
            appendIntList(out, face->first, face->firstCount);
            out += ',';
            appendIntList(out, face->second, face->secondCount);
            out += ']';
        } else {
            out += "null";
        }
        endEvent(*recorder, ctx);
    }
    return 1;
}

// Each slot's callback: its arguments, or more for the events that carry
// more.
template <int Slot>
struct RecordedEvent : PlainEvent<Slot> {};
template <>
struct RecordedEvent<QMVR_setImage> {
    static constexpr auto call = &recordSetImage;
};
template <>
struct RecordedEvent<QMVR_drawEdge> {
    static constexpr auto call = &recordDrawEdge;
};
template <>
struct RecordedEvent<QMVR_fillFace> {
    static constexpr auto call = &recordFillFace;
};

}  // namespace

const char* callbackName(int slot) {
#define QMV_DUMP_NAME(name, id, ...) \
    case id: return "QMVR_" #name;
    switch (slot) {
        QMV_CALLBACK_SLOTS(QMV_DUMP_NAME)
        default: return nullptr;
    }
#undef QMV_DUMP_NAME
}

void registerRecorder() { readerRegisterEachSlot<RecordedEvent>(); }

void writeEndLine(OutputBuffer& buffer, const ReaderContext* ctx) {
    std::string& out = buffer.text();
    out += "{\"end\":true,\"error\":";
    json::appendText(out, readerErrorText(ctx));
    appendKey(out, "layers");
    json::appendInt(out, readerLayerCount(ctx));
    appendKey(out, "shapes");
    json::appendInt(out, readerShapeCount(ctx));
    appendKey(out, "images");
    json::appendInt(out, readerImageCount(ctx));
    out += "}\n";
    buffer.flushIfFull();
}

}  // namespace qmv
