// What the pieces of the tour share: the panel grid, colour and polygon
// helpers, the numbers of the definitions made in the global layer, and one
// function per layer. Private to the scene library.
#pragma once

#include <vector>

#include "qmv/writer/scene_writer.h"

namespace qmv::scenes::tour {

// Colours are written as levels n/255, which is all the direct encodings hold.
constexpr Color rgb(int r, int g, int b, int a = 255) {
    return {r / 255.0, g / 255.0, b / 255.0, a / 255.0};
}

inline constexpr double kPi = 3.14159265358979323846;
inline double degrees(double d) { return d * kPi / 180.0; }

// The drawing is 1000 x 750 with y upwards: a title band on top and a grid of
// 3 rows by 4 columns of panels, each with a caption along its top edge; the
// content of a panel stays below y = 172 of the panel.
struct Panel {
    static constexpr double kWidth = 225;
    static constexpr double kHeight = 205;

    double x;
    double y;

    Point at(double dx, double dy) const { return {x + dx, y + dy}; }
};

inline constexpr Panel panelAt(int row, int column) {
    return {20.0 + 245.0 * column, 465.0 - 220.0 * row};
}

// The panels by what they show.
inline constexpr Panel kPathsPanel = panelAt(0, 0);
inline constexpr Panel kCurvesPanel = panelAt(0, 1);
inline constexpr Panel kPrimitivesPanel = panelAt(0, 2);
inline constexpr Panel kColourSizesPanel = panelAt(0, 3);
inline constexpr Panel kGradientsPanel = panelAt(1, 0);
inline constexpr Panel kTexturesPanel = panelAt(1, 1);
inline constexpr Panel kImagesPanel = panelAt(1, 2);
inline constexpr Panel kShapesPanel = panelAt(1, 3);
inline constexpr Panel kEncodingsPanel = panelAt(2, 0);
inline constexpr Panel kEdgesPanel = panelAt(2, 1);
inline constexpr Panel kAlignmentPanel = panelAt(2, 2);
inline constexpr Panel kFontsPanel = panelAt(2, 3);

// Vertices of a regular polygon (or of a star when `innerRadius` > 0),
// rounded to whole units so that every point size can hold them.
std::vector<Point> regularPolygon(Point centre, double radius, int corners, double firstAngle,
                                  double innerRadius = 0.0);

// The numbers that the global layer's definitions received.
struct TourAssets {
    int bricks = 0;       // 16 x 16, colour size 0 (one-bit palette indices)
    int pixelFlower = 0;  // 16 x 16, colour size 1 (byte palette indices)
    int sunset = 0;       // 64 x 48, colour size 6
    int softDot = 0;      // 32 x 32, colour size 7 (alpha)
    int ripples = 0;      // 32 x 32, colour size 2 (grey)
    int tree = 0;
    int house = 0;        // drawn in 3- and 6-bit steps
    int grove = 0;        // places the tree inside its own definition
};

// Edge sets of the global layer, counted from 1 in definition order.
inline constexpr int kNorthShore = 1;
inline constexpr int kSouthShore = 2;
inline constexpr int kIsland = 3;
inline constexpr int kRiver = 4;
// The edges layer defines one more, numbered after the global ones.
inline constexpr int kRoad = 5;
// Faces, counted from 0.
inline constexpr int kLakeFace = 0;
inline constexpr int kIslandFace = 1;

// Global layer: default attributes, then the definitions.
TourAssets writeGlobalLayer(SceneWriter& w);
void writeImages(SceneWriter& w, TourAssets& assets);
void writeShapes(SceneWriter& w, TourAssets& assets);
void writeEdgeSetsAndFaces(SceneWriter& w);

// Layers, in drawing order.
void writeGridLayer(SceneWriter& w);
void writeFrameLayer(SceneWriter& w);
void writeGeometryLayer(SceneWriter& w);
void writeColourSizesLayer(SceneWriter& w);
void writeFillsLayer(SceneWriter& w, const TourAssets& assets);
void writeImagesLayer(SceneWriter& w, const TourAssets& assets);
void writeShapesLayer(SceneWriter& w, const TourAssets& assets);
void writeEncodingsLayer(SceneWriter& w);
void writeEdgesLayer(SceneWriter& w);
void writeTextLayer(SceneWriter& w);

}  // namespace qmv::scenes::tour
