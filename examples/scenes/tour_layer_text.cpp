// Text: the twelve alignment codes around marked anchors, then fonts,
// styles and turned text. The last layer also carries an extension record.
#include <string>

#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

// Codes 0 to 11 in three columns; each anchor is marked by a small circle.
void writeAlignments(SceneWriter& w) {
    const Panel p = kAlignmentPanel;
    w.setFont(0, 0, 8);
    for (int code = 0; code < 12; ++code) {
        const Point anchor = p.at(38 + 75 * (code % 3), 150 - 42 * (code / 3));
        w.setLineColor(rgb(220, 60, 60));
        w.mark(anchor);
        w.setTextAlignment(code, w.directionFor(0.0));
        w.text(anchor, "align " + std::to_string(code));
    }
}

void writeFonts(SceneWriter& w) {
    const Panel p = kFontsPanel;
    w.beginObject("font samples");
    w.setTextAlignment(9, w.directionFor(0.0));
    struct Sample {
        int font, style;
        const char* text;
    };
    const Sample samples[] = {{0, 0, "Roman, style 0"},
                              {0, 1, "Roman, style 1"},
                              {1, 0, "Mono, style 0"},
                              {1, 3, "Mono, style 3"}};
    double y = 150;
    for (const Sample& s : samples) {
        w.setFont(s.font, s.style, 11);
        w.text(p.at(10, y), s.text);
        y -= 22;
    }
    w.endObject();

    w.setFont(0, 0, 10);
    w.setTextColor(rgb(180, 60, 60));
    w.setTextAlignment(9, w.directionFor(degrees(30)));
    w.text(p.at(10, 14), "turned 30 degrees");
    w.setTextColor(rgb(60, 100, 180));
    w.setTextAlignment(9, w.directionFor(degrees(90)));
    w.text(p.at(205, 14), "upwards");
}

}  // namespace

void writeTextLayer(SceneWriter& w) {
    w.layer("text");
    w.extension("tour", "written by make_tour");
    writeAlignments(w);
    writeFonts(w);
}

}  // namespace qmv::scenes::tour
