#include "scene_generator.h"

#include <bit>
#include <cmath>
#include <limits>

#include "qmv/opcodes.h"
#include "qmv/writer.h"

namespace qmv::test {

namespace {

// splitmix64: the same numbers from the same seed on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int64_t between(int64_t low, int64_t high) {
        return low + static_cast<int64_t>(next() % static_cast<uint64_t>(high - low + 1));
    }
    bool chance(int oneIn) { return between(1, oneIn) == 1; }
    template <class T, size_t N>
    T pick(const T (&items)[N]) {
        return items[between(0, N - 1)];
    }

private:
    uint64_t state_;
};

constexpr int kAbsSizes[] = {16, 24, 32, 64, 128};
constexpr int kRelSizes[] = {3, 6, 8, 16, 24, 32, 64, 128};
constexpr Point kUnitSteps[] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

class Generator {
public:
    explicit Generator(uint64_t seed) : r_(seed) {}

    GeneratedScene run();

private:
    const EncodingState& state() const { return w_.state(); }

    double coordinate(int sizeBits);
    Point absPoint() {
        return {coordinate(state().absPointSize), coordinate(state().absPointSize)};
    }
    Point step(int sizeBits);
    Point relPoint() { return step(state().relPointSize); }
    std::vector<Point> steps(size_t count) {
        std::vector<Point> out;
        for (size_t i = 0; i < count; ++i) out.push_back(relPoint());
        return out;
    }
    ColorOperand color();
    std::vector<Color> directColors(size_t count);
    std::string bytesText(int maxLength);
    int64_t sizeValue();

    void header();
    void globalLayer();
    void layerBody(bool inShape);
    void attribute();
    void drawing(bool inShape);
    void definition();
    void shapeDefinition();
    void image();
    void arc(bool filled);
    void realign();

    Random r_;
    SceneWriter w_;
};

double Generator::coordinate(int sizeBits) {
    switch (sizeBits) {
    case 16:
        return static_cast<double>(r_.between(-128, 127));
    case 24:
        return static_cast<double>(r_.between(-2048, 2047));
    case 32:
        return static_cast<double>(r_.between(-32768, 32767));
    case 64: {
        if (r_.chance(25)) {
            constexpr double unusual[] = {std::numeric_limits<double>::infinity(), -0.0,
                                          std::numeric_limits<double>::quiet_NaN(), 1e-42};
            return r_.pick(unusual);
        }
        const float f = static_cast<float>(r_.between(-2000000, 2000000)) / 64.0f;
        return static_cast<double>(f);
    }
    default: {
        if (r_.chance(25)) {
            constexpr double unusual[] = {-std::numeric_limits<double>::infinity(), -0.0,
                                          std::numeric_limits<double>::quiet_NaN(), 5e-324, 0.1};
            return r_.pick(unusual);
        }
        return static_cast<double>(r_.between(-1000000000, 1000000000)) / 1024.0 +
               (r_.chance(3) ? 0.1 : 0.0);
    }
    }
}

Point Generator::step(int sizeBits) {
    switch (sizeBits) {
    case 3:
        return r_.pick(kUnitSteps);
    case 6:
        return {static_cast<double>(r_.between(-4, 3)), static_cast<double>(r_.between(-4, 3))};
    case 8:
        return {static_cast<double>(r_.between(-8, 7)), static_cast<double>(r_.between(-8, 7))};
    default:
        return {coordinate(sizeBits), coordinate(sizeBits)};
    }
}

int64_t Generator::sizeValue() {
    switch (r_.between(0, 3)) {
    case 0:
        return r_.between(0, 127);
    case 1:
        return r_.between(128, 16383);
    case 2:
        return r_.between(16384, 4194303);
    default:
        return r_.between(0, 20);
    }
}

std::vector<Color> Generator::directColors(size_t count) {
    std::vector<Color> out;
    const int size = state().colorSize;
    for (size_t i = 0; i < count; ++i) {
        auto level = [this](int64_t high) {
            return static_cast<double>(r_.between(0, high)) / 255.0;
        };
        switch (size) {
        case 2:
        case 3:
        case 4: {
            const double grey = level(size == 2 ? 255 : size == 3 ? 4095 : 65535);
            out.push_back({grey, grey, grey, 1.0});
            break;
        }
        case 5: {
            const double grey = level(65535);
            out.push_back({grey, grey, grey, level(65535)});
            break;
        }
        case 6:
            out.push_back({level(255), level(255), level(255), 1.0});
            break;
        default:
            out.push_back({level(255), level(255), level(255), level(255)});
            break;
        }
    }
    return out;
}

ColorOperand Generator::color() {
    const int size = state().colorSize;
    if (size == 0 || size == 1) {
        const int64_t reach = size == 0 ? 2 : 256;
        const int64_t count = static_cast<int64_t>(state().palette.size());
        return PaletteIndex{static_cast<int>(r_.between(0, std::min(reach, count) - 1))};
    }
    return directColors(1)[0];
}

std::string Generator::bytesText(int maxLength) {
    std::string text;
    const int64_t length = r_.between(0, maxLength);
    for (int64_t i = 0; i < length; ++i) {
        text += static_cast<char>(r_.chance(3) ? r_.between(0, 255) : r_.between('a', 'z'));
    }
    return text;
}

void Generator::header() {
    SceneHeader h;
    h.reserved = static_cast<uint8_t>(r_.between(0, 255));
    h.version = static_cast<uint8_t>(r_.between(0, 3));
    h.release = static_cast<uint8_t>(r_.between(0, 3));
    h.absPointSize = static_cast<uint8_t>(r_.pick(kAbsSizes));
    h.relPointSize = static_cast<uint8_t>(r_.pick(kRelSizes));
    for (Point* p : {&h.resolution, &h.lowerLeft, &h.upperRight, &h.mm}) {
        *p = {coordinate(h.absPointSize), coordinate(h.absPointSize)};
    }
    h.background = {static_cast<double>(r_.between(0, 255)) / 255.0,
                    static_cast<double>(r_.between(0, 255)) / 255.0,
                    static_cast<double>(r_.between(0, 255)) / 255.0, 1.0};
    w_.header(h);
}

// An arc whose radii are bit-packed leaves the reader inside a byte, and the
// first angle's first byte carries the radii bits: the radii are taken from
// that byte so that the two agree.
void Generator::arc(bool filled) {
    const int rel = state().relPointSize;
    const int abs = state().absPointSize;
    Point centre = absPoint();
    Point from = absPoint();
    Point to = absPoint();
    Point radii = relPoint();
    if (rel == 3 || rel == 6) {
        if (abs == 24) return;  // its 12-bit angle could not start off a frontier
        realign();              // the radii bits start the byte the angle takes
        uint8_t first = 0;
        const double x = from.x;
        switch (abs) {
        case 16:
            first = static_cast<uint8_t>(static_cast<int64_t>(x) & 0xFF);
            break;
        case 32:
            first = static_cast<uint8_t>((static_cast<int64_t>(x) >> 8) & 0xFF);
            break;
        case 64:
            first = static_cast<uint8_t>(std::bit_cast<uint32_t>(static_cast<float>(x)) >> 24);
            break;
        default:
            first = static_cast<uint8_t>(std::bit_cast<uint64_t>(x) >> 56);
            break;
        }
        if (rel == 3) {
            radii = kUnitSteps[first >> 5];
        } else {
            auto signed3 = [](int v) { return static_cast<double>(v > 3 ? v - 8 : v); };
            radii = {signed3(first >> 5), signed3((first >> 2) & 7)};
        }
    }
    if (filled) {
        w_.fillArc(centre, radii, from, to);
    } else {
        w_.drawArc(centre, radii, from, to);
    }
}

// Commands after a bit-packed arc start off a frontier; a 12-bit field
// cannot, so an aligned colour brings the reader back to a frontier.
void Generator::realign() {
    if (w_.bitPosition() == 0) return;
    if (state().colorSize == 3) w_.setColorSize(6);
    w_.setLineColor(color());
}

void Generator::attribute() {
    const int64_t choice = r_.between(0, 19);
    // A carried bit position and a size change to a 12-bit field do not mix.
    if (choice <= 2) realign();
    switch (choice) {
    case 0:
        w_.setPointSize(r_.pick(kAbsSizes));
        break;
    case 1:
        w_.setRelPointSize(r_.pick(kRelSizes));
        break;
    case 2: {
        int size = static_cast<int>(r_.between(0, 7));
        if (size <= 1 && state().palette.empty()) size = 6;
        w_.setColorSize(size);
        break;
    }
    case 3:
        w_.setBlendMode(static_cast<int>(r_.between(0, 7)));
        break;
    case 4:
        w_.setLineColor(color());
        break;
    case 5:
        w_.setLineDashes(static_cast<uint16_t>(r_.between(0, 65535)));
        break;
    case 6:
        w_.setLineStyle(static_cast<int>(r_.between(0, 255)), static_cast<int>(r_.between(0, 255)),
                        static_cast<int>(r_.between(0, 255)), static_cast<int>(r_.between(0, 255)));
        break;
    case 7:
        w_.setMarkColor(color());
        break;
    case 8:
        w_.setMarkStyle(static_cast<int>(r_.between(0, 255)), sizeValue());
        break;
    case 9:
        w_.setFillColor(color());
        break;
    case 10: {
        const Point a = absPoint();
        const ColorOperand ca = color();
        const Point b = absPoint();
        w_.setGradientFill(a, ca, b, color());
        break;
    }
    case 11:
        w_.setTextureFill(absPoint(), sizeValue());
        break;
    case 12: {
        const Point corner = absPoint();
        w_.setStretchedTextureFill(corner, relPoint(), sizeValue());
        break;
    }
    case 13:
        w_.setImageStretchMode(static_cast<int>(r_.between(0, 1)));
        break;
    case 14:
        w_.setTextColor(color());
        break;
    case 15:
        w_.setFont(static_cast<int>(r_.between(0, 255)), static_cast<int>(r_.between(0, 3)),
                   sizeValue());
        break;
    case 16:
        w_.setTextAlignment(static_cast<int>(r_.between(0, 255)), absPoint());
        break;
    default:
        if (state().colorSize >= 2) {
            w_.setPalette(directColors(
                static_cast<size_t>(r_.chance(4) ? r_.between(1, 256) : r_.between(1, 6))));
        } else {
            w_.setTextColor(color());
        }
        break;
    }
}

void Generator::definition() {
    if (r_.chance(2)) {
        EdgeSetSteps set;
        set.start = absPoint();
        const int64_t edges = r_.between(0, 4);
        for (int64_t i = 0; i < edges; ++i) {
            EdgeSteps edge;
            edge.relPointSize = r_.pick(kRelSizes);
            // A carried bit position forbids a 12-bit first step.
            if (i == 0 && w_.bitPosition() != 0 && edge.relPointSize == 24) edge.relPointSize = 16;
            const int64_t count = r_.between(0, 5);
            for (int64_t j = 0; j < count; ++j) edge.steps.push_back(step(edge.relPointSize));
            set.edges.push_back(edge);
        }
        w_.setEdge(set);
    } else {
        std::vector<int64_t> first;
        std::vector<int64_t> second;
        for (int64_t i = r_.between(0, 4); i > 0; --i)
            first.push_back(r_.between(-2097152, 2097151) >> r_.between(0, 21));
        for (int64_t i = r_.between(0, 4); i > 0; --i) second.push_back(sizeValue());
        w_.setFace(first, second);
    }
}

void Generator::drawing(bool inShape) {
    if (w_.bitPosition() != 0 &&
        (state().absPointSize == 24 || state().relPointSize == 24 || state().colorSize == 3)) {
        realign();
    }
    switch (r_.between(0, 27)) {
    case 0:
        w_.polylineSteps(absPoint(), steps(static_cast<size_t>(r_.between(0, 8))));
        break;
    case 1:
        w_.drawPolygonSteps(absPoint(), steps(static_cast<size_t>(r_.between(0, 8))));
        break;
    case 2:
        w_.fillPolygonSteps(absPoint(), steps(static_cast<size_t>(r_.between(0, 8))));
        break;
    case 3: {
        const int64_t m = r_.between(0, 3);
        w_.drawCubicBezierSteps(absPoint(), steps(static_cast<size_t>(3 * m)));
        break;
    }
    case 4: {
        const int64_t m = r_.between(0, 3);
        w_.fillCubicBezierSteps(m, absPoint(),
                                steps(static_cast<size_t>(m <= 1 ? 2 : 3 * (m - 1) + 2)));
        break;
    }
    case 5:
    case 6:
        arc(r_.chance(2));
        if (r_.chance(2)) realign();
        break;
    case 7:
        w_.text(absPoint(), bytesText(12));
        break;
    case 8:
        w_.shape(sizeValue(), absPoint(), absPoint(), absPoint());
        break;
    case 9:
        w_.stampShape(sizeValue(), absPoint());
        break;
    case 10:
        if (state().lastShape >= 0) w_.repeatShape(absPoint());
        break;
    case 11:
        if (state().imageCount > 0) {
            const int64_t n = r_.between(0, state().imageCount - 1);
            const Point source = absPoint();
            const Point sourceExtent = relPoint();
            const Point corner = absPoint();
            w_.image(n, source, sourceExtent, corner, relPoint());
        }
        break;
    case 12:
        if (state().imageCount > 0) {
            const Point corner = absPoint();
            w_.fullImage(r_.between(0, state().imageCount - 1), corner, relPoint());
        }
        break;
    case 13:
        w_.mark(absPoint());
        break;
    case 14: {
        const Point p = absPoint();
        w_.line(p, relPoint());
        break;
    }
    case 15: {
        const Point p = absPoint();
        if (r_.chance(2)) {
            w_.drawBox(p, relPoint());
        } else {
            w_.fillBox(p, relPoint());
        }
        break;
    }
    case 16:
        if (r_.chance(2)) {
            w_.drawCircle(absPoint(), sizeValue());
        } else {
            w_.fillCircle(absPoint(), sizeValue());
        }
        break;
    case 17: {
        const Point p = absPoint();
        if (r_.chance(2)) {
            w_.drawEllipse(p, relPoint());
        } else {
            w_.fillEllipse(p, relPoint());
        }
        break;
    }
    case 18:
        w_.drawEdge(r_.between(-70, 9000));
        break;
    case 19: {
        const int64_t a = r_.between(-100, 9000);
        w_.drawEdgeRange(a, a + r_.between(-2, 3));
        break;
    }
    case 20:
        w_.fillFace(sizeValue());
        break;
    case 21:
        w_.extension(bytesText(6), bytesText(6));
        break;
    case 22:
        if (!inShape || r_.chance(2)) {
            if (state().objectOpen) {
                w_.endObject();
            } else {
                w_.beginObject(bytesText(5) + "o");
            }
        }
        break;
    default:
        if (r_.chance(2)) {
            attribute();
        } else {
            definition();
        }
        break;
    }
}

void Generator::image() {
    const int width = static_cast<int>(r_.between(0, 5));
    const int height = static_cast<int>(r_.between(0, 5));
    const size_t count = static_cast<size_t>(width * height);
    const int size = state().colorSize;
    if (size == 0 || size == 1) {
        std::vector<PaletteIndex> pixels;
        const int64_t reach =
            std::min<int64_t>(size == 0 ? 2 : 256, static_cast<int64_t>(state().palette.size()));
        for (size_t i = 0; i < count; ++i)
            pixels.push_back({static_cast<int>(r_.between(0, reach - 1))});
        w_.setImage(width, height, pixels);
    } else {
        w_.setImage(width, height, directColors(count));
    }
}

void Generator::shapeDefinition() {
    w_.beginShape(absPoint());
    const int64_t commands = r_.between(0, 6);
    for (int64_t i = 0; i < commands; ++i) drawing(true);
    realign();
    w_.endShape();
}

void Generator::globalLayer() {
    const int64_t commands = r_.between(0, 12);
    for (int64_t i = 0; i < commands; ++i) {
        switch (r_.between(0, 5)) {
        case 0:
        case 1:
            attribute();
            break;
        case 2:
            definition();
            break;
        case 3:
            image();
            break;
        default:
            shapeDefinition();
            break;
        }
    }
}

void Generator::layerBody(bool) {
    const int64_t commands = r_.between(0, 25);
    for (int64_t i = 0; i < commands; ++i) drawing(false);
    realign();
}

GeneratedScene Generator::run() {
    header();
    globalLayer();
    const int64_t layers = r_.between(1, 3);
    for (int64_t i = 0; i < layers; ++i) {
        w_.layer(bytesText(8), r_.chance(2), r_.chance(2));
        layerBody(false);
    }
    w_.finish();
    return {w_.bytes(), w_.error()};
}

}  // namespace

GeneratedScene generateScene(uint64_t seed) { return Generator(seed).run(); }

}  // namespace qmv::test
