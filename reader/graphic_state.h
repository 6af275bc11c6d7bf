// The GraphicState: the attributes and definitions in force while a file is
// walked, with its reset values, and the storage behind edge sets and faces.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "qmv/scene_types.h"

namespace qmv {

// The context's edge sets in definition order. Sets from `layerMark` on were
// defined inside the current layer and go when the next layer begins.
struct EdgeList {
    std::vector<std::unique_ptr<EdgeSet>> sets;
    int layerMark = -1;  // index of the first set defined after the global layer
};

// Faces in definition order. A chain is appended to while a GraphicState
// refers to it; chains are released only with the context.
struct FaceList {
    std::vector<std::unique_ptr<Face>> faces;
};

struct GraphicState {
    int32_t lastShape = -1;
    int32_t absPointSize = 32;
    int32_t relPointSize = 24;
    int32_t colorSize = 6;
    uint16_t lineDashes = 0xFFFF;
    uint8_t markStyle = 0;
    uint8_t markSize = 0;
    uint8_t blendMode = 2;
    uint16_t lineStyle[4] = {0, 0, 0, 1};
    int32_t paletteColorSize = 0;
    int32_t paletteCount = 0;
    int32_t fillMode = 1;
    // Shared with the snapshots: a palette lives while any of them holds it.
    std::shared_ptr<const ColorArray> palette;
    Color fillColor;
    Color lineColor;
    Color markColor;
    Color gradientColor1;
    Color gradientColor2;
    Point gradientPoint1;
    Point gradientPoint2;
    int32_t imageStretchMode = 0;
    int32_t textureImage = 0;
    Point texturePoint1;
    Point texturePoint2;
    EdgeList* edgeList = nullptr;  // owned by the context
    FaceList* faceList = nullptr;  // owned by the context
    int32_t globalLayerDone = 0;
    int32_t objectOpen = 0;
    Color textColor;
    int32_t fontId = 0;
    int32_t fontStyle = 0;
    int32_t fontSize = 1;
    int32_t textAlignment = 10;
    double textAngle = 0.0;
    int32_t shapeCount = 0;
    uint16_t imageCount = 0;
    Color backgroundColor;
    int32_t currentFace = -1;
    int32_t currentEdge = -1;
};

}  // namespace qmv
