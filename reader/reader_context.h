// The ReaderContext and the reader's process-wide state: the current parse,
// its PackedFile and cursor, the shared scratch buffers and the
// callback table. One parse runs at a time; every handler reaches the parse
// through `g_reader` and needs no arguments.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "graphic_state.h"
#include "qmv/bit_cursor.h"
#include "input_limits.h"
#include "qmv/opcodes.h"
#include "qmv/packed_file.h"
#include "qmv/reader.h"
#include "qmv/scene_walk.h"

namespace qmv {

struct ReaderContext {
    ReaderContext() = default;
    ReaderContext(const ReaderContext&) = delete;
    ReaderContext& operator=(const ReaderContext&) = delete;

    std::string path;
    Point resolution;
    Point lowerLeft;
    Point upperRight;
    Point mm;
    int32_t startTime = 0;
    int32_t endTime = 0;
    int8_t version = 0;
    int8_t release = 0;
    int8_t reserved = 0;
    void* clientData = nullptr;
    // The state in force (`gs`) and the copies the walk returns to.
    SceneWalk<GraphicState> walk;
    GraphicState& gs = walk.now;
    int32_t layerCount = 0;
    bool hasError = false;
    std::string errorText;
    int32_t lastValidOpcode = -1;
    int32_t currentOpcode = -1;
    std::FILE* traceFile = nullptr;
    int32_t callbacksEnabled = 0;

    // The file's size on disk, and what it allows (input_limits.h); a
    // context used without a file allows the base amounts.
    uint64_t fileBytes = 0;
    uint64_t decodedAllowance = kDecodedBase;
    uint64_t decodedHeld = 0;
    uint64_t rangeDrawsLeft = kRangeDrawBase;

    // Storage behind the GraphicState's references (a state and its
    // snapshots may refer to the same list).
    std::vector<std::unique_ptr<EdgeList>> edgeLists;
    std::vector<std::unique_ptr<FaceList>> faceLists;
};

struct ReaderGlobals {
    ReaderContext* ctx = nullptr;
    PackedFile* file = nullptr;
    // Reads the file's blocks; ended at the first error, so that from then on
    // every read yields 0.
    BitCursor cursor;

    ReaderCallback callbacks[CALLBACK_SLOTS] = {};

    // Shared across the commands of a parse so that runs of polylines and
    // texts do not allocate per command.
    PointList tempList;
    std::string scratch;
};

extern ReaderGlobals g_reader;

// Records the first error of the parse (later ones are dropped).
void readerError(const char* message);

// True while the current parse has recorded no error.
inline bool parseOk() { return g_reader.ctx != nullptr && !g_reader.ctx->hasError; }

// The callback at `slot`, or nullptr after recording "Callback not defined!!!".
ReaderCallback readerGetCallback(int slot);

// Calls the callback of `Slot` with the current context when callbacks are
// enabled. Returns the callback's result, or 0 when none was called.
template <int Slot, class... Args>
int invokeCallback(Args... args) {
    ReaderContext* ctx = g_reader.ctx;
    if (ctx->callbacksEnabled != 1) return 0;
    ReaderCallback fn = readerGetCallback(Slot);
    if (fn == nullptr) return 0;
    return reinterpret_cast<typename CallbackType<Slot>::Fn>(fn)(ctx, args...);
}

// As invokeCallback, recording `failMessage` when the client returns -4.
template <int Slot, class... Args>
int invokeChecked(const char* failMessage, Args... args) {
    int result = invokeCallback<Slot>(args...);
    if (result == CALLBACK_FAILED) readerError(failMessage);
    return result;
}

// Takes `items` from the context's allowance of decoded items; false (and
// nothing taken) when that would pass it.
inline bool takeDecoded(ReaderContext& ctx, uint64_t items) {
    if (items > ctx.decodedAllowance - ctx.decodedHeld) return false;
    ctx.decodedHeld += items;
    return true;
}

inline void giveBackDecoded(ReaderContext& ctx, uint64_t items) {
    ctx.decodedHeld -= items < ctx.decodedHeld ? items : ctx.decodedHeld;
}

// An edge set counts one item per list and one per point.
inline uint64_t decodedItems(const EdgeSet& set) {
    uint64_t items = set.lists.size();
    for (const PointList& list : set.lists) items += list.points.size();
    return items;
}

}  // namespace qmv
