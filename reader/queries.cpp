// Queries on a ReaderContext: valid inside callbacks and after the parse.
// Out-of-range selectors yield 0.0 and missing edges or faces yield nullptr;
// queries never record errors.
#include "qmv/reader.h"
#include "reader_context.h"

namespace qmv {

void* readerClientData(const ReaderContext* ctx) { return ctx->clientData; }
int readerFillMode(const ReaderContext* ctx) { return ctx->gs.fillMode; }

double readerColor(const ReaderContext* ctx, int kind, int component) {
    const GraphicState& gs = ctx->gs;
    const Color* colors[] = {&gs.lineColor,      &gs.fillColor,      &gs.markColor, &gs.backgroundColor,
                             &gs.gradientColor1, &gs.gradientColor2, &gs.textColor};
    if (kind < 0 || kind > 6 || component < 0 || component > 3) return 0.0;
    const Color& c = *colors[kind];
    const double values[] = {c.r, c.g, c.b, c.a};
    return values[component];
}

double readerFillPoint(const ReaderContext* ctx, int selector, int coordinate) {
    const GraphicState& gs = ctx->gs;
    const Point* points[] = {&gs.texturePoint1, &gs.texturePoint2, &gs.gradientPoint1,
                             &gs.gradientPoint2};
    if (selector < 0 || selector > 3) return 0.0;
    return coordinate == 0 ? points[selector]->x : points[selector]->y;
}

int readerImageStretchMode(const ReaderContext* ctx) { return ctx->gs.imageStretchMode; }
int readerTextureImage(const ReaderContext* ctx) { return ctx->gs.textureImage; }

void readerLineStyle(const ReaderContext* ctx, int16_t* first, int16_t* second, int16_t* third,
                     int16_t* fourth) {
    const uint16_t* style = ctx->gs.lineStyle;
    *first = static_cast<int16_t>(style[0]);
    *second = static_cast<int16_t>(style[1]);
    *third = static_cast<int16_t>(style[2]);
    *fourth = static_cast<int16_t>(style[3]);
}

int readerLineDashes(const ReaderContext* ctx) { return static_cast<int16_t>(ctx->gs.lineDashes); }
int readerBlendMode(const ReaderContext* ctx) { return ctx->gs.blendMode; }
int readerFont(const ReaderContext* ctx) { return ctx->gs.fontId; }
int readerFontStyle(const ReaderContext* ctx) { return ctx->gs.fontStyle; }
int readerFontSize(const ReaderContext* ctx) { return ctx->gs.fontSize; }
int readerTextAlignment(const ReaderContext* ctx) { return ctx->gs.textAlignment; }
double readerTextAngle(const ReaderContext* ctx) { return ctx->gs.textAngle; }
int readerLayerCount(const ReaderContext* ctx) { return ctx->layerCount; }
int readerShapeCount(const ReaderContext* ctx) { return ctx->gs.shapeCount; }
int readerImageCount(const ReaderContext* ctx) { return ctx->gs.imageCount; }
int readerParseSeconds(const ReaderContext* ctx) { return ctx->endTime - ctx->startTime; }
uint64_t readerFileSize(const ReaderContext* ctx) { return ctx->fileBytes; }

void readerLowerLeft(const ReaderContext* ctx, double* x, double* y) {
    *x = ctx->lowerLeft.x;
    *y = ctx->lowerLeft.y;
}

void readerUpperRight(const ReaderContext* ctx, double* x, double* y) {
    *x = ctx->upperRight.x;
    *y = ctx->upperRight.y;
}

const EdgeSet* readerEdge(const ReaderContext* ctx, int position) {
    const EdgeList* list = ctx->gs.edgeList;
    if (list == nullptr || list->sets.empty()) return nullptr;
    size_t index = position <= 1 ? 0 : static_cast<size_t>(position) - 1;
    return index < list->sets.size() ? list->sets[index].get() : nullptr;
}

const Face* readerFace(const ReaderContext* ctx, int position) {
    const FaceList* list = ctx->gs.faceList;
    if (list == nullptr || position < 0) return nullptr;
    size_t index = static_cast<size_t>(position);
    return index < list->faces.size() ? list->faces[index].get() : nullptr;
}

int edgeSetPoint(const EdgeSet* set, int listIndex, int pointIndex, Point* out) {
    if (set == nullptr || listIndex < 0 || listIndex >= set->count || pointIndex < 0) return 0;
    const PointList& list = set->lists[static_cast<size_t>(listIndex)];
    if (listIndex == 0) {
        if (pointIndex == 0) {
            *out = set->start;
            return 1;
        }
        --pointIndex;
    }
    if (pointIndex >= list.count) return 0;
    *out = list.points[static_cast<size_t>(pointIndex)];
    return 1;
}

HeaderInfo readerHeaderInfo(const ReaderContext* ctx) {
    HeaderInfo info;
    info.reserved = ctx->reserved;
    info.version = ctx->version;
    info.release = ctx->release;
    info.resolution = ctx->resolution;
    info.lowerLeft = ctx->lowerLeft;
    info.upperRight = ctx->upperRight;
    info.mm = ctx->mm;
    return info;
}

}  // namespace qmv
