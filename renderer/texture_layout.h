// The texture an image becomes: power-of-two sizes that fit the context,
// and a one-texel border around the rescaled image that repeats its edge.
// Plain arithmetic on float RGBA texels, no GL.
#pragma once

#include <span>

namespace qmv::renderer {

// The texture size for an image side of n pixels: the smallest power of two
// not below n (1 for a side of 1), capped at the largest power of two that
// still fits maxTextureSize with its two border texels. 0 for n <= 0.
int textureSide(int n, int maxTextureSize);

// `texels` holds (width + 2) x (height + 2) RGBA texels; its start holds the
// rescaled image packed, width texels per row, bottom row first. Moves the
// rows into the bordered layout and fills the border from the nearest edge
// texels, corners included.
void spreadWithBorder(std::span<float> texels, int width, int height);

}  // namespace qmv::renderer
