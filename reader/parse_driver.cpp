// The public face of the reader and the loop that walks a file: header, global
// layer (attributes and definitions), then the layers, each a body of
// commands. Errors never unwind: the first message is recorded, every later
// read yields 0, and each loop stops at its next check.
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <mutex>
#include <new>

#include "bit_reader.h"
#include "decoders.h"
#include "handlers.h"
#include "input_limits.h"
#include "opcode_table.h"
#include "qmv/format.h"
#include "qmv/reader.h"
#include "reader_context.h"
#include "trace.h"

namespace qmv {

ReaderGlobals g_reader;

namespace {

void resetContext(ReaderContext* ctx) {
    ctx->hasError = false;
    ctx->errorText.clear();
    ctx->layerCount = 0;
    ctx->walk.restart(GraphicState{});
}

void parseHeader(ReaderContext* ctx) {
    for (unsigned char expected : kSceneMagic) {
        if (in().take() != expected) {
            readerError("Missing header.");
            return;
        }
    }
    ctx->reserved = static_cast<int8_t>(in().take());
    ctx->version = static_cast<int8_t>(in().take());
    ctx->release = static_cast<int8_t>(in().take());
    ctx->gs.absPointSize = in().take();
    ctx->gs.relPointSize = in().take();
    ctx->resolution = getpoint(ABSPOINT);
    ctx->lowerLeft = getpoint(ABSPOINT);
    ctx->upperRight = getpoint(ABSPOINT);
    ctx->mm = getpoint(ABSPOINT);
    getcolorAligned(ctx->gs.backgroundColor);
    traceHeader(ctx);
}

// A layer or shape body: commands, attributes, objects and definitions.
void parseLayerBody() {
    ReaderContext* ctx = g_reader.ctx;
    while (parseOk()) {
        int opcode = in().peekByte();
        if (opcode < 0 || !isBodyClass(opcodeClass(opcode))) break;
        ctx->currentOpcode = opcode;
        traceOpcodeLine(opcode);
        takeOpcode();
        dispatchOpcode(opcode);
        if (parseOk()) ctx->lastValidOpcode = ctx->currentOpcode;
    }
}

void parseShapeDefinition() {
    if (takeOpcode() != QMVR_BeginSetShape) {
        readerError("Shape: Shape called but function is not a BeginSetShape. Shape closed before open?");
    }
    traceOpcodeLine(QMVR_BeginSetShape);
    MakeBeginSetShape();
    parseLayerBody();
    if (takeOpcode() != QMVR_EndSetShape) readerError("Shape: Shape does not close.");
    traceOpcodeLine(QMVR_EndSetShape);
    MakeEndSetShape();
}

void parseImageDefinition() {
    if (takeOpcode() != QMVR_SetImage) readerError("Function Image called, but it is not an Image!");
    traceOpcodeLine(QMVR_SetImage);
    MakeSetImage();
}

void dispatchRunOfClass(OpcodeClass cls) {
    while (nextOpcodeHasClass(cls)) {
        int opcode = takeOpcode();
        traceOpcodeLine(opcode);
        dispatchOpcode(opcode);
    }
}

void parseGlobalLayer(ReaderContext* ctx) {
    for (;;) {
        const OpcodeClass cls = opcodeClass(peekOpcode());
        if (cls == OpcodeClass::Layer) break;
        if (!parseOk()) break;
        switch (cls) {
        case OpcodeClass::Attribute:
        case OpcodeClass::GlobalOnly:
        case OpcodeClass::Definition:
            dispatchRunOfClass(cls);
            break;
        case OpcodeClass::Image:
            parseImageDefinition();
            break;
        case OpcodeClass::Shape:
            parseShapeDefinition();
            break;
        default:
            readerError("Error in globallayer: Not supported function type in globallayer.");
            break;
        }
    }
    ctx->gs.globalLayerDone = 1;
}

// Edge sets defined inside the previous layer end with it.
void releaseLayerEdges(ReaderContext* ctx) {
    EdgeList* list = ctx->gs.edgeList;
    if (list == nullptr || list->layerMark < 0) return;
    for (size_t i = static_cast<size_t>(list->layerMark); i < list->sets.size(); ++i) {
        giveBackDecoded(*ctx, decodedItems(*list->sets[i]));
    }
    list->sets.resize(static_cast<size_t>(list->layerMark));
    list->layerMark = -1;
    if (ctx->walk.layerStart().edgeList == nullptr) {
        // Created inside the layer: the holder goes too.
        std::erase_if(ctx->edgeLists, [list](const auto& held) { return held.get() == list; });
        ctx->gs.edgeList = nullptr;
    }
}

void beginLayerState(ReaderContext* ctx) {
    releaseLayerEdges(ctx);
    // objectOpen survives the restore so that the Layer handler can close an
    // object the previous layer left open.
    int32_t objectOpen = ctx->gs.objectOpen;
    ctx->walk.beginLayer();
    ctx->gs.objectOpen = objectOpen;
}

void parseLayers(ReaderContext* ctx) {
    while (nextOpcodeHasClass(OpcodeClass::Layer)) {
        int opcode = takeOpcode();
        if (opcode != QMVR_Layer) readerError("Layers: Layers called but function is not a BeginLayer.");
        traceLayerSeparator();
        traceOpcodeLine(opcode);
        beginLayerState(ctx);
        MakeLayer();
        parseLayerBody();
    }
    // Once, after the last layer, whatever the callbacks-enabled flag.
    if (ReaderCallback fn = readerGetCallback(QMVR_endLayer)) {
        reinterpret_cast<CallbackType<QMVR_endLayer>::Fn>(fn)(ctx);
    }
    if (in().atEnd()) return;
    if (opcodeClass(peekOpcode()) == OpcodeClass::GlobalOnly) {
        readerError("Parse.c [layers]: Global layer command found in normal layer.");
    } else {
        readerError(
            "Parse.c [layers]: File was not fully read. Command in file is neither a command, nor "
            "an attribute nor a layer.");
    }
}

void parseFile(ReaderContext* ctx) {
    resetContext(ctx);
    parseHeader(ctx);
    if (!parseOk()) return;
    parseGlobalLayer(ctx);
    if (parseOk()) parseLayers(ctx);
}

// The palettes and the scratch buffers end with the parse; edges, faces and
// the rest of the state stay for the queries.
void finishParse(ReaderContext* ctx) {
    g_reader.scratch = std::string();
    g_reader.tempList = PointList();
    ctx->walk.forEachState([](GraphicState& state) {
        state.palette.reset();
        state.paletteCount = 0;
    });
}

int32_t nowSeconds() { return static_cast<int32_t>(std::time(nullptr)); }

// The reader's globals serve one parse at a time: parses from other threads
// queue here, and a thread already parsing (a callback) may not start one.
std::mutex parseLock;
thread_local bool parsingInThisThread = false;

// Marks this thread as parsing for the scope's life.
struct ParsingHere {
    ParsingHere() { parsingInThisThread = true; }
    ~ParsingHere() { parsingInThisThread = false; }
    ParsingHere(const ParsingHere&) = delete;
    ParsingHere& operator=(const ParsingHere&) = delete;
};

// The cursor's source: the file's next block. A stop or the inflate limit is
// recorded as the parse's error where the data ends.
bool refillFromFile(void* source, const uint8_t** begin, const uint8_t** end) {
    auto* file = static_cast<PackedFile*>(source);
    if (packedNextBlock(file, begin, end)) return true;
    switch (packedStopReason(file)) {
    case PackedStop::Stopped:
        readerError(kParseStoppedMessage);
        break;
    case PackedStop::InflateLimit:
        readerError("Parser: Compressed data inflates past its limit.");
        break;
    case PackedStop::None:
        break;
    }
    return false;
}

// Parses what `file` holds (nullptr: it could not be opened) and closes it.
void readerParse(ReaderContext* ctx, const ReaderOptions& options, PackedFile* file) {
    if (parsingInThisThread) {
        if (file != nullptr) packedClose(file);
        ctx->hasError = true;
        ctx->errorText = kParseBusyMessage;
        return;
    }
    const std::lock_guard<std::mutex> lock(parseLock);
    const ParsingHere parsing;
    g_reader.ctx = ctx;
    if (file == nullptr) {
        g_reader.ctx = nullptr;
        ctx->hasError = true;
        ctx->errorText = "Parser: Error reading file";
        return;
    }
    packedSetProgress(file, options.progress, options.progressData);
    g_reader.file = file;
    g_reader.cursor = BitCursor(refillFromFile, file);
    g_reader.cursor.setFailureSink(readerError);
    ctx->fileBytes = packedFileBytes(file);
    ctx->decodedAllowance = allowanceFor(kDecodedBase, kDecodedPerFileByte, ctx->fileBytes);
    ctx->decodedHeld = 0;
    ctx->rangeDrawsLeft = allowanceFor(kRangeDrawBase, kRangeDrawPerFileByte, ctx->fileBytes);
    if (packedIsCompressed(file)) {
        packedSetInflateLimit(file, allowanceFor(kInflateBase, kInflatePerFileByte, ctx->fileBytes));
    }
    ctx->startTime = nowSeconds();
    parseFile(ctx);
    ctx->endTime = nowSeconds();
    finishParse(ctx);
    packedClose(file);
    g_reader.ctx = nullptr;
    g_reader.file = nullptr;
    g_reader.cursor = BitCursor();
}

}  // namespace

void readerError(const char* message) {
    ReaderContext* ctx = g_reader.ctx;
    if (ctx == nullptr || ctx->hasError) return;
    ctx->hasError = true;
    g_reader.cursor.end();
    ctx->errorText = message;
    if (ctx->lastValidOpcode != -1) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, " Last valid func called: %xH",
                      static_cast<unsigned>(ctx->lastValidOpcode));
        ctx->errorText += suffix;
    }
}

ReaderCallback readerGetCallback(int slot) {
    ReaderCallback fn = (slot >= 0 && slot < CALLBACK_SLOTS) ? g_reader.callbacks[slot] : nullptr;
    if (fn == nullptr) readerError("Callback not defined!!!");
    return fn;
}

int readerSetCallback(int slot, ReaderCallback fn) {
    if (slot >= 0 && slot < CALLBACK_SLOTS) g_reader.callbacks[slot] = fn;
    return 1;
}

void readerReportError(ReaderContext* ctx, const char* message) {
    if (ctx != nullptr && ctx == g_reader.ctx && message != nullptr) readerError(message);
}

void readerClearCallbacks() {
    for (ReaderCallback& fn : g_reader.callbacks) fn = nullptr;
}

ReaderContext* readerOpen(const char* path, void* clientData, int callbacksEnabled,
                          const char* tracePath) {
    ReaderOptions options;
    options.clientData = clientData;
    options.callbacksEnabled = callbacksEnabled;
    options.tracePath = tracePath;
    return readerOpenWith(path, options);
}

namespace {

// A context for `path` with the options' client, its trace open; the parse
// of `file` fills it.
ReaderContext* parseInto(const char* path, const ReaderOptions& options, PackedFile* file) {
    auto* ctx = new (std::nothrow) ReaderContext;
    if (ctx == nullptr) {
        if (file != nullptr) packedClose(file);
        return nullptr;
    }
    ctx->path = path != nullptr ? path : "";
    ctx->clientData = options.clientData;
    ctx->callbacksEnabled = options.callbacksEnabled;
    if (options.tracePath != nullptr) ctx->traceFile = std::fopen(options.tracePath, "w");
    readerParse(ctx, options, file);
    if (ctx->traceFile != nullptr) {
        std::fclose(ctx->traceFile);
        ctx->traceFile = nullptr;
    }
    return ctx;
}

}  // namespace

ReaderContext* readerOpenWith(const char* path, const ReaderOptions& options) {
    PackedFile* file =
        path != nullptr ? packedOpen(path, isCompressedName(path) ? 1 : 0) : nullptr;
    return parseInto(path, options, file);
}

ReaderContext* readerOpenMemory(const void* data, size_t size, int compressed, const char* name,
                                const ReaderOptions& options) {
    PackedFile* file = packedOpenMemory(data, size, compressed);
    return parseInto(name != nullptr && *name != '\0' ? name : "<memory>", options, file);
}

const char* readerErrorText(const ReaderContext* ctx) {
    return ctx != nullptr && ctx->hasError ? ctx->errorText.c_str() : nullptr;
}

void readerRelease(ReaderContext** ctx) {
    if (ctx == nullptr || *ctx == nullptr) return;
    delete *ctx;
    *ctx = nullptr;
}

bool readerHasScene(const ReaderContext* ctx) { return ctx != nullptr && !ctx->path.empty(); }

void readerFreePixels(float* pixels) { std::free(pixels); }

}  // namespace qmv
