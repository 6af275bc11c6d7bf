// The construction grid (a hidden layer) and the frame: title band, border,
// and the white cards with their captions that the other layers draw on.
#include <array>

#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

struct PanelCaption {
    Panel panel;
    const char* caption;
    Color accent;
};

const std::array<PanelCaption, 12> kCaptions = {{
    {kPathsPanel, "Paths", rgb(40, 70, 140)},
    {kCurvesPanel, "Curves", rgb(30, 140, 140)},
    {kPrimitivesPanel, "Primitives", rgb(240, 150, 40)},
    {kColourSizesPanel, "Colour sizes", rgb(220, 60, 120)},
    {kGradientsPanel, "Gradients", rgb(120, 60, 170)},
    {kTexturesPanel, "Texture fills", rgb(178, 74, 52)},
    {kImagesPanel, "Images", rgb(250, 170, 90)},
    {kShapesPanel, "Shapes", rgb(60, 140, 70)},
    {kEncodingsPanel, "Point encodings", rgb(100, 70, 180)},
    {kEdgesPanel, "Edges and faces", rgb(60, 120, 200)},
    {kAlignmentPanel, "Text alignment", rgb(220, 60, 60)},
    {kFontsPanel, "Fonts and styles", rgb(120, 120, 120)},
}};

}  // namespace

// Hidden at start; a viewer can show it to check where things lie. Its grey
// takes the 16-bit grey encoding.
void writeGridLayer(SceneWriter& w) {
    w.layer("construction grid", false, true);
    w.setColorSize(4);
    w.setLineColor(rgb(215, 215, 215));
    for (int x = 0; x <= 1000; x += 50) w.line({static_cast<double>(x), 0}, {0, 750});
    for (int y = 0; y <= 750; y += 50) w.line({0, static_cast<double>(y)}, {1000, 0});
}

void writeFrameLayer(SceneWriter& w) {
    w.layer("frame");
    w.setGradientFill({0, 742}, rgb(60, 80, 130), {0, 682}, rgb(110, 145, 200));
    w.fillBox({10, 682}, {980, 60});
    w.setTextColor(rgb(255, 255, 255));
    w.setTextAlignment(8, w.directionFor(0.0));
    w.setFont(0, 1, 22);
    w.text({500, 720}, "A tour of the QMV scene format");
    w.setFont(0, 0, 9);
    w.text({500, 694}, "every command, point encoding and colour size of the format in one file");

    w.setLineDashes(0xF0F0);
    w.setLineColor(rgb(150, 145, 135));
    w.drawBox({5, 5}, {990, 740});
    w.setLineDashes(0xFFFF);

    w.beginObject("panel cards");
    w.setFillColor(rgb(255, 255, 255));
    w.setLineColor(rgb(205, 200, 190));
    for (const PanelCaption& c : kCaptions) {
        w.fillBox(c.panel.at(0, 0), {Panel::kWidth, Panel::kHeight});
        w.drawBox(c.panel.at(0, 0), {Panel::kWidth, Panel::kHeight});
    }
    w.endObject();

    w.setTextColor(rgb(45, 45, 55));
    w.setTextAlignment(9, w.directionFor(0.0));
    w.setFont(0, 0, 12);
    for (const PanelCaption& c : kCaptions) {
        w.text(c.panel.at(10, 186), c.caption);
        w.setLineColor(c.accent);
        w.line(c.panel.at(10, 180), {40, 0});
    }
}

}  // namespace qmv::scenes::tour
