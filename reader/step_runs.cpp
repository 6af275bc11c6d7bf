#include "step_runs.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace qmv {

namespace {

constexpr Point kDirections[8] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                  {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

// Every 8-bit step byte as a Point: high nibble x, low nibble y, each two's
// complement.
struct StepTable8 {
    Point step[256];
    constexpr StepTable8() {
        for (int b = 0; b < 256; ++b) {
            step[b] = {static_cast<double>(((b >> 4) ^ 8) - 8),
                       static_cast<double>(((b & 15) ^ 8) - 8)};
        }
    }
};
constexpr StepTable8 kSteps8{};

// Every 6-bit step (two signed 3-bit numbers) as a Point.
struct StepTable6 {
    Point step[64];
    constexpr StepTable6() {
        for (int v = 0; v < 64; ++v) {
            step[v] = {static_cast<double>(((v >> 3) ^ 4) - 4), static_cast<double>(((v & 7) ^ 4) - 4)};
        }
    }
};
constexpr StepTable6 kSteps6{};

inline uint16_t load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return __builtin_bswap32(v);
}
inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// The byte-sized runs. Each is a loop of its own, not inlined into the
// caller, so that the running point stays in two registers for the run.
struct Run8 {
    static constexpr size_t kBytes = 1;
    static Point step(const uint8_t* p) { return kSteps8.step[p[0]]; }
};
struct Run16 {
    static constexpr size_t kBytes = 2;
    static Point step(const uint8_t* p) {
        return {static_cast<double>(static_cast<int8_t>(p[0])),
                static_cast<double>(static_cast<int8_t>(p[1]))};
    }
};
struct Run24 {  // two 12-bit numbers from a byte frontier
    static constexpr size_t kBytes = 3;
    static Point step(const uint8_t* p) {
        const int x = (p[0] << 4) | (p[1] >> 4);
        const int y = ((p[1] & 0x0F) << 8) | p[2];
        return {static_cast<double>(((x ^ 0x800) - 0x800)), static_cast<double>(((y ^ 0x800) - 0x800))};
    }
};
struct Run32 {
    static constexpr size_t kBytes = 4;
    static Point step(const uint8_t* p) {
        return {static_cast<double>(static_cast<int16_t>(load16(p))),
                static_cast<double>(static_cast<int16_t>(load16(p + 2)))};
    }
};
struct Run64 {
    static constexpr size_t kBytes = 8;
    static Point step(const uint8_t* p) {
        return {std::bit_cast<float>(load32(p)), std::bit_cast<float>(load32(p + 4))};
    }
};
struct Run128 {
    static constexpr size_t kBytes = 16;
    static Point step(const uint8_t* p) {
        return {std::bit_cast<double>(load64(p)), std::bit_cast<double>(load64(p + 8))};
    }
};

template <class Run>
[[gnu::noinline]] void decodeByteRun(const uint8_t* src, size_t n, Point* dst, Point* at) {
    double x = at->x;
    double y = at->y;
    for (size_t k = 0; k < n; ++k, src += Run::kBytes) {
        const Point step = Run::step(src);
        x += step.x;
        y += step.y;
        dst[k].x = x;
        dst[k].y = y;
    }
    at->x = x;
    at->y = y;
}

// Bit-sized runs (3 and 6 bits a step) through a 64-bit window loaded at the
// bit position; only windows wholly inside `bytes` are used. Returns the
// steps decoded, at most `n`.
template <int Width>
[[gnu::noinline]] size_t decodeBitRun(const uint8_t* src, size_t bytes, int bitPos, size_t n,
                                      Point* dst, Point* at) {
    double x = at->x;
    double y = at->y;
    size_t bit = static_cast<size_t>(bitPos);
    size_t k = 0;
    while (k < n && (bit >> 3) + 8 <= bytes) {
        uint64_t window = load64(src + (bit >> 3)) << (bit & 7);
        size_t fit = (64 - (bit & 7)) / Width;
        if (fit > n - k) fit = n - k;
        for (size_t j = 0; j < fit; ++j, ++k) {
            const unsigned code = static_cast<unsigned>(window >> (64 - Width));
            window <<= Width;
            const Point& step = Width == 3 ? kDirections[code] : kSteps6.step[code];
            x += step.x;
            y += step.y;
            dst[k].x = x;
            dst[k].y = y;
        }
        bit += fit * Width;
    }
    at->x = x;
    at->y = y;
    return k;
}

// Decodes the whole steps of the current block, at most `n`; 0 when none is
// whole there (or the size has no run at this bit position).
size_t decodeRun(BitCursor& in, int size, size_t n, Point* dst, Point* at) {
    const size_t bytes = in.readyCount();
    switch (size) {
    case 3:
    case 6: {
        const size_t steps = size == 3 ? decodeBitRun<3>(in.ready(), bytes, in.bitPosition(), n, dst, at)
                                       : decodeBitRun<6>(in.ready(), bytes, in.bitPosition(), n, dst, at);
        in.consumeBits(steps * static_cast<size_t>(size));
        return steps;
    }
    default:
        break;
    }
    const size_t stepBytes = static_cast<size_t>(size) / 8;
    if (stepBytes == 0) return 0;
    if (size == 24 && in.bitPosition() != 0) return 0;  // a half-byte phase: per value
    size_t steps = bytes / stepBytes;
    if (steps > n) steps = n;
    if (steps == 0) return 0;
    const uint8_t* src = in.ready();
    switch (size) {
    case 8: decodeByteRun<Run8>(src, steps, dst, at); break;
    case 16: decodeByteRun<Run16>(src, steps, dst, at); break;
    case 24: decodeByteRun<Run24>(src, steps, dst, at); break;
    case 32: decodeByteRun<Run32>(src, steps, dst, at); break;
    case 64: decodeByteRun<Run64>(src, steps, dst, at); break;
    case 128: decodeByteRun<Run128>(src, steps, dst, at); break;
    default: return 0;
    }
    in.consume(steps * stepBytes);
    return steps;
}

}  // namespace

Point readPointOfSize(BitCursor& in, int size) {
    switch (size) {
    case 3:
        return kDirections[in.threeBits(false) & 7];
    case 6: {
        const int x = in.threeBits(true);
        const int y = in.threeBits(true);
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 8: {
        return kSteps8.step[in.take()];
    }
    case 16: {
        const int x = in.signedByte();
        const int y = in.signedByte();
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 24: {
        const int x = in.twelveBits(true);
        const int y = in.twelveBits(true);
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 32: {
        const int x = in.sixteenBits(true);
        const int y = in.sixteenBits(true);
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 64: {
        const double x = in.floatValue();
        return {x, in.floatValue()};
    }
    case 128: {
        const double x = in.doubleValue();
        return {x, in.doubleValue()};
    }
    default:
        return {};
    }
}

Point readSteps(BitCursor& in, int size, size_t count, Point start, std::vector<Point>& out) {
    Point at = start;
    size_t written = 0;
    while (written < count) {
        // Room for every step the block can hold (at 3 bits a step, less than
        // three a byte) and one that straddles it, so that storage grows
        // with the data, never with the claimed count alone.
        size_t room = in.readyCount() * 3 + 1;
        if (room > count - written) room = count - written;
        if (out.size() < written + room) out.resize(written + room);
        const size_t n = decodeRun(in, size, room, out.data() + written, &at);
        if (n > 0) {
            written += n;
            continue;
        }
        // One step the per-value way: it refills the block, or finds the end.
        if (in.atEnd()) break;
        const Point step = readPointOfSize(in, size);
        at.x += step.x;
        at.y += step.y;
        out[written++] = at;
    }
    out.resize(written);
    return at;
}

}  // namespace qmv
