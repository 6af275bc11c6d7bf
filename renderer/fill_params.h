// The fill attribute of filled primitives as plain values: which colour or
// texture coordinate a vertex at a scene position is drawn with under the
// current fill mode. No GL here, so the arithmetic can be checked alone.
#pragma once

#include "qmv/scene_types.h"

namespace qmv::renderer {

// What one vertex carries: a colour, a texture coordinate, or nothing.
struct FillValue {
    enum class Kind { None, Colour, TexCoord };
    Kind kind = Kind::None;
    Color colour;
    double s = 0.0;
    double t = 0.0;
};

// The linear gradient from colour ca at point a to cb at point b, constant
// across the axis and clamped beyond either end. A point on a, or a and b
// coinciding, gives ca.
Color gradientColorAt(Point p, Point a, Color ca, Point b, Color cb);

// The current fill, read once per primitive.
struct FillSpec {
    int mode = 1;  // FILL_GRADIENT, FILL_SOLID, FILL_TEXTURE, FILL_STRETCHED_TEXTURE
    Color fillColour;
    Point gradientFrom;
    Point gradientTo;
    Color colourFrom;
    Color colourTo;
    // Texture modes: the origin of the pattern and the scene size one copy
    // of the image covers (the texture's size in texels for a repeated
    // texture, the rectangle for a stretched one).
    Point textureOrigin;
    double textureWidth = 0.0;
    double textureHeight = 0.0;
    bool textureDefined = false;
    int textureImage = -1;     // the image's number
    int stretchMode = 0;       // 0 nearest, 1 bilinear

    bool textured() const { return mode == 2 || mode == 3; }
    // A texture fill whose image was never defined draws nothing.
    bool drawable() const { return !textured() || textureDefined; }
    // The attribute of a vertex at scene point (x, y): the fill colour in
    // solid mode, the gradient colour, or the texture coordinate.
    FillValue at(double x, double y) const;
};

}  // namespace qmv::renderer
