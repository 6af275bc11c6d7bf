#include "hostile_scenes.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <fstream>

#include "child_process.h"
#include "qmv/opcodes.h"
#include "qmv/writer/scene_writer.h"

namespace qmv::test {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int64_t kLargestSize = 4194303;

SceneHeader header(int absBits = 32, int relBits = 24, double side = 100.0) {
    SceneHeader h;
    h.absPointSize = static_cast<uint8_t>(absBits);
    h.relPointSize = static_cast<uint8_t>(relBits);
    h.upperRight = {side, side};
    return h;
}

// The writer's bytes, or none when it refused something (the test then
// fails naming the case).
Bytes bytesOf(SceneWriter& w) {
    w.finish();
    return w.ok() ? w.bytes() : Bytes{};
}

// A zlib stream of prefix, `times` copies of chunk, then suffix, made without
// holding the whole inflated data.
Bytes deflateRepeated(const Bytes& prefix, const Bytes& chunk, size_t times, const Bytes& suffix) {
    z_stream z{};
    if (deflateInit(&z, Z_BEST_SPEED) != Z_OK) return {};
    Bytes out;
    std::vector<uint8_t> buffer(1 << 16);
    auto pump = [&](const Bytes& in, int flush) {
        z.next_in = const_cast<Bytef*>(in.data());
        z.avail_in = static_cast<uInt>(in.size());
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, flush);
            out.insert(out.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
    };
    pump(prefix, Z_NO_FLUSH);
    for (size_t i = 0; i < times; ++i) pump(chunk, Z_NO_FLUSH);
    pump(suffix, Z_FINISH);
    deflateEnd(&z);
    return out;
}

// Fills the layer up to about 1 MiB with colour commands, which the renderer
// has no work for: the file's size buys allowance that the drawing after
// it can spend.
void padToOneMiB(SceneWriter& w, size_t reserve) {
    while (w.bytes().size() + reserve + 4 < kMaxHostileBytes) w.setLineColor(Color{0, 0, 0});
}

// An outline like a coastline's: a ring of n points whose radius wanders.
std::vector<Point> raggedRing(Point centre, double radius, int n, double phase) {
    std::vector<Point> points;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.141592653589793 * i / n;
        const double r = radius * (1.0 + 0.08 * std::sin(7 * a + phase) + 0.03 * std::sin(41 * a) +
                                   0.004 * std::sin(301 * a + phase));
        points.push_back({std::round(centre.x + r * std::cos(a)), std::round(centre.y + r * std::sin(a))});
    }
    return points;
}

std::vector<Point> alternating(size_t count, Point a, Point b) {
    std::vector<Point> steps(count);
    for (size_t i = 0; i < count; ++i) steps[i] = (i % 2 == 0) ? a : b;
    return steps;
}

// A star polygon of n points whose edges cross about n^2 / 4 times.
std::vector<Point> star(int n) {
    std::vector<Point> points;
    const int k = n / 2 - 1;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.141592653589793 * static_cast<double>((i * k) % n) / n;
        points.push_back({std::round(10000 * std::cos(a)), std::round(10000 * std::sin(a))});
    }
    return points;
}

// A comb of `teeth` teeth standing on a bar (`up` 1) or hanging from it
// (-1), in one filled polygon.
Bytes combScene(int teeth, int up) {
    SceneWriter w(header(64, 32, 10.0 * teeth));
    w.layer("L");
    std::vector<Point> steps;
    for (int i = 0; i < teeth; ++i) {
        steps.insert(steps.end(), {{0, up * 1000.0}, {5, 0}, {0, -up * 1000.0}, {5, 0}});
    }
    // The bar's far side, in steps a 16-bit step holds.
    steps.push_back({0, -up * 100.0});
    for (int i = 0; i < teeth; i += 1000) steps.push_back({-10.0 * std::min(1000, teeth - i), 0});
    w.fillPolygonSteps({0, 1000}, steps);
    return bytesOf(w);
}

Bytes starScene(int n) {
    SceneHeader h = header(32, 32);
    h.lowerLeft = {-10000, -10000};
    h.upperRight = {10000, 10000};
    SceneWriter w(h);
    w.layer("star");
    w.fillPolygon(star(n));
    return bytesOf(w);
}

}  // namespace

Bytes deflateBytes(const Bytes& bytes) { return deflateRepeated(bytes, {}, 0, {}); }

std::vector<HostileScene> claimedCountScenes() {
    std::vector<HostileScene> scenes;
    // A polyline, an edge set, a face and a text claiming the largest counts,
    // with a handful of bytes behind each claim.
    scenes.push_back({"polyline claiming 4194303 points", [] {
                          SceneWriter w(header());
                          w.layer("L");
                          w.rawOpcode(QMVR_Polyline);
                          w.rawPoint({1, 1}, 32);
                          w.rawSize(kLargestSize);
                          w.rawBytes({1, 2, 3, 4, 5, 6, 7, 8, 9});
                          return w.bytes();
                      },
                      false, "*"});
    scenes.push_back({"edge set and face claiming 4194303 entries", [] {
                          SceneWriter w(header());
                          w.rawOpcode(QMVR_SetEdge);
                          w.rawPoint({1, 1}, 32);
                          w.rawSize(kLargestSize);
                          w.rawBytes({3, 0xFF, 0xFF, 0xFF, 0, 0});
                          w.rawOpcode(QMVR_SetFace);
                          w.rawSize(kLargestSize);
                          w.rawBytes({1, 2, 3});
                          return w.bytes();
                      },
                      false, "*"});
    scenes.push_back({"text claiming 4194303 bytes", [] {
                          SceneWriter w(header());
                          w.layer("L");
                          w.rawOpcode(QMVR_Text);
                          w.rawPoint({1, 1}, 32);
                          w.rawSize(kLargestSize);
                          w.rawBytes({'a', 'b', 'c'});
                          return w.bytes();
                      },
                      false, "*"});
    scenes.push_back({"image claiming 65535 x 65535 pixels", [] {
                          SceneWriter w(header());
                          w.rawOpcode(QMVR_SetImage);
                          w.rawBytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
                          return w.bytes();
                      },
                      false, "SetImage: Image too large."});
    return scenes;
}

std::vector<HostileScene> imageScenes() {
    std::vector<HostileScene> scenes;
    // 2^26 pixels is what the reader's own check allows; their data inflates
    // from a small file, and the file's size does not allow that many.
    scenes.push_back({"8192 x 8192 image inflating from a small file", [] {
                          SceneWriter w(header());
                          w.setColorSize(2);
                          w.rawOpcode(QMVR_SetImage);
                          w.rawBytes({0x20, 0x00, 0x20, 0x00});
                          const Bytes row(8192, 7);
                          SceneWriter tail;
                          tail.rawBytes({QMVR_Layer, 0x80, 0});
                          return deflateRepeated(w.bytes(), row, 8192, tail.bytes());
                      },
                      true, "SetImage: Image too large."});
    // The largest texture, specified again at every use.
    scenes.push_back({"2048 x 2048 image drawn 20000 times", [] {
                          SceneWriter w(header());
                          w.setColorSize(2);
                          w.rawOpcode(QMVR_SetImage);
                          w.rawBytes({0x08, 0x00, 0x08, 0x00});
                          const Bytes row(2048, 200);
                          SceneWriter tail;
                          tail.layer("L");
                          for (int i = 0; i < 20000; ++i) tail.fullImage(0, {0, 0}, {50, 50});
                          tail.finish();
                          return deflateRepeated(w.bytes(), row, 2048, tail.bytes());
                      },
                      true, ""});
    // 1 MiB of raw pixels, drawn a few times.
    scenes.push_back({"1024 x 1000 raw image drawn 50 times", [] {
                          SceneWriter w(header());
                          w.setColorSize(2);
                          const int image = w.setImage(1024, 1000, std::vector<Color>(1024 * 1000, Color{0, 0, 0, 1}));
                          w.layer("L");
                          for (int i = 0; i < 50; ++i) w.fullImage(image, {double(i), 0}, {50, 50});
                          return bytesOf(w);
                      },
                      false, ""});
    // Many small images: one texture list each.
    scenes.push_back({"70000 images of 3 x 3 pixels", [] {
                          SceneWriter w(header());
                          w.setColorSize(2);
                          const std::vector<Color> pixels(9, Color{1, 1, 1, 1});
                          for (int i = 0; i < 70000; ++i) w.setImage(3, 3, pixels);
                          w.layer("L");
                          return bytesOf(w);
                      },
                      false, ""});
    return scenes;
}

std::vector<HostileScene> shapeScenes() {
    std::vector<HostileScene> scenes;
    // Each shape places the one before it: one level of matrix nesting each.
    auto chain = [](int shapes) {
        SceneWriter w(header());
        w.beginShape({1, 1});
        w.fillBox({0, 0}, {10, 10});
        w.endShape();
        for (int k = 1; k < shapes; ++k) {
            w.beginShape({1, 1});
            w.stampShape(k - 1, {0, 0});
            w.endShape();
        }
        w.layer("L");
        w.stampShape(shapes - 1, {10, 10});
        w.fillBox({50, 50}, {10, 10});
        return bytesOf(w);
    };
    scenes.push_back({"shapes nested 300 deep", [chain] { return chain(300); }, false,
                      "Shape: Shapes nested too deeply."});
    scenes.push_back({"shapes nested 30 deep", [chain] { return chain(30); }, false, ""});
    // Shapes each placing the one before `times` times, the first a line.
    auto placingThePrevious = [](int shapes, int times) {
        SceneWriter w(header());
        w.beginShape({1, 1});
        w.line({0, 0}, {1, 1});
        w.endShape();
        for (int k = 1; k < shapes; ++k) {
            w.beginShape({1, 1});
            for (int m = 0; m < times; ++m) w.stampShape(k - 1, {double(m), 0});
            w.endShape();
        }
        w.layer("L");
        w.stampShape(shapes - 1, {10, 10});
        return bytesOf(w);
    };
    // 2^39 lines at the paint, but deeper than the matrix stack.
    scenes.push_back({"40 shapes each placing the previous twice",
                      [=] { return placingThePrevious(40, 2); }, false,
                      "Shape: Shapes nested too deeply."});
    // Within the nesting depth: 4^23 placements of the first shape.
    scenes.push_back({"24 shapes each placing the previous four times",
                      [=] { return placingThePrevious(24, 4); }, false,
                      "Renderer: Shapes or edges drawn too often."});
    // A shape placing itself (not defined yet: draws nothing), placed
    // 100000 times, scaled far up.
    scenes.push_back({"a shape placed inside itself, placed 70000 times scaled up", [] {
                          SceneWriter w(header());
                          w.beginShape({1, 1});
                          w.fillBox({0, 0}, {1, 1});
                          w.stampShape(0, {0, 0});
                          w.endShape();
                          w.layer("L");
                          w.stampShape(0, {5, 5});
                          for (int i = 0; i < 70000; ++i) w.shape(0, {5, 5}, {1, 0}, {30000, 30000});
                          return bytesOf(w);
                      },
                      false, "Renderer: Shapes or edges drawn too often."});
    return scenes;
}

std::vector<HostileScene> geometryScenes() {
    std::vector<HostileScene> scenes;
    scenes.push_back({"2750000 zero-length 3-bit steps", [] {
                          SceneWriter w(header(32, 3));
                          w.layer("L");
                          w.polylineSteps({50, 50}, alternating(2750000, {1, 0}, {-1, 0}));
                          return bytesOf(w);
                      },
                      false, ""});
    scenes.push_back({"filled polygon of 1000000 zero-area steps", [] {
                          SceneWriter w(header(32, 3));
                          w.layer("L");
                          w.fillPolygonSteps({50, 50}, alternating(1000000, {1, 0}, {-1, 0}));
                          return bytesOf(w);
                      },
                      false, ""});
    // Within the vertex limit, but every edge lies on every other one.
    scenes.push_back({"filled polygon of 200000 zero-area steps", [] {
                          SceneWriter w(header(32, 3));
                          w.layer("L");
                          w.fillPolygonSteps({50, 50}, alternating(200000, {1, 0}, {-1, 0}));
                          return bytesOf(w);
                      },
                      false, ""});
    scenes.push_back({"NaN and infinite coordinates to the tessellator", [] {
                          SceneWriter w(header(32, 128));
                          w.setEdge({{10, 10}, {{128, {{kNaN, 1}, {5, kInf}, {-kInf, 3}, {4, 4}}}}});
                          w.setEdge({{20, 20}, {{128, {{1e300, 1}, {-1e300, kNaN}, {3, 3}}}}});
                          w.setFace({1, 2, 1}, {2});
                          w.layer("L");
                          for (int i = 0; i < 2000; ++i) {
                              w.fillPolygonSteps({10, 10}, {{10, 0}, {kNaN, 5}, {0, kInf}, {-kInf, -kInf}, {1e300, 1}, {0, 10}});
                              w.fillPolygonSteps({10, 10}, {{10, 0}, {0, 10}, {1e300, 1e300}, {-1e300, -1e300}, {-10, 0}});
                              w.fillFace(0);
                              w.drawEdge(2);
                          }
                          return bytesOf(w);
                      },
                      false, "*"});
    scenes.push_back({"star polygon of 200 points", [] { return starScene(200); }, false, ""});
    scenes.push_back({"star polygon of 1000 points", [] { return starScene(1000); }, false,
                      ""});
    scenes.push_back({"star polygon of 3000 points", [] { return starScene(3000); }, false,
                      ""});
    // Combs make the tessellator relabel long face loops at every tooth: the
    // square of the outline's size, unless the outline is cut up first.
    scenes.push_back({"comb polygon of 120000 points, teeth up", [] { return combScene(30000, 1); },
                      false, ""});
    scenes.push_back({"comb polygon of 120000 points, teeth down",
                      [] { return combScene(30000, -1); }, false, ""});
    // Every edge crosses nearly every slab: the pieces would hold billions
    // of points.
    scenes.push_back({"zigzag polygon of 100000 edges across the picture", [] {
                          SceneWriter w(header(64, 64, 60000));
                          w.layer("L");
                          std::vector<Point> points;
                          for (int i = 0; i < 100000; ++i) {
                              const double x = (i % 2 == 0) ? i / 4.0 : 60000 - i / 4.0;
                              points.push_back({std::round(x), std::round(i * 0.6)});
                          }
                          w.fillPolygon(points);
                          return bytesOf(w);
                      },
                      false, ""});
    // Every point on two lines: no cut can split it.
    scenes.push_back({"comb polygon of 120000 points on two uprights", [] {
                          SceneWriter w(header(64, 32, 60000));
                          w.layer("L");
                          std::vector<Point> steps;
                          for (int i = 0; i < 30000; ++i) {
                              steps.insert(steps.end(), {{1000, 0}, {0, 1}, {-1000, 0}, {0, 1}});
                          }
                          w.fillPolygonSteps({0, 0}, steps);
                          return bytesOf(w);
                      },
                      false, ""});
    // Radii, angles and coordinates of 1e300, and the largest circle radius.
    scenes.push_back({"ellipses, arcs and circles of 1e300", [] {
                          SceneWriter w(header(128, 128));
                          w.layer("L");
                          for (int i = 0; i < 5000; ++i) {
                              w.fillEllipse({50, 50}, {1e300, 1e300});
                              w.drawArc({50, 50}, {1e300, -1e300}, {1e300, 1e300}, {-1e300, 1e300});
                              w.fillArc({1e300, 50}, {1e300, 1e300}, {1e300, -1e300}, {kNaN, 1});
                              w.fillCircle({50, 50}, kLargestSize);
                          }
                          return bytesOf(w);
                      },
                      false, ""});
    // Every box covers the whole picture.
    scenes.push_back({"260000 filled boxes over the whole picture", [] {
                          SceneWriter w(header(16, 8, 7));
                          w.layer("L");
                          for (int i = 0; i < 260000; ++i) w.fillBox({0, 0}, {7, 7});
                          return bytesOf(w);
                      },
                      false, ""});
    return scenes;
}

std::vector<HostileScene> repetitionScenes() {
    std::vector<HostileScene> scenes;
    scenes.push_back({"DrawEdgeRange over +-2097151 edges of a 1000-point edge set", [] {
                          SceneWriter w(header(32, 8));
                          w.setEdge({{10, 10}, {{8, alternating(1000, {7, 7}, {-7, -7})}}});
                          w.layer("L");
                          for (int i = 0; i < 1000; ++i) w.drawEdgeRange(-2097152, 2097151);
                          return bytesOf(w);
                      },
                      false, "Renderer: Shapes or edges drawn too often."});
    scenes.push_back({"a text of 1000000 characters", [] {
                          SceneWriter w(header());
                          w.layer("L");
                          w.setFont(0, 1, 10);
                          w.text({10, 10}, std::string(1000000, 'W'));
                          return bytesOf(w);
                      },
                      false, ""});
    scenes.push_back({"texts at the largest font size", [] {
                          SceneWriter w(header());
                          w.layer("L");
                          w.setFont(0, 1, kLargestSize);
                          for (int i = 0; i < 1000; ++i) w.text({10, 10}, std::string(500, '#'));
                          return bytesOf(w);
                      },
                      false, ""});
    // One million segments, each across the whole picture.
    scenes.push_back({"a polyline of 1000000 segments across the picture", [] {
                          SceneWriter w(header(32, 8, 7));
                          w.layer("L");
                          w.polylineSteps({0, 0}, alternating(1000000, {7, 7}, {-7, -7}));
                          return bytesOf(w);
                      },
                      false, ""});
    // State the rasteriser takes up anew between draws.
    scenes.push_back({"30000 switches between gradient and solid fills", [] {
                          SceneWriter w(header(32, 16));
                          w.layer("L");
                          for (int i = 0; i < 30000; ++i) {
                              w.setGradientFill({0, 0}, Color{0, 0, 0}, {100, 100}, Color{1, 1, 1});
                              w.fillBox({0, 0}, {1, 1});
                              w.setFillColor(Color{1, 0, 0});
                              w.fillBox({0, 0}, {1, 1});
                          }
                          return bytesOf(w);
                      },
                      false, "*"});
    scenes.push_back({"140000 boxes filled with a 1 x 1 texture", [] {
                          SceneWriter w(header(32, 16));
                          w.setColorSize(2);
                          const int image = w.setImage(1, 1, std::vector<Color>{Color{0, 0, 0, 1}});
                          w.layer("L");
                          w.setTextureFill({0, 0}, image);
                          for (int i = 0; i < 140000; ++i) w.fillBox({0, 0}, {1, 1});
                          return bytesOf(w);
                      },
                      false, "*"});
    scenes.push_back({"140000 one-pixel-dashed lines across the picture", [] {
                          SceneWriter w(header(32, 16));
                          w.layer("L");
                          w.setLineDashes(0x5555);
                          for (int i = 0; i < 140000; ++i) w.line({0, 0}, {100, 100});
                          return bytesOf(w);
                      },
                      false, "*"});
    scenes.push_back({"100000 blend functions between lines", [] {
                          SceneWriter w(header(32, 16));
                          w.layer("L");
                          for (int i = 0; i < 50000; ++i) {
                              w.setBlendMode(1);
                              w.line({0, 0}, {1, 1});
                              w.setBlendMode(2);
                              w.line({0, 0}, {1, 1});
                          }
                          return bytesOf(w);
                      },
                      false, "*"});
    // A shape of 1 000 points placed 40 000 times replays 40 M vertices:
    // more than a file of 200 KB may replay, less than one of 1 MiB. (The
    // shape is small in the picture, a few hundred pixels of lines.)
    auto placedOften = [](bool padded) {
        SceneWriter w(header(32, 8, 10000.0));
        w.beginShape({1, 1});
        w.polylineSteps({0, 0}, alternating(1000, {3, 1}, {-3, 1}));
        w.endShape();
        w.layer("L");
        if (padded) padToOneMiB(w, 40000 * 6);
        for (int i = 0; i < 40000; ++i) w.stampShape(0, {double(i % 97), double(i % 89)});
        return bytesOf(w);
    };
    scenes.push_back({"a 1000-point shape placed 40000 times", [=] { return placedOften(false); },
                      false, "Renderer: Shapes or edges drawn too often."});
    scenes.push_back({"the same in a file of 1 MiB", [=] { return placedOften(true); }, false, ""});
    // Stored lists walked again at every use, whether they hold points or not.
    scenes.push_back({"a face of 500000 edge-set numbers filled 250000 times", [] {
                          SceneWriter w(header());
                          w.setFace(std::vector<int64_t>(500000, 1), {});
                          w.layer("L");
                          for (int i = 0; i < 250000; ++i) w.fillFace(0);
                          return bytesOf(w);
                      },
                      false, "Renderer: Shapes or edges drawn too often."});
    scenes.push_back({"an edge set of 250000 empty lists drawn 250000 times", [] {
                          SceneWriter w(header());
                          w.setEdge({{1, 1}, std::vector<EdgeSteps>(250000, EdgeSteps{24, {}})});
                          w.layer("L");
                          for (int i = 0; i < 250000; ++i) w.drawEdge(1);
                          return bytesOf(w);
                      },
                      false, "Renderer: Shapes or edges drawn too often."});
    scenes.push_back({"340000 layers", [] {
                          SceneWriter w(header());
                          for (int i = 0; i < 340000; ++i) w.layer("");
                          return bytesOf(w);
                      },
                      false, "Renderer: Too many display lists."});
    scenes.push_back({"170000 shapes", [] {
                          SceneWriter w(header());
                          for (int i = 0; i < 170000; ++i) {
                              w.beginShape({1, 1});
                              w.endShape();
                          }
                          w.layer("L");
                          return bytesOf(w);
                      },
                      false, "Renderer: Too many display lists."});
    scenes.push_back({"450000 Bezier segments", [] {
                          SceneWriter w(header(32, 3));
                          w.layer("L");
                          std::vector<Point> steps(3 * 450000, Point{1, 0});
                          w.drawCubicBezierSteps({10, 10}, steps);
                          return bytesOf(w);
                      },
                      false, ""});
    return scenes;
}

std::vector<HostileScene> compressedBombScenes() {
    std::vector<HostileScene> scenes;
    // 40 MiB of one attribute command: nothing for a client to refuse.
    scenes.push_back({"40 MiB of attributes from a small file", [] {
                          SceneWriter w(header());
                          SceneWriter tail;
                          tail.rawBytes({QMVR_Layer, 0x80, 0});
                          return deflateRepeated(w.bytes(), Bytes(1 << 20, QMVR_SetRelPointSize3), 40,
                                                 tail.bytes());
                      },
                      true, "Parser: Compressed data inflates past its limit."});
    // Edge sets and faces are kept by the reader itself.
    scenes.push_back({"an edge set of 2 x 4194303 points from a small file", [] {
                          SceneWriter w(header());
                          w.rawOpcode(QMVR_SetEdge);
                          w.rawPoint({1, 1}, 32);
                          w.rawSize(2);
                          // Each list: its 3-bit size, the largest count, the steps.
                          Bytes list = {3, 0xFF, 0xFF, 0xFF};
                          list.resize(list.size() + (3 * static_cast<size_t>(kLargestSize) + 7) / 8, 0);
                          return deflateRepeated(w.bytes(), list, 2, {QMVR_Layer, 0x80, 0});
                      },
                      true, "SetEdge: Edge set too large."});
    scenes.push_back({"two faces of 4194303 numbers from a small file", [] {
                          SceneWriter w(header());
                          Bytes face = {QMVR_SetFace, 0xFF, 0xFF, 0xFF};
                          face.resize(face.size() + static_cast<size_t>(kLargestSize), 1);
                          face.push_back(0);  // no second list
                          return deflateRepeated(w.bytes(), face, 2, {QMVR_Layer, 0x80, 0});
                      },
                      true, "SetFace: Face too large."});
    // Twenty polylines of the largest count of 3-bit steps.
    scenes.push_back({"20 polylines of 4194303 points from a small file", [] {
                          SceneWriter w(header(32, 3));
                          w.layer("L");
                          SceneWriter one;
                          one.rawOpcode(QMVR_Polyline);
                          one.rawPoint({1, 1}, 32);
                          one.rawSize(kLargestSize);
                          Bytes chunk = one.bytes();
                          chunk.resize(chunk.size() + (3 * static_cast<size_t>(kLargestSize) + 7) / 8, 0);
                          return deflateRepeated(w.bytes(), chunk, 20, {});
                      },
                      true, ""});
    return scenes;
}

// Ordinary drawings as large as 1 MiB holds, made of the commands that cost
// the most CPU and memory for their cost in the renderer's units: drawn, or
// refused once past the allowance.
std::vector<HostileScene> ordinaryScenes() {
    std::vector<HostileScene> scenes;
    // The common kinds in turn, about 108 000 primitives in 1 MiB; each kind
    // once drew its colour outside glBegin and another inside, which made
    // Mesa's list compiler start a vertex store at every primitive (620 MiB).
    scenes.push_back({"1 MiB of the eight common kinds in turn", [] {
                          SceneWriter w(header(32, 24, 1000.0));
                          w.layer("L");
                          for (int i = 0; w.bytes().size() + 40 < kMaxHostileBytes; ++i) {
                              const Point p{20.0 + (i * 37) % 960, 20.0 + (i * 91) % 710};
                              const double s = 2 + i % 10;
                              if (i % 64 == 0) {
                                  w.setLineColor(Color{(i % 255) / 255.0, 0.0, 1.0});
                                  w.setFillColor(Color{1.0, (i % 255) / 255.0, 0.0});
                              }
                              switch (i % 8) {
                              case 0: w.polyline({p, {p.x + s, p.y + 3}, {p.x + 2 * s, p.y - 2}}); break;
                              case 1: w.fillBox(p, {s, 1.0 + i % 5}); break;
                              case 2: w.drawCircle(p, static_cast<int64_t>(s)); break;
                              case 3: w.fillCircle(p, static_cast<int64_t>(s)); break;
                              case 4: w.line(p, {s, -s}); break;
                              case 5: w.fillPolygon({p, {p.x + s, p.y}, {p.x + s + 3, p.y + s}, {p.x - 3, p.y + s}}); break;
                              case 6: w.drawBox(p, {s, s}); break;
                              default: w.mark(p); break;
                              }
                          }
                          return bytesOf(w);
                      },
                      false, ""});
    // Large natural outlines, a coastline and lakes: the tessellator once
    // took seconds on such outlines, and cutting them up must not make the
    // budget refuse them.
    scenes.push_back({"a coastline of 200000 points and 40 lakes of 4000", [] {
                          SceneWriter w(header(64, 16, 100000.0));
                          w.layer("L");
                          w.fillPolygon(raggedRing({50000, 50000}, 30000, 200000, 0.0));
                          for (int i = 0; i < 40; ++i) {
                              const Point centre{30000.0 + (i % 8) * 5500, 35000.0 + (i / 8) * 7000};
                              w.fillPolygon(raggedRing(centre, 2000, 4000, i));
                          }
                          return bytesOf(w);
                      },
                      false, ""});
    // A map's buildings and ponds: many outlines of a hundred points.
    scenes.push_back({"1 MiB of outlines of 100 points", [] {
                          SceneWriter w(header(64, 16, 100000.0));
                          w.layer("L");
                          for (int i = 0; w.bytes().size() + 250 < kMaxHostileBytes; ++i) {
                              const Point centre{1000.0 + (i * 379) % 98000, 1000.0 + (i * 1013) % 73000};
                              w.fillPolygon(raggedRing(centre, 60, 100, i));
                          }
                          return bytesOf(w);
                      },
                      false, ""});
    // Text took its colour before its strokes' glBegin: beside polylines it
    // made the same vertex store at every primitive (590 MiB).
    scenes.push_back({"1 MiB of polylines and labels in turn", [] {
                          SceneWriter w(header(32, 24, 1000.0));
                          w.layer("L");
                          for (int i = 0; w.bytes().size() + 40 < kMaxHostileBytes; ++i) {
                              const Point p{20.0 + (i * 37) % 960, 20.0 + (i * 91) % 710};
                              if (i % 2 == 0) {
                                  w.polyline({p, {p.x + 5, p.y + 3}, {p.x + 9, p.y - 2}, {p.x + 4, p.y - 6}});
                              } else {
                                  w.text(p, "ab");
                              }
                          }
                          return bytesOf(w);
                      },
                      false, ""});
    // The dearest mix per unit found: about 2 ns of CPU per unit.
    auto boxesAndCircles = [](bool compressed) {
        SceneWriter w(header(32, 24, 1000.0));
        w.layer("L");
        for (int i = 0; i < 148000; ++i) {
            const Point p{20.0 + (i * 37) % 960, 20.0 + (i * 91) % 710};
            if (i % 2 == 0) {
                w.drawBox(p, {2.0 + i % 10, 2.0 + i % 10});
            } else {
                w.fillCircle(p, 2 + i % 10);
            }
        }
        return compressed ? deflateBytes(bytesOf(w)) : bytesOf(w);
    };
    scenes.push_back({"1 MiB of box outlines and filled circles in turn",
                      [=] { return boxesAndCircles(false); }, false, ""});
    scenes.push_back({"the same, compressed", [=] { return boxesAndCircles(true); }, true, ""});
    // The largest texture there may be, then as many circles as are left.
    scenes.push_back({"a 2048 x 2048 image drawn, then 55000 filled circles", [] {
                          SceneWriter w(header());
                          w.setColorSize(2);
                          w.rawOpcode(QMVR_SetImage);
                          w.rawBytes({0x08, 0x00, 0x08, 0x00});
                          const Bytes row(2048, 200);
                          SceneWriter tail;
                          tail.layer("L");
                          tail.fullImage(0, {0, 0}, {100, 100});
                          for (int i = 0; i < 55000; ++i) tail.fillCircle({50, 50}, 1 + i % 2);
                          tail.finish();
                          return deflateRepeated(w.bytes(), row, 2048, tail.bytes());
                      },
                      true, ""});
    return scenes;
}

// Past 1 MiB: a map of 2 000 symbols placed 200 000 times, stamped, turned
// and scaled, and in clusters that place five symbols each: an honest
// drawing of 2 MB whose placements replay 30 M vertices, drawn.
std::vector<HostileScene> largeFileScenes() {
    std::vector<HostileScene> scenes;
    scenes.push_back({"2000 symbols placed 200000 times", [] {
                          SceneWriter w(header(32, 16, 30000.0));
                          for (int k = 0; k < 2000; ++k) {
                              w.beginShape({1, 1});
                              const std::vector<Point> ring =
                                  raggedRing({0, 0}, 20 + k % 30, 24 + k % 40, k);
                              w.fillPolygon(ring);
                              w.drawPolygon(ring);
                              w.endShape();
                          }
                          for (int k = 0; k < 100; ++k) {
                              w.beginShape({1, 1});
                              for (int m = 0; m < 5; ++m) {
                                  w.stampShape((k * 5 + m) % 2000, {40.0 * m, 30.0 * (m % 2)});
                              }
                              w.endShape();
                          }
                          w.layer("symbols");
                          for (int i = 0; i < 200000; ++i) {
                              const int64_t n = i;
                              const Point at{double(n * 7919 % 29000), double(n * 104729 % 29000)};
                              if (i % 3 == 0) {
                                  w.stampShape(i % 2000, at);
                              } else if (i % 3 == 1) {
                                  w.shape(i % 2000, at, {i % 5 - 2.0, 3}, {2, 2});
                              } else {
                                  w.stampShape(2000 + i % 100, at);
                              }
                          }
                          return bytesOf(w);
                      },
                      false, ""});
    return scenes;
}

namespace {

struct WriteJob {
    const HostileScene* scene;
    const std::string* path;
};

bool writeScene(void* data) {
    const WriteJob& job = *static_cast<const WriteJob*>(data);
    const std::vector<uint8_t> bytes = job.scene->build();
    if (bytes.empty()) return false;
    std::ofstream out(*job.path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

bool writeHostileScene(const HostileScene& scene, const std::string& path) {
    WriteJob job{&scene, &path};
    return inChild(writeScene, &job);
}

}  // namespace qmv::test
