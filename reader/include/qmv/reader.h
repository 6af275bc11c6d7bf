// The scene file reader: decodes a QMV scene file and reports every drawing
// event to the callbacks its client registered by slot id.
//
// A client registers its callbacks once, then calls readerOpen, which runs the
// whole parse in the caller's thread and returns the context. The context
// stays valid for the queries below until readerRelease. One parse runs at a
// time: a parse started on another thread waits for the running one to end,
// and one started from a callback fails at once.
#pragma once

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

// Slot ids agreed between the reader and its clients.
inline constexpr int QMVR_setBlendMode = 57;
inline constexpr int QMVR_ellipse = 58;
inline constexpr int QMVR_layer = 59;
inline constexpr int QMVR_endLayer = 60;
inline constexpr int QMVR_setLineDashes = 71;
inline constexpr int QMVR_setLineStyle = 72;
inline constexpr int QMVR_box = 73;
inline constexpr int QMVR_line = 74;
inline constexpr int QMVR_beginSetShape = 75;
inline constexpr int QMVR_endSetShape = 76;
inline constexpr int QMVR_begin = 77;
inline constexpr int QMVR_vertex = 78;
inline constexpr int QMVR_end = 79;
inline constexpr int QMVR_circle = 80;
inline constexpr int QMVR_arc = 81;
inline constexpr int QMVR_shape = 82;
inline constexpr int QMVR_stampshape = 83;
inline constexpr int QMVR_extension = 85;
inline constexpr int QMVR_beginObject = 86;
inline constexpr int QMVR_endObject = 87;
inline constexpr int QMVR_text = 88;
inline constexpr int QMVR_setImage = 89;
inline constexpr int QMVR_fullImage = 90;
inline constexpr int QMVR_image = 91;
inline constexpr int QMVR_mark = 92;
inline constexpr int QMVR_drawEdge = 93;
inline constexpr int QMVR_fillFace = 94;

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

#define QMV_CALLBACK_TYPE(slot, ...)                                 \
    template <>                                                      \
    struct CallbackType<slot> {                                      \
        using Fn = int (*)(ReaderContext* ctx __VA_OPT__(, ) __VA_ARGS__); \
    }

QMV_CALLBACK_TYPE(QMVR_setBlendMode, int mode);
QMV_CALLBACK_TYPE(QMVR_ellipse, double cx, double cy, double rx, double ry, int filled);
QMV_CALLBACK_TYPE(QMVR_layer, const char* name, int visible, int detectable);
QMV_CALLBACK_TYPE(QMVR_endLayer);
QMV_CALLBACK_TYPE(QMVR_setLineDashes, int pattern);
QMV_CALLBACK_TYPE(QMVR_setLineStyle, int first, int second, int third, int fourth);
QMV_CALLBACK_TYPE(QMVR_box, double x, double y, double width, double height, int filled);
QMV_CALLBACK_TYPE(QMVR_line, double x, double y, double dx, double dy);
QMV_CALLBACK_TYPE(QMVR_beginSetShape, double x, double y, int shapeNumber);
QMV_CALLBACK_TYPE(QMVR_endSetShape);
QMV_CALLBACK_TYPE(QMVR_begin, int kind, double x0, double y0, int filled);
QMV_CALLBACK_TYPE(QMVR_vertex, double x, double y);
QMV_CALLBACK_TYPE(QMVR_end);
QMV_CALLBACK_TYPE(QMVR_circle, double cx, double cy, double radius, int filled);
QMV_CALLBACK_TYPE(QMVR_arc, double cx, double cy, double rx, double ry, double startAngle,
                  double endAngle, int filled);
QMV_CALLBACK_TYPE(QMVR_shape, int shapeNumber, double x, double y, double angle, double sx,
                  double sy);
QMV_CALLBACK_TYPE(QMVR_stampshape, int shapeNumber, double x, double y);
QMV_CALLBACK_TYPE(QMVR_extension, const char* first, const char* second);
QMV_CALLBACK_TYPE(QMVR_beginObject, const char* name);
QMV_CALLBACK_TYPE(QMVR_endObject);
QMV_CALLBACK_TYPE(QMVR_text, double x, double y, const char* text);
QMV_CALLBACK_TYPE(QMVR_setImage, int width, int height, float* pixels, int imageNumber);
QMV_CALLBACK_TYPE(QMVR_fullImage, int imageNumber, double x, double y, double width,
                  double height);
QMV_CALLBACK_TYPE(QMVR_image, int imageNumber, double sx, double sy, double sw, double sh,
                  double x, double y, double width, double height);
QMV_CALLBACK_TYPE(QMVR_mark, double x, double y);
QMV_CALLBACK_TYPE(QMVR_drawEdge, int edgeSetNumber);
QMV_CALLBACK_TYPE(QMVR_fillFace, int faceNumber);

#undef QMV_CALLBACK_TYPE

// Stores `fn` at `slot` (0 to 399), replacing any earlier one; returns 1.
// nullptr empties the slot. Registrations last for the whole process.
int readerSetCallback(int slot, ReaderCallback fn);

template <int Slot>
int readerSetCallback(typename CallbackType<Slot>::Fn fn) {
    return readerSetCallback(Slot, reinterpret_cast<ReaderCallback>(fn));
}

// Empties every slot (for clients and tests that start afresh).
void readerClearCallbacks();

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
