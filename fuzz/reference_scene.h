// A small scene whose picture depends on the GL state the renderer leaves
// between primitives (shade model, texturing and its filters, line stipple,
// blend function): painted after another file, it must look as it did in a
// fresh context. Used by the render fuzz target and the robustness tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "qmv/writer/scene_writer.h"

namespace qmv::fuzz {

inline std::vector<uint8_t> referenceSceneBytes() {
    SceneHeader header;
    header.upperRight = {100, 100};
    header.background = {51 / 255.0, 77 / 255.0, 102 / 255.0, 1.0};
    SceneWriter w(header);
    w.setColorSize(6);
    // A 4 x 4 chequer board for texture fills and image drawings.
    std::vector<Color> pixels;
    for (int i = 0; i < 16; ++i) {
        pixels.push_back(((i / 4 + i % 4) & 1) != 0 ? Color{1, 1, 0, 1} : Color{0, 0, 1, 1});
    }
    const int image = w.setImage(4, 4, pixels);
    w.layer("reference");
    // Outlines in gradient mode take a colour per vertex: flat or smooth
    // shading shows.
    w.setGradientFill({0, 0}, Color{1, 0, 0}, {100, 0}, Color{0, 1, 0});
    w.polyline({{5, 10}, {50, 12}, {95, 10}});
    w.line({5, 20}, {90, 0});
    // Dashes, then solid again.
    w.setLineDashes(0xF0F0);
    w.line({5, 30}, {90, 0});
    w.setLineDashes(0xFFFF);
    // A gradient box and a solid one drawn half transparent.
    w.fillBox({5, 40}, {40, 20});
    w.setBlendMode(2);
    w.setColorSize(7);
    w.setFillColor(Color{1, 1, 1, 128 / 255.0});
    w.fillBox({55, 40}, {40, 20});
    // The image drawn whole with each filter, and a textured circle.
    w.setImageStretchMode(1);
    w.fullImage(image, {5, 65}, {20, 20});
    w.setImageStretchMode(0);
    w.fullImage(image, {30, 65}, {20, 20});
    w.setTextureFill({0, 0}, image);
    w.fillCircle({70, 75}, 10);
    w.setTextColor(Color{1, 1, 1});
    w.setFont(0, 0, 10);
    w.text({5, 90}, "Ag");
    w.polyline({{60, 95}, {95, 95}});
    w.finish();
    if (!w.ok()) std::fprintf(stderr, "reference scene: %s\n", w.error().c_str());
    return w.ok() ? w.bytes() : std::vector<uint8_t>{};
}

}  // namespace qmv::fuzz
