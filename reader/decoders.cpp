// Operand decoders over the bit reader.
#include "decoders.h"

#include <cmath>

#include "bit_reader.h"
#include "input_limits.h"

namespace qmv {

namespace {

constexpr double kComponentScale = 0.00392156862745098;  // 1/255

// Reads x then y in `size` bits. Sizes outside the known set read nothing and
// give (0, 0).
inline Point readPointOfSize(int size) {
    switch (size) {
    case 3:
        return directionStep(get1int3(VAL_UNSIGNED));
    case 6: {
        int x = get1int3(VAL_SIGNED);
        int y = get1int3(VAL_SIGNED);
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 8: {
        int b = takeUbyte();
        int x = b >> 4;
        int y = b & 0x0F;
        if (x > 7) x -= 16;
        if (y > 7) y -= 16;
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 16: {
        int x = get1byte(VAL_SIGNED, GETMODE_TAKE);
        int y = get1byte(VAL_SIGNED, GETMODE_TAKE);
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 24: {
        int x = get1int12(VAL_SIGNED);
        int y = get1int12(VAL_SIGNED);
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 32: {
        int x = get1int16(VAL_SIGNED);
        int y = get1int16(VAL_SIGNED);
        return {static_cast<double>(x), static_cast<double>(y)};
    }
    case 64: {
        double x = get1float();
        double y = get1float();
        return {x, y};
    }
    case 128: {
        double x = get1double();
        double y = get1double();
        return {x, y};
    }
    default:
        return {};
    }
}

// The value a palette entry or a direct level gives as a grey colour.
inline void setGrey(Color& c, double level) {
    c.r = c.g = c.b = level * kComponentScale;
    c.a = 1.0;
}

inline void setFromPalette(Color& c, int index) {
    c.r = PickColorFromPalette(index, 'r');
    c.g = PickColorFromPalette(index, 'g');
    c.b = PickColorFromPalette(index, 'b');
    c.a = PickColorFromPalette(index, 'a');
}

}  // namespace

Point directionStep(int code) {
    static constexpr Point kSteps[8] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                        {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    return kSteps[code & 7];
}

Point getpoint(int pointType) {
    const GraphicState& gs = g_reader.ctx->gs;
    int size;
    if (pointType == ABSPOINT) {
        size = gs.absPointSize;
        if (size < 16) readerError("getpoint: point is smaller than 16 bits and is an ABSPOINT.");
    } else if (pointType == RELPOINT) {
        size = gs.relPointSize;
    } else {
        readerError("Point: Point type in neither absolute nor relative.");
        return {};
    }
    return readPointOfSize(size);
}

bool pointSizeReadsBits(int size) {
    switch (size) {
    case 3: case 6: case 8: case 16: case 24: case 32: case 64: case 128:
        return true;
    default:
        return false;
    }
}

namespace {

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

// The hot loop. The running point goes in and out through `at`, and the
// function is not inlined, which lets the compiler keep the running point in
// one register for the whole run instead of a stack slot reloaded per step.
[[gnu::noinline]] void decodeSteps8(const uint8_t* src, size_t n, Point* dst, Point* at) {
    double x = at->x;
    double y = at->y;
    for (size_t k = 0; k < n; ++k) {
        const Point& step = kSteps8.step[src[k]];
        x += step.x;
        y += step.y;
        dst[k].x = x;
        dst[k].y = y;
    }
    at->x = x;
    at->y = y;
}

// 8-bit steps straight from the PackedFile's buffer: one byte per step and
// no bit position involved, so whole runs of the buffer decode at once.
Point readSteps8(int count, Point start, std::vector<Point>& out) {
    Point at = start;
    PackedFile* pf = g_reader.file;
    size_t written = 0;
    const size_t wanted = count > 0 ? static_cast<size_t>(count) : 0;
    while (written < wanted) {
        if (g_reader.ended) break;
        const size_t avail = pf->outEnd - pf->outPos;
        if (avail == 0) {
            if (atEnd()) break;  // refills, or marks the data ended
            continue;
        }
        const size_t n = avail < wanted - written ? avail : wanted - written;
        // Grows only by steps that are in the buffer, so a count larger than
        // the data allocates no more than the data holds.
        if (out.size() < written + n) out.resize(written + n);
        decodeSteps8(pf->outBuffer.get() + pf->outPos, n, out.data() + written, &at);
        pf->outPos += n;
        written += n;
    }
    out.resize(written);
    return at;
}

}  // namespace

Point readPointList(int count, Point start, PointList& list) {
    Point running = start;
    const int size = g_reader.ctx->gs.relPointSize;
    // Steps of a size that reads no bits would never reach the end of the
    // data: such a list holds no points.
    if (!pointSizeReadsBits(size)) count = 0;
    if (size == 8) {
        running = readSteps8(count, start, list.points);
    } else {
        list.points.clear();
        double x = start.x;
        double y = start.y;
        for (int i = 0; i < count; ++i) {
            if (atEnd()) break;
            const Point step = readPointOfSize(size);
            x += step.x;
            y += step.y;
            list.points.push_back({x, y});
        }
        running = {x, y};
    }
    list.count = static_cast<int32_t>(list.points.size());
    alignToByte();
    return running;
}

PointList getPointList(int count, Point start, Point* running) {
    PointList list;
    Point end = readPointList(count, start, list);
    if (running != nullptr) *running = end;
    return list;
}

const PointList& getTempPointList(int count, Point start, Point* running) {
    // The vector keeps its capacity, so equal or smaller requests never
    // reallocate.
    Point end = readPointList(count, start, g_reader.tempList);
    if (running != nullptr) *running = end;
    return g_reader.tempList;
}

EdgeSet getEdgeSet() {
    GraphicState& gs = g_reader.ctx->gs;
    const int32_t savedRelSize = gs.relPointSize;
    EdgeSet set;
    set.start = getpoint(ABSPOINT);
    int n = getsize();
    Point running = set.start;
    for (int i = 0; i < n; ++i) {
        if (atEnd()) break;
        gs.relPointSize = get1Ubyte(GETMODE_TAKE);
        int m = getsize();
        set.lists.push_back(getPointList(m, running, &running));
        if (!takeDecoded(*g_reader.ctx, set.lists.back().points.size() + 1)) {
            readerError("SetEdge: Edge set too large.");
        }
    }
    set.count = static_cast<int32_t>(set.lists.size());
    gs.relPointSize = savedRelSize;
    return set;
}

Face getFace() {
    Face face;
    int p = getsize();
    for (int i = 0; i < p && !atEnd(); ++i) face.first.push_back(getSignedSize());
    face.firstCount = static_cast<int32_t>(face.first.size());
    int q = getsize();
    for (int i = 0; i < q && !atEnd(); ++i) face.second.push_back(getsize());
    face.secondCount = static_cast<int32_t>(face.second.size());
    return face;
}

int getsize() {
    int b = takeUbyte();
    if (b < 0x80) return b;
    if (b < 0xC0) {
        int value = (b & 0x3F) * 256 + takeUbyte();
        if (value == 0) {
            readerError("getsize: Inconsistent number (2 bytes used but # is zero!)");
            return -1;
        }
        return value;
    }
    int high = b & 0x3F;
    int value = high * 65536 + get1int16(VAL_UNSIGNED);
    if (value == 0) {
        readerError("getsize: Inconsistent number (3 bytes used but # is zero!)");
        return -1;
    }
    return value;
}

int getSignedSize() {
    int b = takeUbyte();
    if (b < 0x80) return b > 63 ? b - 128 : b;
    if (b < 0xC0) {
        int value = (b & 0x3F) * 256 + takeUbyte();
        return value > 8191 ? value - 16384 : value;
    }
    int value = (b & 0x3F) * 65536 + get1int16(VAL_UNSIGNED);
    return value > 2097151 ? value - 4194304 : value;
}

const char* getString() {
    int length = getsize();
    if (length <= 0) return nullptr;
    std::string& text = g_reader.scratch;
    text.clear();
    // Bytes past the end of the data read as 0 and would end the text there,
    // so the text stops growing when the data does.
    for (int i = 0; i < length && !atEnd(); ++i) {
        text.push_back(static_cast<char>(getRawByte(GETMODE_TAKE)));
    }
    return text.c_str();
}

double getAngle(int pointType) {
    Point p = getpoint(pointType);
    if (p.x == 0.0 && p.y == 0.0) return 0.0;
    double r = std::sqrt(p.x * p.x + p.y * p.y);
    double angle = std::acos(p.x / r);
    if (p.y < 0.0) angle = kFormatFullTurn - angle;
    return angle;
}

void getcolor(Color& c) {
    switch (g_reader.ctx->gs.colorSize) {
    case 0:
        setFromPalette(c, get1bit(7 - g_reader.bitPos));
        break;
    case 1:
        setFromPalette(c, takeUbyte());
        break;
    case 2:
        setGrey(c, takeUbyte());
        break;
    case 3:
        setGrey(c, get1int12(VAL_UNSIGNED));
        break;
    case 4:
        setGrey(c, get1int16(VAL_UNSIGNED));
        break;
    case 5: {
        int grey = get1int16(VAL_UNSIGNED);
        int alpha = get1int16(VAL_UNSIGNED);
        setGrey(c, grey);
        c.a = alpha * kComponentScale;
        break;
    }
    case 6:
        c.r = takeUbyte() * kComponentScale;
        c.g = takeUbyte() * kComponentScale;
        c.b = takeUbyte() * kComponentScale;
        c.a = 1.0;
        break;
    case 7:
        c.r = takeUbyte() * kComponentScale;
        c.g = takeUbyte() * kComponentScale;
        c.b = takeUbyte() * kComponentScale;
        c.a = takeUbyte() * kComponentScale;
        break;
    default:
        readerError("getcolor: Case undefined");
        break;
    }
}

void getcolorAligned(Color& c) {
    getcolor(c);
    alignToByte();
}

std::shared_ptr<const ColorArray> getColorArray(int* count) {
    int n = takeUbyte() + 1;
    if (count != nullptr) *count = n;
    auto array = std::make_shared<ColorArray>();
    array->colors.resize(static_cast<size_t>(n));
    for (Color& c : array->colors) getcolor(c);
    alignToByte();
    return array;
}

double PickColorFromPalette(int index, char component) {
    const ColorArray* palette = g_reader.ctx->gs.palette.get();
    if (palette == nullptr) {
        readerError("PickColorFromPalette: Palette color either not defined or color inexistent");
        return -1.0;
    }
    if (index < 0 || static_cast<size_t>(index) >= palette->colors.size()) return -1.0;
    const Color& c = palette->colors[static_cast<size_t>(index)];
    switch (component) {
    case 'r':
        return c.r;
    case 'g':
        return c.g;
    case 'b':
        return c.b;
    case 'a':
        return c.a;
    default:
        return -1.0;
    }
}

}  // namespace qmv
