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

std::string field(int v) { return std::to_string(v); }
std::string field(double v) { return num(v); }
std::string field(const char* s) { return text(s); }

// An event's name is its slot's, shorter for four of them.
const char* eventName(int slot) {
    switch (slot) {
        case QMVR_setBlendMode: return "blend";
        case QMVR_setLineDashes: return "dashes";
        case QMVR_setLineStyle: return "style";
        case QMVR_stampshape: return "stamp";
        default: return callbackSlotName(slot);
    }
}

// Every slot's event: its name and its arguments.
template <int Slot>
struct Logged {
    template <class... Args>
    static int call(ReaderContext* c, Args... args) {
        std::string line = eventName(Slot);
        ((line += " ", line += field(args)), ...);
        return logOf(c).record(c, Slot, std::move(line));
    }
};

int onSetImage(ReaderContext* c, int w, int h, float* pixels, int n) {
    std::string line = "setImage " + field(w) + " " + field(h) + " " + field(n);
    for (int i = 0; i < w * h * 4; ++i) line += " " + num(pixels[i]);
    int result = logOf(c).record(c, QMVR_setImage, line);
    if (result == 1 || result == CALLBACK_FREE_PIXELS) return CALLBACK_FREE_PIXELS;
    // Any other result leaves the pixels with the client, which has no use
    // for them.
    readerFreePixels(pixels);
    return result;
}
template <>
struct Logged<QMVR_setImage> {
    static constexpr auto call = &onSetImage;
};

}  // namespace

int EventLog::record(ReaderContext* ctx, int slot, std::string line) {
    if (onEvent) onEvent(ctx, line);
    events.push_back(std::move(line));
    if (slot == failSlot && ++callsOfFailSlot == failOnCall) return CALLBACK_FAILED;
    return 1;
}

void registerEventLog() { readerRegisterEachSlot<Logged>(); }

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
