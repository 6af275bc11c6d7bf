// Operand decoders over the bit reader.
#include "decoders.h"

#include <cmath>

#include "bit_reader.h"
#include "step_runs.h"
#include "input_limits.h"

namespace qmv {

namespace {

constexpr double kComponentScale = 0.00392156862745098;  // 1/255

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
    return readPointOfSize(in(), size);
}

bool pointSizeReadsBits(int size) {
    switch (size) {
    case 3: case 6: case 8: case 16: case 24: case 32: case 64: case 128:
        return true;
    default:
        return false;
    }
}

Point readPointList(int count, Point start, PointList& list) {
    Point running = start;
    const int size = g_reader.ctx->gs.relPointSize;
    // Steps of a size that reads no bits would never reach the end of the
    // data: such a list holds no points.
    if (!pointSizeReadsBits(size)) count = 0;
    running = readSteps(in(), size, count > 0 ? static_cast<size_t>(count) : 0, start, list.points);
    list.count = static_cast<int32_t>(list.points.size());
    in().align();
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
        if (in().atEnd()) break;
        gs.relPointSize = in().take();
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
    for (int i = 0; i < p && !in().atEnd(); ++i) face.first.push_back(getSignedSize());
    face.firstCount = static_cast<int32_t>(face.first.size());
    int q = getsize();
    for (int i = 0; i < q && !in().atEnd(); ++i) face.second.push_back(getsize());
    face.secondCount = static_cast<int32_t>(face.second.size());
    return face;
}

int getsize() {
    int b = in().take();
    if (b < 0x80) return b;
    if (b < 0xC0) {
        int value = (b & 0x3F) * 256 + in().take();
        if (value == 0) {
            readerError("getsize: Inconsistent number (2 bytes used but # is zero!)");
            return -1;
        }
        return value;
    }
    int high = b & 0x3F;
    int value = high * 65536 + in().sixteenBits(false);
    if (value == 0) {
        readerError("getsize: Inconsistent number (3 bytes used but # is zero!)");
        return -1;
    }
    return value;
}

int getSignedSize() {
    int b = in().take();
    if (b < 0x80) return b > 63 ? b - 128 : b;
    if (b < 0xC0) {
        int value = (b & 0x3F) * 256 + in().take();
        return value > 8191 ? value - 16384 : value;
    }
    int value = (b & 0x3F) * 65536 + in().sixteenBits(false);
    return value > 2097151 ? value - 4194304 : value;
}

const char* getString() {
    int length = getsize();
    if (length <= 0) return nullptr;
    std::string& text = g_reader.scratch;
    text.clear();
    // Bytes past the end of the data read as 0 and would end the text there,
    // so the text stops growing when the data does.
    for (int i = 0; i < length && !in().atEnd(); ++i) {
        text.push_back(static_cast<char>(in().take()));
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
        setFromPalette(c, in().bit());
        break;
    case 1:
        setFromPalette(c, in().take());
        break;
    case 2:
        setGrey(c, in().take());
        break;
    case 3:
        setGrey(c, in().twelveBits(false));
        break;
    case 4:
        setGrey(c, in().sixteenBits(false));
        break;
    case 5: {
        int grey = in().sixteenBits(false);
        int alpha = in().sixteenBits(false);
        setGrey(c, grey);
        c.a = alpha * kComponentScale;
        break;
    }
    case 6:
        c.r = in().take() * kComponentScale;
        c.g = in().take() * kComponentScale;
        c.b = in().take() * kComponentScale;
        c.a = 1.0;
        break;
    case 7:
        c.r = in().take() * kComponentScale;
        c.g = in().take() * kComponentScale;
        c.b = in().take() * kComponentScale;
        c.a = in().take() * kComponentScale;
        break;
    default:
        readerError("getcolor: Case undefined");
        break;
    }
}

void getcolorAligned(Color& c) {
    getcolor(c);
    in().align();
}

std::shared_ptr<const ColorArray> getColorArray(int* count) {
    int n = in().take() + 1;
    if (count != nullptr) *count = n;
    auto array = std::make_shared<ColorArray>();
    array->colors.resize(static_cast<size_t>(n));
    for (Color& c : array->colors) getcolor(c);
    in().align();
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
