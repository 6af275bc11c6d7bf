// The scene file reader: decodes a QMV scene file and reports every drawing
// event to the callbacks its client registered by slot id.
//
// A client registers its callbacks once, then calls readerOpen, which runs the
// whole parse in the caller's thread and returns the context. The context
// stays valid for the queries below until readerRelease. One parse runs at a
// time: a parse started on another thread waits for the running one to end,
// and one started from a callback fails at once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qmv/scene_types.h"

namespace qmv {

struct ReaderContext;

// ---------------------------------------------------------------- parsing

// Parses the file at `path` (compressed when its name carries ".qmvz") and
// returns the context, also when the parse failed. Callbacks run only when
// `callbacksEnabled` is exactly 1. `tracePath`, when given, receives a
// readable account of the parse.
ReaderContext* readerOpen(const char* path, void* clientData, int callbacksEnabled,
                          const char* tracePath);

// Told how far a parse has read: after each block taken from the file, the
// bytes read so far and the file's size on disk (a compressed file's
// compressed bytes). Answering false stops the parse there, with the error
// kParseStoppedMessage. It runs in the parsing thread.
using ReaderProgressFn = bool (*)(void* data, uint64_t bytesRead, uint64_t fileBytes);

struct ReaderOptions {
    void* clientData = nullptr;
    int callbacksEnabled = 1;
    const char* tracePath = nullptr;
    ReaderProgressFn progress = nullptr;
    void* progressData = nullptr;
};

// readerOpen with a progress hook.
ReaderContext* readerOpenWith(const char* path, const ReaderOptions& options);

// Parses `size` bytes held in memory: deflated when `compressed` is 1, raw
// when 0 (the caller chooses; nothing is sniffed). `name` stands for the
// path in messages and queries ("<memory>" when empty). The bytes' size
// takes the place of the file's size, for the limits and the progress. The
// bytes must stay as they are until the call returns.
ReaderContext* readerOpenMemory(const void* data, size_t size, int compressed, const char* name,
                                const ReaderOptions& options);

inline constexpr const char* kParseStoppedMessage = "Parser: Reading stopped.";
inline constexpr const char* kParseBusyMessage = "Parser: Another parse is running in this thread.";

// The first error of the parse, or nullptr when it succeeded.
const char* readerErrorText(const ReaderContext* ctx);

// Frees the context and sets *ctx to nullptr; does nothing when it is already.
void readerRelease(ReaderContext** ctx);

// True when a context is given and holds a path.
bool readerHasScene(const ReaderContext* ctx);

// Frees a pixel array that a QMVR_setImage callback kept.
void readerFreePixels(float* pixels);

// ---------------------------------------------------------------- callbacks

// Every callback slot, once: X(name, slot id, the parameters after the
// context). The slot ids (QMVR_name), the callbacks' types, their names and
// the ready-made clients below all come from this list, so that a new slot
// is one line here.
#define QMV_CALLBACK_SLOTS(X)                                                                     \
    X(setBlendMode, 57, int mode)                                                                 \
    X(ellipse, 58, double cx, double cy, double rx, double ry, int filled)                        \
    X(layer, 59, const char* name, int visible, int detectable)                                   \
    X(endLayer, 60)                                                                               \
    X(setLineDashes, 71, int pattern)                                                             \
    X(setLineStyle, 72, int first, int second, int third, int fourth)                             \
    X(box, 73, double x, double y, double width, double height, int filled)                       \
    X(line, 74, double x, double y, double dx, double dy)                                         \
    X(beginSetShape, 75, double x, double y, int shapeNumber)                                     \
    X(endSetShape, 76)                                                                            \
    X(begin, 77, int kind, double x0, double y0, int filled)                                      \
    X(vertex, 78, double x, double y)                                                             \
    X(end, 79)                                                                                    \
    X(circle, 80, double cx, double cy, double radius, int filled)                                \
    X(arc, 81, double cx, double cy, double rx, double ry, double startAngle, double endAngle,    \
      int filled)                                                                                 \
    X(shape, 82, int shapeNumber, double x, double y, double angle, double sx, double sy)         \
    X(stampshape, 83, int shapeNumber, double x, double y)                                        \
    X(extension, 85, const char* first, const char* second)                                       \
    X(beginObject, 86, const char* name)                                                          \
    X(endObject, 87)                                                                              \
    X(text, 88, double x, double y, const char* text)                                             \
    X(setImage, 89, int width, int height, float* pixels, int imageNumber)                        \
    X(fullImage, 90, int imageNumber, double x, double y, double width, double height)            \
    X(image, 91, int imageNumber, double sx, double sy, double sw, double sh, double x, double y, \
      double width, double height)                                                                \
    X(mark, 92, double x, double y)                                                               \
    X(drawEdge, 93, int edgeSetNumber)                                                            \
    X(fillFace, 94, int faceNumber)

#define QMV_SLOT_ID(name, slot, ...) inline constexpr int QMVR_##name = slot;
QMV_CALLBACK_SLOTS(QMV_SLOT_ID)
#undef QMV_SLOT_ID

inline constexpr int CALLBACK_SLOTS = 400;

// A callback reports failure by returning this.
inline constexpr int CALLBACK_FAILED = -4;
// A QMVR_setImage callback returns this to have the reader free the pixels.
inline constexpr int CALLBACK_FREE_PIXELS = 2;

// Path kinds of QMVR_begin.
inline constexpr int PATH_POLYLINE = 0;
inline constexpr int PATH_POLYGON = 1;
inline constexpr int PATH_CUBIC_BEZIER = 2;

// Fill modes of readerFillMode.
inline constexpr int FILL_GRADIENT = 0;
inline constexpr int FILL_SOLID = 1;
inline constexpr int FILL_TEXTURE = 2;
inline constexpr int FILL_STRETCHED_TEXTURE = 3;

// Colour kinds of readerColor.
inline constexpr int COLOR_LINE = 0;
inline constexpr int COLOR_FILL = 1;
inline constexpr int COLOR_MARK = 2;
inline constexpr int COLOR_BACKGROUND = 3;
inline constexpr int COLOR_GRADIENT1 = 4;
inline constexpr int COLOR_GRADIENT2 = 5;
inline constexpr int COLOR_TEXT = 6;

// The table stores untyped pointers; CallbackType<Slot>::Fn is the type each
// slot's function really has, and readerSetCallback<Slot> checks it.
using ReaderCallback = void (*)();

template <int Slot>
struct CallbackType;

#define QMV_CALLBACK_TYPE(name, slot, ...)                                   \
    template <>                                                              \
    struct CallbackType<slot> {                                              \
        using Fn = int (*)(ReaderContext* ctx __VA_OPT__(, ) __VA_ARGS__);   \
    };
QMV_CALLBACK_SLOTS(QMV_CALLBACK_TYPE)
#undef QMV_CALLBACK_TYPE

// Every slot a callback can fill, in slot order, with its name.
struct CallbackSlot {
    int slot;
    const char* name;
};
#define QMV_SLOT_ENTRY(name, slot, ...) CallbackSlot{slot, #name},
inline constexpr CallbackSlot kCallbackSlots[] = {QMV_CALLBACK_SLOTS(QMV_SLOT_ENTRY)};
#undef QMV_SLOT_ENTRY

// The slot's name ("setBlendMode"), or nullptr for a slot no callback has.
constexpr const char* callbackSlotName(int slot) {
    for (const CallbackSlot& entry : kCallbackSlots) {
        if (entry.slot == slot) return entry.name;
    }
    return nullptr;
}

// Stores `fn` at `slot` (0 to 399), replacing any earlier one; returns 1.
// nullptr empties the slot. Registrations last for the whole process.
int readerSetCallback(int slot, ReaderCallback fn);

template <int Slot>
int readerSetCallback(typename CallbackType<Slot>::Fn fn) {
    return readerSetCallback(Slot, reinterpret_cast<ReaderCallback>(fn));
}

// Empties every slot (for clients and tests that start afresh).
void readerClearCallbacks();

// A callback of `Slot` that does nothing and lets the parse go on; the
// pixels of an image go back to the reader.
template <int Slot, class Fn = typename CallbackType<Slot>::Fn>
struct NoOpCallback;
template <int Slot, class... Args>
struct NoOpCallback<Slot, int (*)(ReaderContext*, Args...)> {
    static int call(ReaderContext*, Args...) { return Slot == QMVR_setImage ? CALLBACK_FREE_PIXELS : 1; }
};

// The ready-made client: a member named after each slot that does nothing.
// A client derives from it and declares only the slots it handles, as
// static member functions of the slot's name and type
// (`static int line(ReaderContext*, double, double, double, double)`);
// readerRegisterClient then fills every slot.
struct ReaderNoOpClient {
#define QMV_NO_OP_MEMBER(name, slot, ...) static constexpr CallbackType<slot>::Fn name = &NoOpCallback<slot>::call;
    QMV_CALLBACK_SLOTS(QMV_NO_OP_MEMBER)
#undef QMV_NO_OP_MEMBER
};

// Registers Client's function for every slot, its own or the no-op it
// inherits.
template <class Client>
void readerRegisterClient() {
#define QMV_REGISTER_MEMBER(name, slot, ...) readerSetCallback<slot>(Client::name);
    QMV_CALLBACK_SLOTS(QMV_REGISTER_MEMBER)
#undef QMV_REGISTER_MEMBER
}

// Registers Handler<Slot>::call for every slot, for clients that treat the
// slots alike (a recorder, a counter): `call` is a function (or function
// template) of the slot's parameters, or a pointer to one, and a
// specialisation of Handler gives a slot a function of its own.
template <template <int> class Handler>
void readerRegisterEachSlot() {
#define QMV_REGISTER_EACH(name, slot, ...) \
    readerSetCallback<slot>(static_cast<CallbackType<slot>::Fn>(Handler<slot>::call));
    QMV_CALLBACK_SLOTS(QMV_REGISTER_EACH)
#undef QMV_REGISTER_EACH
}

// For a callback that refuses an event because of a limit of its own: records
// `message` as the parse's error, in the reader's format (the first error of
// a parse is kept, with the last-valid-opcode suffix). The callback then
// returns CALLBACK_FAILED, whose own message is dropped as a second error.
// Does nothing unless `ctx` is the context of the running parse.
void readerReportError(ReaderContext* ctx, const char* message);

// ---------------------------------------------------------------- queries
// Valid inside callbacks (on the context they receive) and after the parse.

void* readerClientData(const ReaderContext* ctx);
int readerFillMode(const ReaderContext* ctx);
// kind: COLOR_*; component: 0 red, 1 green, 2 blue, 3 alpha. 0.0 when either
// is out of range.
double readerColor(const ReaderContext* ctx, int kind, int component);
// selector: 0/1 texture points, 2/3 gradient points; coordinate 0 x, else y.
double readerFillPoint(const ReaderContext* ctx, int selector, int coordinate);
int readerImageStretchMode(const ReaderContext* ctx);
int readerTextureImage(const ReaderContext* ctx);
void readerLineStyle(const ReaderContext* ctx, int16_t* first, int16_t* second, int16_t* third,
                     int16_t* fourth);
// The dash pattern as signed 16 bits, widened: solid reads as -1.
int readerLineDashes(const ReaderContext* ctx);
int readerBlendMode(const ReaderContext* ctx);
int readerFont(const ReaderContext* ctx);
int readerFontStyle(const ReaderContext* ctx);
int readerFontSize(const ReaderContext* ctx);
int readerTextAlignment(const ReaderContext* ctx);
double readerTextAngle(const ReaderContext* ctx);
int readerLayerCount(const ReaderContext* ctx);
int readerShapeCount(const ReaderContext* ctx);
int readerImageCount(const ReaderContext* ctx);
int readerParseSeconds(const ReaderContext* ctx);
// The size of the file on disk in bytes (a compressed file's compressed
// size); 0 when it could not be opened. Clients scale their limits by it.
uint64_t readerFileSize(const ReaderContext* ctx);
void readerLowerLeft(const ReaderContext* ctx, double* x, double* y);
void readerUpperRight(const ReaderContext* ctx, double* x, double* y);
// Edge sets count from 1 (0 and below give the first); nullptr past the end.
const EdgeSet* readerEdge(const ReaderContext* ctx, int position);
// Faces count from 0; nullptr for a negative position or past the end.
const Face* readerFace(const ReaderContext* ctx, int position);
// List 0 is the start point followed by the first list's points; list i >= 1
// is that list's points. Returns 1 and the point, or 0 when there is none.
int edgeSetPoint(const EdgeSet* set, int listIndex, int pointIndex, Point* out);

// The header's remaining values, for tools that show them.
struct HeaderInfo {
    int reserved = 0;
    int version = 0;
    int release = 0;
    Point resolution;
    Point lowerLeft;
    Point upperRight;
    Point mm;
};
HeaderInfo readerHeaderInfo(const ReaderContext* ctx);

}  // namespace qmv
