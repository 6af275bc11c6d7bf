// The byte source of scene files: a raw file, or the inflated bytes of one
// zlib stream. The file name decides which (isCompressedName, format.h); the
// content is never sniffed. Bytes are handed out a block at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qmv {

struct PackedFile;

// The size of the blocks handed out (the last may be shorter): larger than a
// disk block, so that a reader's per-byte path stays a compare and a load
// for long stretches.
inline constexpr size_t kPackedBlockBytes = 64 * 1024;

// nullptr for a missing path, a bad compressed flag (0 or 1), a set-up
// failure, a directory, or a file that cannot be opened.
PackedFile* packedOpen(const char* path, int compressed);
// Reads `size` bytes held in memory, deflated when `compressed` is 1; they
// must stay as they are until the PackedFile is closed. nullptr for a bad
// compressed flag or a set-up failure.
PackedFile* packedOpenMemory(const void* data, size_t size, int compressed);

// 0 on success, -1 for nullptr or when the inflater cannot be ended. The
// file and the buffers are released in every case.
int packedClose(PackedFile* pf);

// The bytes not yet handed out, at least one, in [*begin, *end); they stay
// valid until the next call. False when no byte is left (the end of the data,
// a corrupt or cut stream, a stop, or the inflate limit).
bool packedNextBlock(PackedFile* pf, const uint8_t** begin, const uint8_t** end);

// Byte at a time, for callers that need no speed: the next byte 0 to 255,
// consumed (packedGetc) or left (packedPeek); -1 when none is left.
int packedGetc(PackedFile* pf);
int packedPeek(PackedFile* pf);

// Why the data ended before its natural end, if it did.
enum class PackedStop { None, Stopped, InflateLimit };
PackedStop packedStopReason(const PackedFile* pf);

// The size of the file when it was opened (of the bytes, for memory).
uint64_t packedFileBytes(const PackedFile* pf);
bool packedIsCompressed(const PackedFile* pf);

// The inflater this build reads compressed files with ("ISA-L" or "zlib").
const char* packedInflaterName();

// A compressed stream inflating past `limit` bytes (0: no limit) ends there.
// Set it before the first read: from then on another thread inflates.
void packedSetInflateLimit(PackedFile* pf, uint64_t limit);

// A hook told after every refill of the file bytes read so far and the file
// size. One that answers false stops the data there, as if the file ended.
using PackedProgress = bool (*)(void* data, uint64_t bytesRead, uint64_t fileBytes);
void packedSetProgress(PackedFile* pf, PackedProgress hook, void* data);

}  // namespace qmv
