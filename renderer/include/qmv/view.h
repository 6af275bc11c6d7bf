// What part of the scene a client area shows: the requested world window,
// widened in one direction to the client's proportions and kept centred.
// Plain arithmetic, shared by painting and by turning pixels into scene
// coordinates, so that both always agree.
#pragma once

#include "qmv/scene_types.h"

namespace qmv {

// The rectangle of the scene plane the user asked to see.
struct WorldWindow {
    double xmin = 0.0;
    double ymin = 0.0;
    double xmax = 0.0;
    double ymax = 0.0;
};

// The rectangle actually shown: the world window's centre and the size after
// fitting it to the client's aspect.
struct ShownWindow {
    double centreX = 0.0;
    double centreY = 0.0;
    double width = 0.0;
    double height = 0.0;

    double left() const { return centreX - width / 2.0; }
    double right() const { return centreX + width / 2.0; }
    double bottom() const { return centreY - height / 2.0; }
    double top() const { return centreY + height / 2.0; }
};

// A world window shown in a client area of width x height pixels.
struct View {
    WorldWindow world;
    int width = 800;
    int height = 600;
};

// The requested window is always shown whole: when it is flatter than the
// client, its height grows to the client's proportions; otherwise its width.
ShownWindow fitToClient(const WorldWindow& world, double clientWidth, double clientHeight);

// The scene point shown at client pixel (px, py); py counts from the top row.
Point pixelToWorld(const WorldWindow& world, double clientWidth, double clientHeight, double px,
                   double py);

// The inverse: where scene point p lands, in pixels from the left edge and
// from the top row (fractional; pixel (i, j) covers [i, i+1) x [j, j+1)).
Point worldToPixel(const WorldWindow& world, double clientWidth, double clientHeight, Point p);

}  // namespace qmv
