// One swatch per colour size. The fill colour of each is written in that
// size; the translucent ones (5 and 7) lie over a checkerboard so that their
// alpha shows.
#include <string>

#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

constexpr Point kSwatch{34, 16};

// One row per size, from the top; the label follows the swatch.
Point swatchCorner(int colourSize) { return kColourSizesPanel.at(10, 152 - 20 * colourSize); }

void checkerUnder(SceneWriter& w, int colourSize) {
    const Point c = swatchCorner(colourSize);
    w.setFillColor(rgb(250, 170, 40));
    w.fillBox(c, {kSwatch.x / 2, kSwatch.y / 2});
    w.fillBox({c.x + kSwatch.x / 2, c.y + kSwatch.y / 2}, {kSwatch.x / 2, kSwatch.y / 2});
}

// Fills the swatch with the fill colour just set, then goes back to colour
// size 6 for the outline and the label.
void swatch(SceneWriter& w, int colourSize, const char* label) {
    const Point c = swatchCorner(colourSize);
    w.fillBox(c, kSwatch);
    w.setColorSize(6);
    w.drawBox(c, kSwatch);
    w.text({c.x + kSwatch.x + 8, c.y + kSwatch.y / 2},
           std::to_string(colourSize) + ": " + label);
}

}  // namespace

void writeColourSizesLayer(SceneWriter& w) {
    w.layer("colour sizes");
    w.setLineColor(rgb(120, 115, 110));
    w.setFont(0, 0, 8);
    w.setTextAlignment(3, w.directionFor(0.0));
    checkerUnder(w, 5);
    checkerUnder(w, 7);

    // A byte index into the global layer's 16-colour palette.
    w.setColorSize(1);
    w.setFillColor(PaletteIndex{14});
    swatch(w, 1, "palette index, 1 byte");

    // A palette of this layer only, itself written with alpha, for one-bit
    // indices; the next layer has the global palette again.
    w.setColorSize(7);
    w.setPalette(std::vector<Color>{rgb(230, 90, 60), rgb(60, 90, 200, 220)});
    w.setColorSize(0);
    w.setFillColor(PaletteIndex{1});
    swatch(w, 0, "palette index, 1 bit");

    w.setColorSize(2);
    w.setFillColor(rgb(128, 128, 128));
    swatch(w, 2, "grey, 8 bits");
    w.setColorSize(3);
    w.setFillColor(rgb(200, 200, 200));
    swatch(w, 3, "grey, 12 bits");
    w.setColorSize(4);
    w.setFillColor(rgb(90, 90, 90));
    swatch(w, 4, "grey, 16 bits");
    w.setColorSize(5);
    w.setFillColor(rgb(40, 40, 40, 140));
    swatch(w, 5, "grey and alpha, 16 bits each");
    w.setColorSize(6);
    w.setFillColor(rgb(220, 60, 120));
    swatch(w, 6, "red, green, blue");
    w.setColorSize(7);
    w.setFillColor(rgb(40, 120, 220, 120));
    swatch(w, 7, "red, green, blue, alpha");
}

}  // namespace qmv::scenes::tour
