// One wave per relative point size, each with steps its size can hold, and
// one dot per absolute point size, its position written in that size.
#include <array>
#include <cmath>
#include <string>

#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

struct Wave {
    int size;
    double dx;         // step along x
    double amplitude;
    double frequency;  // radians per step
    double quantum;    // the wave's heights are multiples of this; 0: any double
    Color colour;
};

// The 3-bit size holds only unit steps; its row is a zigzag instead.
constexpr std::array<Wave, 7> kWaves = {{
    {6, 3, 3, 0.5, 1, rgb(235, 140, 40)},
    {8, 7, 4, 0.9, 1, rgb(200, 160, 0)},
    {16, 25, 4, 1.6, 1, rgb(70, 160, 70)},
    {24, 35, 4, 2.0, 1, rgb(30, 150, 150)},
    {32, 58, 4, 2.5, 1, rgb(50, 100, 200)},
    {64, 12.5, 4, 0.7, 0.25, rgb(100, 70, 180)},
    {128, 8.75, 4, 0.5, 0, rgb(180, 60, 150)},
}};

constexpr double kWaveStart = 40;
constexpr double kWaveLength = 175;

std::vector<Point> waveSteps(const Wave& wave) {
    std::vector<Point> steps;
    double previous = 0;
    for (int k = 1; k * wave.dx <= kWaveLength; ++k) {
        double y = wave.amplitude * std::sin(k * wave.frequency);
        if (wave.quantum > 0) y = std::round(y / wave.quantum) * wave.quantum;
        steps.push_back({wave.dx, y - previous});
        previous = y;
    }
    return steps;
}

std::vector<Point> zigzagSteps() {
    std::vector<Point> steps;
    for (int k = 0; k < kWaveLength - 1; ++k) steps.push_back({1, (k / 3) % 2 == 0 ? 1.0 : -1.0});
    return steps;
}

double rowY(int row) { return 160 - 13 * row; }

void writeRelativeRows(SceneWriter& w) {
    const Panel p = kEncodingsPanel;
    w.setTextAlignment(3, w.directionFor(0.0));
    w.text(p.at(8, rowY(0)), "rel 3");
    w.setRelPointSize(3);
    w.setLineColor(rgb(220, 60, 60));
    w.polylineSteps(p.at(kWaveStart, rowY(0)), zigzagSteps());
    for (size_t i = 0; i < kWaves.size(); ++i) {
        const Wave& wave = kWaves[i];
        const int row = static_cast<int>(i) + 1;
        w.text(p.at(8, rowY(row)), "rel " + std::to_string(wave.size));
        w.setRelPointSize(wave.size);
        w.setLineColor(wave.colour);
        w.polylineSteps(p.at(kWaveStart, rowY(row)), waveSteps(wave));
    }
}

// The 16-bit size reaches only -128 to 127, so its dot sits near the
// drawing's origin, in the panel's lower left corner.
void writeAbsoluteDots(SceneWriter& w) {
    struct Dot {
        int size;
        Point centre;
        Color colour;
    };
    const Panel p = kEncodingsPanel;
    const double y = p.y + 45;
    const Dot dots[] = {
        {16, {p.x + 60, y}, rgb(220, 60, 60)},
        {24, {p.x + 95, y}, rgb(200, 160, 0)},
        {32, {p.x + 130, y}, rgb(70, 160, 70)},
        {64, {p.x + 165.5, y + 0.25}, rgb(50, 100, 200)},
        {128, {p.x + 200 + 1.0 / 3.0, y + 1.0 / 7.0}, rgb(180, 60, 150)},
    };
    w.setTextAlignment(3, w.directionFor(0.0));
    w.text(p.at(8, 45), "abs");
    w.setTextAlignment(0, w.directionFor(0.0));
    for (const Dot& dot : dots) {
        w.setPointSize(dot.size);
        w.setFillColor(dot.colour);
        w.fillCircle(dot.centre, 9);
        w.text({std::round(dot.centre.x), p.y + 28}, std::to_string(dot.size));
    }
}

}  // namespace

void writeEncodingsLayer(SceneWriter& w) {
    w.layer("point encodings");
    w.setFont(0, 0, 8);
    writeRelativeRows(w);
    writeAbsoluteDots(w);
}

}  // namespace qmv::scenes::tour
