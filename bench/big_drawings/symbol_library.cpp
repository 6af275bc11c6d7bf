#include "symbol_library.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "drawing_colour.h"
#include "drawing_random.h"
#include "ragged_outline.h"

namespace qmv::bench {

namespace {

constexpr int kSymbols = 1700;
constexpr int kClusters = 250;
constexpr int kGroups = 50;
constexpr int kSymbolsPerCluster = 5;

const std::array<Color, 10> kSymbolFills = {
    rgb(214, 62, 52),  rgb(52, 110, 200), rgb(64, 160, 80),  rgb(236, 150, 40),
    rgb(140, 80, 170), rgb(150, 100, 60), rgb(40, 150, 150), rgb(240, 210, 60),
    rgb(230, 120, 160), rgb(120, 120, 120),
};
const Color kInk = rgb(40, 36, 32);
const Color kWhite = rgb(255, 255, 255);

Point at(double x, double y) { return {std::round(x), std::round(y)}; }

class SymbolWriter {
public:
    SymbolWriter(SceneWriter& writer, SymbolLibrary& library, uint64_t seed)
        : writer_(writer), library_(library), random_(seed) {}

    // One symbol about (0, 0), within kSymbolSize across.
    void symbol() {
        writer_.beginShape({kShapeReference, kShapeReference});
        const Color fill = kSymbolFills[static_cast<size_t>(
            random_.between(0, static_cast<int>(kSymbolFills.size()) - 1))];
        writer_.setFillColor(fill);
        writer_.setLineColor({fill.r * 0.5, fill.g * 0.5, fill.b * 0.5});
        const double radius = uniformDraw(random_, 40, kSymbolSize / 2);
        const auto points = static_cast<size_t>(std::lround(logUniformDraw(random_, 20, 200)));
        const int kind = random_.between(0, 99);
        if (kind < 25) {
            star(radius, points);
        } else if (kind < 50) {
            blob(radius, points);
        } else if (kind < 65) {
            pin(radius, std::min<size_t>(points, 80));
        } else if (kind < 80) {
            sign(radius, points);
        } else if (kind < 95) {
            track(radius, points);
        } else {
            label(radius, std::min<size_t>(points, 60));
        }
        writer_.endShape();
    }

    // Five symbols: one stamped and repeated twice, one turned and scaled,
    // one more stamped.
    void cluster() {
        writer_.beginShape({kShapeReference, kShapeReference});
        const double reach = 1.5 * kSymbolSize;
        const int stamped = anySymbol();
        writer_.stampShape(stamped, offset(reach));
        writer_.repeatShape(offset(reach));
        writer_.repeatShape(offset(reach));
        const int turned = anySymbol();
        placeTurned(writer_, turned, offset(reach), 60, 140, 0.1, random_);
        const int last = anySymbol();
        writer_.stampShape(last, offset(reach));
        library_.placements += kSymbolsPerCluster;
        writer_.endShape();
    }

    // Three or four clusters turned and scaled about a symbol.
    void group() {
        writer_.beginShape({kShapeReference, kShapeReference});
        writer_.stampShape(anySymbol(), {0, 0});
        const int clusters = random_.between(3, 4);
        for (int i = 0; i < clusters; ++i) {
            const int cluster = library_.firstCluster() + random_.between(0, library_.clusters - 1);
            placeTurned(writer_, cluster, offset(3.0 * kSymbolSize), 70, 120, 0.1, random_);
        }
        library_.placements += 1 + clusters;
        writer_.endShape();
    }

private:
    int anySymbol() { return random_.between(0, library_.symbols - 1); }

    Point offset(double reach) {
        const double x = uniformDraw(random_, -reach, reach);
        const double y = uniformDraw(random_, -reach, reach);
        return at(x, y);
    }

    void outlined(const std::vector<Point>& vertices, bool filled) {
        const StepPath path = stepPathThrough(vertices);
        if (filled) {
            writePath(writer_, PathCommand::FillPolygon, path);
            writePath(writer_, PathCommand::DrawPolygon, path);
            library_.paths.add(path, 2);
        } else {
            writePath(writer_, PathCommand::Polyline, path);
            library_.paths.add(path);
        }
    }

    // A star of 4 to 9 tips, its edges drawn in many short steps.
    void star(double radius, size_t points) {
        const int tips = random_.between(4, 9);
        const double depth = uniformDraw(random_, 0.3, 0.55);
        const double turn = kTwoPi * unitDraw(random_);
        std::vector<Point> vertices;
        for (size_t i = 0; i < points; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(points);
            const double phase = t * tips - std::floor(t * tips);
            const double r = radius * (1.0 - depth * (1.0 - std::abs(2.0 * phase - 1.0)));
            const double a = turn + kTwoPi * t;
            vertices.push_back(at(r * std::cos(a), r * std::sin(a)));
        }
        outlined(vertices, true);
    }

    // A wood or a marsh: a ragged blob.
    void blob(double radius, size_t points) {
        const double width = radius * uniformDraw(random_, 0.6, 1.0);
        const double turn = kTwoPi * unitDraw(random_);
        const std::vector<Point> coarse =
            lumpyLoop({0, 0}, {radius, width}, turn, 8, 0.3, 3, random_);
        outlined(raggedRing(coarse, points, random_), true);
    }

    // A map pin: a drop pointing down with a white dot in its head.
    void pin(double radius, size_t points) {
        std::vector<Point> vertices;
        for (size_t i = 0; i < points; ++i) {
            const double a = kTwoPi * static_cast<double>(i) / static_cast<double>(points);
            vertices.push_back(
                at(0.55 * radius * std::sin(a) * std::sin(a / 2), radius * (0.2 - std::cos(a))));
        }
        outlined(vertices, true);
        const Point head = at(0, 0.55 * radius);
        const auto dot = std::lround(0.22 * radius);
        writer_.setFillColor(kWhite);
        writer_.fillCircle(head, dot);
        writer_.drawCircle(head, dot);
    }

    // A sign board with a zigzag across it.
    void sign(double radius, size_t points) {
        const double w = std::round(1.6 * radius);
        const double h = std::round(w * uniformDraw(random_, 0.5, 0.9));
        const Point corner = at(-w / 2, -h / 2);
        writer_.fillBox(corner, {w, h});
        writer_.drawBox(corner, {w, h});
        std::vector<Point> zigzag;
        for (size_t i = 0; i < points; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(points - 1);
            zigzag.push_back(at((t - 0.5) * 0.8 * w, (i % 2 == 0 ? -0.3 : 0.3) * h));
        }
        outlined(zigzag, false);
    }

    // A track: a spiral out from the middle.
    void track(double radius, size_t points) {
        const double turns = uniformDraw(random_, 1.5, 3.0);
        const double start = kTwoPi * unitDraw(random_);
        std::vector<Point> spiral;
        for (size_t i = 0; i < points; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(points - 1);
            const double r = radius * (0.15 + 0.85 * t);
            const double a = start + kTwoPi * turns * t;
            spiral.push_back(at(r * std::cos(a), r * std::sin(a)));
        }
        outlined(spiral, false);
    }

    // A round badge with one to three letters on it.
    void label(double radius, size_t points) {
        std::vector<Point> badge;
        for (size_t i = 0; i < points; ++i) {
            const double a = kTwoPi * static_cast<double>(i) / static_cast<double>(points);
            badge.push_back(at(radius * std::cos(a), 0.7 * radius * std::sin(a)));
        }
        outlined(badge, true);
        std::string letters;
        const int count = random_.between(1, 3);
        for (int i = 0; i < count; ++i) letters += static_cast<char>('A' + random_.between(0, 25));
        writer_.setTextColor(kInk);
        const int font = random_.between(0, 1);
        const int style = random_.between(0, 1);
        writer_.setFont(font, style, std::lround(radius * 1.4 / count));
        writer_.setTextAlignment(8, writer_.directionFor(0));
        writer_.text({0, 0}, letters);
    }

    SceneWriter& writer_;
    SymbolLibrary& library_;
    SceneRandom random_;
};

}  // namespace

void placeTurned(SceneWriter& writer, int number, Point at, double lowPercent, double highPercent,
                 double stretch, SceneRandom& random) {
    const double angle = kTwoPi * unitDraw(random);
    const double size = uniformDraw(random, lowPercent, highPercent) / 100.0 * kShapeReference;
    const double across = size * uniformDraw(random, 1.0 - stretch, 1.0 + stretch);
    writer.shape(number, at, writer.directionFor(angle), {std::round(across), std::round(size)});
}

SymbolLibrary defineSymbols(SceneWriter& writer, uint64_t seed) {
    SymbolLibrary library;
    library.symbols = kSymbols;
    library.clusters = kClusters;
    library.groups = kGroups;
    SymbolWriter symbols(writer, library, seed);
    for (int i = 0; i < kSymbols; ++i) symbols.symbol();
    for (int i = 0; i < kClusters; ++i) symbols.cluster();
    for (int i = 0; i < kGroups; ++i) symbols.group();
    return library;
}

}  // namespace qmv::bench
