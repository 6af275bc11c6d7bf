// Property: a random scene written by the writer reads back as exactly the
// events that were written. The generator keeps its own model of what the
// reader must report: every callback with its arguments and, for each drawing
// event, the attributes a client would query at that moment (colours, fill,
// dashes, style, font, alignment), the edge set a QMVR_drawEdge names and the
// face a QMVR_fillFace names. Attributes follow the reader's rules: each
// layer starts from the end of the global layer, a shape definition ends
// where it (or the last shape placed inside it) began.
//
// Left out on purpose: arcs with 3- and 6-bit relative points (their angles
// share a byte with the radii bits, a layout of its own), edge sets and faces
// inside shape definitions and faces inside layers (where they stay after
// the definition or the layer ends is the reader's choice).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "event_log.h"
#include "qmv/format.h"
#include "qmv/reader.h"
#include "qmv/scene_types.h"
#include "qmv/writer/scene_writer.h"
#include "temp_file.h"

namespace qmv::test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPiStored = kFormatFullTurn;

constexpr int kAbsoluteSizes[] = {16, 24, 32, 64, 128};
constexpr int kRelativeSizes[] = {3, 6, 8, 16, 24, 32, 64, 128};

// ------------------------------------------------------------ text forms
// Numbers as the event log writes them.
std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", v);
    return buffer;
}

std::string pt(Point p) { return num(p.x) + " " + num(p.y); }

std::string quoted(const std::string& s) { return s.empty() ? "<none>" : "\"" + s + "\""; }

// Components as levels n of n/255: exact for every encoding, and a palette
// miss (-1.0) shows as -255.
std::string colorText(const Color& c) {
    return std::to_string(std::lround(c.r * 255.0)) + "," + std::to_string(std::lround(c.g * 255.0)) + "," +
           std::to_string(std::lround(c.b * 255.0)) + "," + std::to_string(std::lround(c.a * 255.0));
}

// What a client can query about the attributes in force.
struct Visible {
    Color line, fill, mark, text, background, gradient1, gradient2;
    int fillMode = FILL_SOLID;
    Point gradientPoint1, gradientPoint2, texturePoint1, texturePoint2;
    int textureImage = 0;
    int blend = 2;
    int dashes = -1;
    int style[4] = {0, 0, 0, 1};
    int font = 0;
    int fontStyle = 0;
    int fontSize = 1;
    int alignment = 10;
    double angle = 0.0;
    int stretch = 0;
};

std::string describe(const Visible& v) {
    std::string s = "lc=" + colorText(v.line) + " fc=" + colorText(v.fill) + " mc=" + colorText(v.mark) +
                    " tc=" + colorText(v.text) + " bg=" + colorText(v.background) +
                    " fill=" + std::to_string(v.fillMode);
    // The points and image of a fill are set only by the command that
    // selects that fill.
    if (v.fillMode == FILL_GRADIENT) {
        s += " " + pt(v.gradientPoint1) + " " + colorText(v.gradient1) + " " + pt(v.gradientPoint2) + " " +
             colorText(v.gradient2);
    } else if (v.fillMode == FILL_TEXTURE) {
        s += " " + pt(v.texturePoint1) + " #" + std::to_string(v.textureImage);
    } else if (v.fillMode == FILL_STRETCHED_TEXTURE) {
        s += " " + pt(v.texturePoint1) + " " + pt(v.texturePoint2) + " #" + std::to_string(v.textureImage);
    }
    s += " blend=" + std::to_string(v.blend) + " dash=" + std::to_string(v.dashes) + " style=" +
         std::to_string(v.style[0]) + "," + std::to_string(v.style[1]) + "," + std::to_string(v.style[2]) + "," +
         std::to_string(v.style[3]) + " font=" + std::to_string(v.font) + "/" + std::to_string(v.fontStyle) + "/" +
         std::to_string(v.fontSize) + " align=" + std::to_string(v.alignment) + " angle=" + num(v.angle) +
         " stretch=" + std::to_string(v.stretch);
    return s;
}

Visible queryVisible(const ReaderContext* ctx) {
    auto color = [ctx](int kind) {
        return Color{readerColor(ctx, kind, 0), readerColor(ctx, kind, 1), readerColor(ctx, kind, 2),
                     readerColor(ctx, kind, 3)};
    };
    auto fillPoint = [ctx](int selector) {
        return Point{readerFillPoint(ctx, selector, 0), readerFillPoint(ctx, selector, 1)};
    };
    Visible v;
    v.line = color(COLOR_LINE);
    v.fill = color(COLOR_FILL);
    v.mark = color(COLOR_MARK);
    v.text = color(COLOR_TEXT);
    v.background = color(COLOR_BACKGROUND);
    v.gradient1 = color(COLOR_GRADIENT1);
    v.gradient2 = color(COLOR_GRADIENT2);
    v.fillMode = readerFillMode(ctx);
    v.texturePoint1 = fillPoint(0);
    v.texturePoint2 = fillPoint(1);
    v.gradientPoint1 = fillPoint(2);
    v.gradientPoint2 = fillPoint(3);
    v.textureImage = readerTextureImage(ctx);
    v.blend = readerBlendMode(ctx);
    v.dashes = readerLineDashes(ctx);
    int16_t style[4] = {};
    readerLineStyle(ctx, &style[0], &style[1], &style[2], &style[3]);
    for (int i = 0; i < 4; ++i) v.style[i] = style[i];
    v.font = readerFont(ctx);
    v.fontStyle = readerFontStyle(ctx);
    v.fontSize = readerFontSize(ctx);
    v.alignment = readerTextAlignment(ctx);
    v.angle = readerTextAngle(ctx);
    v.stretch = readerImageStretchMode(ctx);
    return v;
}

std::string describeEdgeSet(const EdgeSet* set) {
    if (set == nullptr) return "none";
    std::string s = "S " + pt(set->start);
    for (int i = 0; i < set->count; ++i) {
        const PointList& list = set->lists[static_cast<size_t>(i)];
        s += " [";
        for (int k = 0; k < list.count; ++k) s += (k == 0 ? "" : ", ") + pt(list.points[static_cast<size_t>(k)]);
        s += "]";
    }
    return s;
}

std::string describeFace(const Face* face) {
    if (face == nullptr) return "none";
    std::string s = "F [";
    for (int i = 0; i < face->firstCount; ++i) s += (i == 0 ? "" : " ") + std::to_string(face->first[static_cast<size_t>(i)]);
    s += "] [";
    for (int i = 0; i < face->secondCount; ++i) s += (i == 0 ? "" : " ") + std::to_string(face->second[static_cast<size_t>(i)]);
    return s + "]";
}

// The events that carry the attribute state in the comparison.
bool isDrawingEvent(const std::string& word) {
    static const char* const kWords[] = {"begin", "line",  "box",   "circle", "ellipse",   "arc",
                                         "mark",  "text",  "shape", "stamp",  "fullImage", "image"};
    return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

// What the reader shows beside an event line, queried inside the callback.
std::string observedSuffix(const ReaderContext* ctx, const std::string& line) {
    const std::string word = line.substr(0, line.find(' '));
    if (isDrawingEvent(word)) return " | " + describe(queryVisible(ctx));
    if (word == "drawEdge") {
        const int number = static_cast<int>(std::strtol(line.c_str() + word.size(), nullptr, 10));
        return " | " + describeEdgeSet(readerEdge(ctx, number));
    }
    if (word == "fillFace") {
        const int number = static_cast<int>(std::strtol(line.c_str() + word.size(), nullptr, 10));
        return " | " + describeFace(readerFace(ctx, number));
    }
    return "";
}

// ------------------------------------------------------------- the model
// What of the reader's state decides the encodings and the events.
struct Model {
    int absSize = 32;
    int relSize = 24;
    int colorSize = 6;
    std::vector<Color> palette;
    Visible visible;
    int lastShape = -1;
    int shapeCount = 0;
    int imageCount = 0;
    bool objectOpen = false;
};

Color grey(int64_t level, int64_t alpha = 255) {
    const double g = static_cast<double>(level) / 255.0;
    return {g, g, g, static_cast<double>(alpha) / 255.0};
}

class SceneGenerator {
public:
    explicit SceneGenerator(uint32_t seed) : rng_(seed) {}

    void generate() {
        header();
        const int globals = uniform(0, 14);
        for (int i = 0; i < globals; ++i) globalItem();
        layers_ = uniform(1, 4);
        for (int l = 0; l < layers_; ++l) {
            beginLayer();
            const int commands = uniform(0, 20);
            for (int i = 0; i < commands; ++i) bodyItem();
        }
        w_.finish();
        expected_.push_back("endLayer");
    }

    const SceneWriter& writer() const { return w_; }
    SceneWriter& writer() { return w_; }
    const std::vector<std::string>& expected() const { return expected_; }
    int layers() const { return layers_; }
    const Model& model() const { return m_; }

private:
    // -------------------------------------------------------- randomness
    int64_t uniform(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng_); }
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int n) { return uniform(0, n - 1) == 0; }
    template <class T, size_t N>
    T pick(const T (&options)[N]) {
        return options[static_cast<size_t>(uniform(0, static_cast<int>(N) - 1))];
    }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

    // One coordinate that a point of `size` bits holds.
    double coordinate(int size) {
        int lo = 0;
        int hi = 0;
        switch (size) {
        case 6: lo = -4; hi = 3; break;
        case 8: lo = -8; hi = 7; break;
        case 16: lo = -128; hi = 127; break;
        case 24: lo = -2048; hi = 2047; break;
        case 32: lo = -32768; hi = 32767; break;
        case 64: return static_cast<double>(static_cast<float>(real(-1e6, 1e6)));
        default: return real(-1e9, 1e9);
        }
        if (chance(8)) return chance(2) ? lo : hi;
        return uniform(lo, hi);
    }

    Point absPoint() { return {coordinate(m_.absSize), coordinate(m_.absSize)}; }

    Point step(int size) {
        static constexpr Point kUnits[8] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        if (size == 3) return kUnits[uniform(0, 7)];
        return {coordinate(size), coordinate(size)};
    }

    std::vector<Point> steps(int count, int size) {
        std::vector<Point> list;
        for (int i = 0; i < count; ++i) list.push_back(step(size));
        return list;
    }

    // A direction vector in the absolute size and the angle it stands for:
    // multiples of the eight compass directions, or the zero vector.
    Point direction(double& angle) {
        static constexpr Point kUnits[8] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        const double kAngles[8] = {0,  kPi / 4, kPi / 2, 3 * kPi / 4, kPi, kTwoPiStored - 3 * kPi / 4,
                                   kTwoPiStored - kPi / 2, kTwoPiStored - kPi / 4};
        if (chance(9)) {
            angle = 0.0;
            return {0, 0};
        }
        const int d = uniform(0, 7);
        const int limit = m_.absSize == 16 ? 127 : m_.absSize == 24 ? 2047 : m_.absSize == 32 ? 32767 : 100000;
        const double k = uniform(1, limit);
        angle = kAngles[d];
        return {kUnits[d].x * k, kUnits[d].y * k};
    }

    // SIZE values in each of the three layouts, and their edges.
    int64_t sizeValue() {
        static constexpr int64_t kEdges[] = {0, 127, 128, 16383, 16384, 4194303};
        switch (uniform(0, 3)) {
        case 0: return uniform(int64_t{0}, int64_t{127});
        case 1: return uniform(int64_t{128}, int64_t{16383});
        case 2: return uniform(int64_t{16384}, int64_t{4194303});
        default: return pick(kEdges);
        }
    }

    int64_t signedSizeValue() {
        static constexpr int64_t kEdges[] = {-2097152, -8193, -8192, -65, -64, -1, 0, 63, 64, 8191, 8192, 2097151};
        switch (uniform(0, 3)) {
        case 0: return uniform(int64_t{-64}, int64_t{63});
        case 1: return uniform(int64_t{-8192}, int64_t{8191});
        case 2: return uniform(int64_t{-2097152}, int64_t{2097151});
        default: return pick(kEdges);
        }
    }

    std::string text(int maxLength, int minLength = 0) {
        std::string s;
        const int length = uniform(minLength, maxLength);
        for (int i = 0; i < length; ++i) s.push_back(static_cast<char>(uniform(1, 255)));
        return s;
    }

    // A colour in the current colour size: the writer's operand and the
    // colour the reader must give back.
    std::pair<ColorOperand, Color> color() {
        switch (m_.colorSize) {
        case 0:
        case 1: {
            const int reach = static_cast<int>(std::min<size_t>(m_.palette.size(), m_.colorSize == 0 ? 2 : 256));
            const int index = uniform(0, reach - 1);
            return {ColorOperand(PaletteIndex{index}), m_.palette[static_cast<size_t>(index)]};
        }
        default: {
            const Color c = directColor();
            return {ColorOperand(c), c};
        }
        }
    }

    Color directColor() {
        switch (m_.colorSize) {
        case 2: return grey(uniform(0, 255));
        case 3: return grey(uniform(0, 4095));
        case 4: return grey(uniform(0, 65535));
        case 5: return grey(uniform(0, 65535), uniform(0, 65535));
        case 6: return {uniform(0, 255) / 255.0, uniform(0, 255) / 255.0, uniform(0, 255) / 255.0, 1.0};
        default:
            return {uniform(0, 255) / 255.0, uniform(0, 255) / 255.0, uniform(0, 255) / 255.0,
                    uniform(0, 255) / 255.0};
        }
    }

    // ----------------------------------------------------------- events
    void event(std::string line) { expected_.push_back(std::move(line)); }
    void drawingEvent(const std::string& line) { expected_.push_back(line + " | " + describe(m_.visible)); }

    // --------------------------------------------------------- structure
    void header() {
        HeaderSpec h;
        h.absPointSize = static_cast<uint8_t>(pick(kAbsoluteSizes));
        h.relPointSize = static_cast<uint8_t>(pick(kRelativeSizes));
        m_.absSize = h.absPointSize;
        m_.relSize = h.relPointSize;
        h.reserved = static_cast<uint8_t>(uniform(0, 255));
        h.version = static_cast<uint8_t>(uniform(0, 255));
        h.release = static_cast<uint8_t>(uniform(0, 255));
        h.resolution = absPoint();
        h.lowerLeft = absPoint();
        h.upperRight = absPoint();
        h.mm = absPoint();
        h.background = {uniform(0, 255) / 255.0, uniform(0, 255) / 255.0, uniform(0, 255) / 255.0, 1.0};
        m_.visible.background = h.background;
        w_.header(h);
    }

    void globalItem() {
        switch (uniform(0, 10)) {
        case 0:
        case 1: image(); break;
        case 2:
        case 3: shapeDefinition(); break;
        case 4: edgeSet(); break;
        case 5: face(); break;
        default: attribute(); break;
        }
    }

    void beginLayer() {
        if (!layersBegun_) {
            layerSnapshot_ = m_;
            layersBegun_ = true;
        }
        // The layer closes an object that the previous one left open.
        const bool open = m_.objectOpen;
        m_ = layerSnapshot_;
        m_.objectOpen = false;
        if (open) event("endObject");
        layerEdges_.clear();
        inLayer_ = true;
        const std::string name = text(8);
        const bool visible = chance(2);
        const bool detectable = chance(2);
        w_.layer(name, visible, detectable);
        event("layer " + quoted(name) + " " + (visible ? "1" : "0") + " " + (detectable ? "1" : "0"));
    }

    void shapeDefinition() {
        const Point reference = absPoint();
        w_.beginShape(reference);
        event("beginSetShape " + pt(reference) + " " + std::to_string(m_.shapeCount));
        shapeSnapshot_ = m_;
        inShape_ = true;
        const int commands = uniform(0, 6);
        for (int i = 0; i < commands; ++i) bodyItem();
        w_.endShape();
        event("endSetShape");
        m_ = shapeSnapshot_;
        ++m_.shapeCount;
        inShape_ = false;
    }

    void image() {
        const int width = uniform(0, 3);
        const int height = uniform(0, 3);
        std::vector<Color> colors;  // top row first, as written
        if (m_.colorSize <= 1) {
            std::vector<PaletteIndex> indices;
            for (int i = 0; i < width * height; ++i) {
                auto [operand, c] = color();
                indices.push_back(PaletteIndex{operand.index()});
                colors.push_back(c);
            }
            w_.setImage(width, height, indices);
        } else {
            for (int i = 0; i < width * height; ++i) colors.push_back(directColor());
            w_.setImage(width, height, colors);
        }
        // Row 0 of the array handed over is the bottom row.
        std::string line = "setImage " + std::to_string(width) + " " + std::to_string(height) + " " +
                           std::to_string(m_.imageCount);
        for (int row = height - 1; row >= 0; --row) {
            for (int column = 0; column < width; ++column) {
                const Color& c = colors[static_cast<size_t>(row * width + column)];
                for (double component : {c.r, c.g, c.b, c.a}) line += " " + num(static_cast<float>(component));
            }
        }
        event(line);
        ++m_.imageCount;
    }

    void edgeSet() {
        EdgeSetSpec written;
        written.start = absPoint();
        EdgeSet expected;
        expected.start = written.start;
        Point running = written.start;
        const int edges = uniform(0, 3);
        for (int i = 0; i < edges; ++i) {
            EdgeSpec edge;
            edge.relPointSize = pick(kRelativeSizes);
            edge.steps = steps(chance(4) ? 0 : uniform(1, 5), edge.relPointSize);
            PointList list;
            for (const Point& s : edge.steps) {
                running.x += s.x;
                running.y += s.y;
                list.points.push_back(running);
            }
            list.count = static_cast<int32_t>(list.points.size());
            expected.lists.push_back(std::move(list));
            written.edges.push_back(std::move(edge));
        }
        expected.count = static_cast<int32_t>(expected.lists.size());
        w_.setEdge(written);
        (inLayer_ ? layerEdges_ : globalEdges_).push_back(std::move(expected));
    }

    void face() {
        std::vector<int64_t> first;
        std::vector<int64_t> second;
        for (int i = uniform(0, 4); i > 0; --i) first.push_back(signedSizeValue());
        for (int i = uniform(0, 4); i > 0; --i) second.push_back(sizeValue());
        w_.setFace(first, second);
        Face f;
        for (int64_t v : first) f.first.push_back(static_cast<int32_t>(v));
        for (int64_t v : second) f.second.push_back(static_cast<int32_t>(v));
        f.firstCount = static_cast<int32_t>(f.first.size());
        f.secondCount = static_cast<int32_t>(f.second.size());
        faces_.push_back(std::move(f));
    }

    std::string edgeAt(int64_t number) const {
        std::vector<const EdgeSet*> visible;
        for (const EdgeSet& e : globalEdges_) visible.push_back(&e);
        if (inLayer_) {
            for (const EdgeSet& e : layerEdges_) visible.push_back(&e);
        }
        if (visible.empty()) return "none";
        const size_t index = number <= 1 ? 0 : static_cast<size_t>(number - 1);
        return index < visible.size() ? describeEdgeSet(visible[index]) : "none";
    }

    size_t edgeCount() const { return globalEdges_.size() + (inLayer_ ? layerEdges_.size() : 0); }

    // ----------------------------------------------------- layer bodies
    void bodyItem() {
        switch (uniform(0, 25)) {
        case 0: path(0); break;
        case 1: path(1); break;
        case 2: path(2); break;
        case 3: drawBezier(); break;
        case 4: fillBezier(); break;
        case 5: arc(); break;
        case 6: {
            const Point p = absPoint();
            w_.mark(p);
            drawingEvent("mark " + pt(p));
            break;
        }
        case 7: {
            const Point p = absPoint();
            const Point d = step(m_.relSize);
            w_.line(p, d);
            drawingEvent("line " + pt(p) + " " + pt(d));
            break;
        }
        case 8: {
            const Point p = absPoint();
            const Point d = step(m_.relSize);
            const bool filled = chance(2);
            filled ? w_.fillBox(p, d) : w_.drawBox(p, d);
            drawingEvent("box " + pt(p) + " " + pt(d) + (filled ? " 1" : " 0"));
            break;
        }
        case 9: {
            const Point p = absPoint();
            const int64_t r = sizeValue();
            const bool filled = chance(2);
            filled ? w_.fillCircle(p, r) : w_.drawCircle(p, r);
            drawingEvent("circle " + pt(p) + " " + std::to_string(r) + (filled ? " 1" : " 0"));
            break;
        }
        case 10: {
            const Point p = absPoint();
            const Point radii = step(m_.relSize);
            const bool filled = chance(2);
            filled ? w_.fillEllipse(p, radii) : w_.drawEllipse(p, radii);
            drawingEvent("ellipse " + pt(p) + " " + pt(radii) + (filled ? " 1" : " 0"));
            break;
        }
        case 11: {
            const Point p = absPoint();
            const std::string t = text(20);
            w_.text(p, t);
            drawingEvent("text " + pt(p) + " " + quoted(t));
            break;
        }
        case 12: placeShape(); break;
        case 13: drawImage(); break;
        case 14: {
            const std::string a = text(6);
            const std::string b = text(6);
            w_.extension(a, b);
            event("extension " + quoted(a) + " " + quoted(b));
            break;
        }
        case 15:
            if (!m_.objectOpen) {
                const std::string name = text(8, 1);
                w_.beginObject(name);
                event("beginObject " + quoted(name));
                m_.objectOpen = true;
            } else {
                w_.endObject();
                event("endObject");
                m_.objectOpen = false;
            }
            break;
        case 16: {
            const int64_t e = uniform(int64_t{-2}, static_cast<int64_t>(edgeCount()) + 2);
            w_.drawEdge(e);
            event("drawEdge " + std::to_string(e) + " | " + edgeAt(e));
            break;
        }
        case 17: {
            const int64_t a = uniform(int64_t{-2}, static_cast<int64_t>(edgeCount()) + 1);
            const int64_t b = a + uniform(-1, 3);
            w_.drawEdgeRange(a, b);
            for (int64_t e = a; e <= b; ++e) event("drawEdge " + std::to_string(e) + " | " + edgeAt(e));
            break;
        }
        case 18: {
            const int64_t f = uniform(int64_t{0}, static_cast<int64_t>(faces_.size()) + 1);
            w_.fillFace(f);
            event("fillFace " + std::to_string(f) + " | " +
                  (static_cast<size_t>(f) < faces_.size() ? describeFace(&faces_[static_cast<size_t>(f)]) : "none"));
            break;
        }
        case 19:
            if (inLayer_) {
                edgeSet();
                break;
            }
            [[fallthrough]];
        default: attribute(); break;
        }
    }

    // 0 polyline, 1 polygon outline, 2 filled polygon.
    void path(int which) {
        const Point start = absPoint();
        const std::vector<Point> list = steps(chance(5) ? 0 : uniform(1, 8), m_.relSize);
        if (which == 0) w_.polylineSteps(start, list);
        if (which == 1) w_.drawPolygonSteps(start, list);
        if (which == 2) w_.fillPolygonSteps(start, list);
        drawingEvent("begin " + std::string(which == 0 ? "0 " : "1 ") + pt(start) + (which == 2 ? " 1" : " 0"));
        Point running = start;
        for (const Point& s : list) {
            running.x += s.x;
            running.y += s.y;
            event("vertex " + pt(running));
        }
        event("end");
    }

    // One segment: three chained steps from `start` (the third replaced by
    // `closeTo` for the closing segment of a filled figure).
    Point segment(Point start, const Point* s, bool filled, const Point* closeTo) {
        const Point c1{start.x + s[0].x, start.y + s[0].y};
        const Point c2{c1.x + s[1].x, c1.y + s[1].y};
        const Point end = closeTo != nullptr ? *closeTo : Point{c2.x + s[2].x, c2.y + s[2].y};
        drawingEvent("begin 2 " + pt(start) + (filled ? " 1" : " 0"));
        event("vertex " + pt(c1));
        event("vertex " + pt(c2));
        event("vertex " + pt(end));
        event("end");
        return end;
    }

    void drawBezier() {
        const Point start = absPoint();
        const int segments = uniform(0, 3);
        const std::vector<Point> list = steps(3 * segments, m_.relSize);
        w_.drawCubicBezierSteps(start, list);
        Point from = start;
        for (int i = 0; i < segments; ++i) from = segment(from, &list[static_cast<size_t>(3 * i)], false, nullptr);
    }

    void fillBezier() {
        const Point start = absPoint();
        const int segments = uniform(0, 4);  // 0 and 1: the closing segment alone
        const int full = segments > 1 ? segments - 1 : 0;
        const std::vector<Point> list = steps(3 * full + 2, m_.relSize);
        w_.fillCubicBezierSteps(segments, start, list);
        Point from = start;
        for (int i = 0; i < full; ++i) from = segment(from, &list[static_cast<size_t>(3 * i)], true, nullptr);
        segment(from, &list[static_cast<size_t>(3 * full)], true, &start);
    }

    void arc() {
        if (m_.relSize == 3 || m_.relSize == 6) {
            attribute();
            return;
        }
        const Point centre = absPoint();
        const Point radii = step(m_.relSize);
        double from = 0;
        double to = 0;
        const Point fromDirection = direction(from);
        const Point toDirection = direction(to);
        const bool filled = chance(2);
        filled ? w_.fillArc(centre, radii, fromDirection, toDirection)
               : w_.drawArc(centre, radii, fromDirection, toDirection);
        drawingEvent("arc " + pt(centre) + " " + pt(radii) + " " + num(from) + " " + num(to) + (filled ? " 1" : " 0"));
    }

    void placeShape() {
        const Point position = absPoint();
        const int kind = uniform(0, 2);
        if (kind == 2 && m_.lastShape < 0) return placeShape();
        const int64_t number = chance(4) ? sizeValue() : uniform(0, m_.shapeCount + 2);
        if (kind == 0) {
            double angle = 0;
            const Point d = direction(angle);
            const Point scale = absPoint();
            w_.shape(number, position, d, scale);
            drawingEvent("shape " + std::to_string(number) + " " + pt(position) + " " + num(angle) + " " + pt(scale));
        } else if (kind == 1) {
            w_.stampShape(number, position);
            drawingEvent("stamp " + std::to_string(number) + " " + pt(position));
        } else {
            w_.repeatShape(position);
            drawingEvent("stamp " + std::to_string(m_.lastShape) + " " + pt(position));
        }
        // The reader saves its state around the placement; the saved copy is
        // what the end of an enclosing shape definition goes back to.
        shapeSnapshot_ = m_;
        if (kind != 2) m_.lastShape = static_cast<int>(number);
    }

    void drawImage() {
        if (m_.imageCount == 0) {
            attribute();
            return;
        }
        const int number = uniform(0, m_.imageCount - 1);
        if (chance(2)) {
            const Point corner = absPoint();
            const Point extent = step(m_.relSize);
            w_.fullImage(number, corner, extent);
            drawingEvent("fullImage " + std::to_string(number) + " " + pt(corner) + " " + pt(extent));
        } else {
            const Point sourceCorner = absPoint();
            const Point sourceExtent = step(m_.relSize);
            const Point corner = absPoint();
            const Point extent = step(m_.relSize);
            w_.image(number, sourceCorner, sourceExtent, corner, extent);
            drawingEvent("image " + std::to_string(number) + " " + pt(sourceCorner) + " " + pt(sourceExtent) + " " +
                         pt(corner) + " " + pt(extent));
        }
    }

    // ------------------------------------------------------- attributes
    void attribute() {
        Visible& v = m_.visible;
        switch (uniform(0, 17)) {
        case 0: {
            const int size = pick(kAbsoluteSizes);
            w_.setPointSize(size);
            m_.absSize = size;
            break;
        }
        case 1: {
            const int size = pick(kRelativeSizes);
            w_.setRelPointSize(size);
            m_.relSize = size;
            break;
        }
        case 2: {
            // The palette sizes only while there is a palette to index.
            const int size = !m_.palette.empty() && chance(2) ? uniform(0, 1) : uniform(2, 7);
            w_.setColorSize(size);
            m_.colorSize = size;
            break;
        }
        case 3: {
            if (m_.colorSize <= 1) break;  // a palette is written in a direct size
            std::vector<Color> entries;
            const int count = chance(15) ? 256 : uniform(1, 6);
            for (int i = 0; i < count; ++i) entries.push_back(directColor());
            w_.setPalette(entries);
            m_.palette = entries;
            // Most often the palette is used at once.
            if (chance(2)) {
                const int size = uniform(0, 1);
                w_.setColorSize(size);
                m_.colorSize = size;
            }
            break;
        }
        case 4: {
            auto [operand, c] = color();
            w_.setLineColor(operand);
            v.line = c;
            break;
        }
        case 5: {
            auto [operand, c] = color();
            w_.setFillColor(operand);
            v.fill = c;
            v.fillMode = FILL_SOLID;
            break;
        }
        case 6: {
            auto [operand, c] = color();
            w_.setMarkColor(operand);
            v.mark = c;
            break;
        }
        case 7: {
            auto [operand, c] = color();
            w_.setTextColor(operand);
            v.text = c;
            break;
        }
        case 8: {
            const Point p1 = absPoint();
            auto [o1, c1] = color();
            const Point p2 = absPoint();
            auto [o2, c2] = color();
            w_.setGradientFill(p1, o1, p2, o2);
            v.gradientPoint1 = p1;
            v.gradient1 = c1;
            v.gradientPoint2 = p2;
            v.gradient2 = c2;
            v.fillMode = FILL_GRADIENT;
            break;
        }
        case 9: {
            const Point p = absPoint();
            const int64_t image = chance(4) ? sizeValue() : uniform(0, m_.imageCount + 3);
            w_.setTextureFill(p, image);
            v.texturePoint1 = p;
            v.textureImage = static_cast<int>(image);
            v.fillMode = FILL_TEXTURE;
            break;
        }
        case 10: {
            const Point p = absPoint();
            const Point d = step(m_.relSize);
            const int64_t image = uniform(0, m_.imageCount + 3);
            w_.setStretchedTextureFill(p, d, image);
            v.texturePoint1 = p;
            v.texturePoint2 = {p.x + d.x, p.y + d.y};
            v.textureImage = static_cast<int>(image);
            v.fillMode = FILL_STRETCHED_TEXTURE;
            break;
        }
        case 11: {
            const int mode = uniform(0, 1);
            w_.setImageStretchMode(mode);
            v.stretch = mode;
            break;
        }
        case 12: {
            const int mode = uniform(0, 7);
            w_.setBlendMode(mode);
            v.blend = mode;
            event("blend " + std::to_string(mode));
            break;
        }
        case 13: {
            const auto pattern = static_cast<uint16_t>(uniform(0, 65535));
            w_.setLineDashes(pattern);
            v.dashes = static_cast<int16_t>(pattern);
            event("dashes " + std::to_string(pattern));
            break;
        }
        case 14: {
            int s[4];
            for (int& value : s) value = uniform(0, 255);
            w_.setLineStyle(s[0], s[1], s[2], s[3]);
            std::copy(std::begin(s), std::end(s), v.style);
            event("style " + std::to_string(s[0]) + " " + std::to_string(s[1]) + " " + std::to_string(s[2]) + " " +
                  std::to_string(s[3]));
            break;
        }
        case 15:
            // Nothing a client can query; it must only be read past.
            w_.setMarkStyle(uniform(0, 255), sizeValue());
            break;
        case 16: {
            const int font = uniform(0, 255);
            const int style = uniform(0, 3);
            const int64_t size = sizeValue();
            w_.setFont(font, style, size);
            v.font = font;
            v.fontStyle = style;
            v.fontSize = static_cast<int>(size);
            break;
        }
        default: {
            const int alignment = uniform(0, 255);
            double angle = 0;
            const Point d = direction(angle);
            w_.setTextAlignment(alignment, d);
            v.alignment = alignment;
            v.angle = angle;
            break;
        }
        }
    }

    std::mt19937 rng_;
    SceneWriter w_;
    Model m_;
    Model layerSnapshot_;
    Model shapeSnapshot_;
    bool layersBegun_ = false;
    bool inLayer_ = false;
    bool inShape_ = false;
    int layers_ = 0;
    std::vector<EdgeSet> globalEdges_;
    std::vector<EdgeSet> layerEdges_;
    std::vector<Face> faces_;
    std::vector<std::string> expected_;
};

// Lines around the first difference, for the failure message.
std::string firstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
    if (i == expected.size() && i == actual.size()) return "";
    std::string s = "first difference at event " + std::to_string(i) + " (expected " +
                    std::to_string(expected.size()) + " events, read " + std::to_string(actual.size()) + ")\n";
    for (size_t k = i >= 3 ? i - 3 : 0; k < i; ++k) s += "    same:     " + expected[k] + "\n";
    s += "    expected: " + (i < expected.size() ? expected[i] : std::string("(no more events)")) + "\n";
    s += "    read:     " + (i < actual.size() ? actual[i] : std::string("(no more events)")) + "\n";
    return s;
}

constexpr uint32_t kFirstSeed = 0x51ED0000;
constexpr int kScenes = 300;

TEST(RoundTrip, RandomScenesReadBackAsWritten) {
    int compressedScenes = 0;
    size_t totalEvents = 0;
    for (int i = 0; i < kScenes; ++i) {
        const uint32_t seed = kFirstSeed + static_cast<uint32_t>(i);
        SceneGenerator generator(seed);
        generator.generate();
        ASSERT_TRUE(generator.writer().ok()) << "seed " << seed << ": the generator asked the writer for "
                                             << "something it refuses: " << generator.writer().error();

        // Every third scene goes through the compressed container.
        const bool compressed = i % 3 == 0;
        TempFile file({}, compressed ? ".qmvz" : ".qmv");
        ASSERT_TRUE(generator.writer().save(file.path())) << generator.writer().error();
        compressedScenes += compressed ? 1 : 0;

        EventLog log;
        std::vector<std::string> observed;
        log.onEvent = [&observed](ReaderContext* ctx, const std::string& line) {
            observed.push_back(line + observedSuffix(ctx, line));
        };
        ReaderContext* ctx = nullptr;
        const std::string error = parseWithLog(file.path(), log, 1, &ctx);
        EXPECT_EQ(error, "") << "seed " << seed;
        const std::string difference = firstDifference(generator.expected(), observed);
        EXPECT_EQ(difference, "") << "seed " << seed << (compressed ? " (compressed)" : "") << "\n" << difference;
        EXPECT_EQ(readerLayerCount(ctx), generator.layers()) << "seed " << seed;
        EXPECT_EQ(readerShapeCount(ctx), generator.model().shapeCount) << "seed " << seed;
        EXPECT_EQ(readerImageCount(ctx), generator.model().imageCount) << "seed " << seed;
        readerRelease(&ctx);
        totalEvents += observed.size();
        if (HasFailure()) break;
    }
    EXPECT_EQ(compressedScenes, kScenes / 3);
    // The scenes are not trivially small.
    EXPECT_GT(totalEvents, static_cast<size_t>(kScenes) * 20);
}

TEST(RoundTrip, WithCallbacksOffOnlyTheEndOfTheLayersIsReported) {
    for (int i = 0; i < kScenes; i += 5) {
        const uint32_t seed = kFirstSeed + static_cast<uint32_t>(i);
        SceneGenerator generator(seed);
        generator.generate();
        ASSERT_TRUE(generator.writer().ok()) << "seed " << seed << ": " << generator.writer().error();
        TempFile file(generator.writer().bytes());
        EventLog log;
        ReaderContext* ctx = nullptr;
        EXPECT_EQ(parseWithLog(file.path(), log, 0, &ctx), "") << "seed " << seed;
        EXPECT_EQ(log.events, std::vector<std::string>{"endLayer"}) << "seed " << seed;
        // The state is built all the same.
        EXPECT_EQ(readerLayerCount(ctx), generator.layers()) << "seed " << seed;
        EXPECT_EQ(readerShapeCount(ctx), generator.model().shapeCount) << "seed " << seed;
        EXPECT_EQ(readerImageCount(ctx), generator.model().imageCount) << "seed " << seed;
        readerRelease(&ctx);
    }
}

}  // namespace
}  // namespace qmv::test
