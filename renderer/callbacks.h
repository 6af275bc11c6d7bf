// The renderer's reader callbacks, one group per source file, and the small
// helpers the groups share. Every callback takes the running ReaderContext
// and finds its RenderScene as the context's client data.
#pragma once

#include "fill_params.h"
#include "qmv/reader.h"
#include "render_scene.h"

namespace qmv::renderer {

// scene_model.cpp: layers, shapes, objects, extensions.
int layerBegin(ReaderContext* ctx, const char* name, int visible, int detectable);
int layersEnd(ReaderContext* ctx);
int shapeBegin(ReaderContext* ctx, double x, double y, int number);
int shapeEnd(ReaderContext* ctx);
int stampShape(ReaderContext* ctx, int number, double x, double y);
int placeShape(ReaderContext* ctx, int number, double x, double y, double angle, double sx,
               double sy);
int objectBegin(ReaderContext* ctx, const char* name);
int objectEnd(ReaderContext* ctx);
int extension(ReaderContext* ctx, const char* first, const char* second);

// attributes.cpp
int setBlendMode(ReaderContext* ctx, int mode);
int setLineDashes(ReaderContext* ctx, int pattern);
int setLineStyle(ReaderContext* ctx, int first, int second, int third, int fourth);
// glColor4d of a colour kind of readerColor (COLOR_LINE, COLOR_FILL, ...).
void issueColour(const ReaderContext* ctx, int kind);
// Shade model or texturing for a fill mode, and what ends it.
void enterFillMode(int mode);
void leaveFillMode(int mode);

// fill_attribute.cpp
FillSpec readFillSpec(const ReaderContext* ctx, const RenderScene& scene);
// Before a filled primitive's glBegin: the solid colour or the texture.
void applyFillFirst(const FillSpec& fill);
// Before one vertex: its gradient colour or texture coordinate (a solid fill
// has set its colour once already).
void applyFillVertex(const FillSpec& fill, double x, double y);
void issueFillValue(const FillValue& value);

// primitives.cpp
int drawLine(ReaderContext* ctx, double x, double y, double dx, double dy);
int drawMark(ReaderContext* ctx, double x, double y);
int drawBox(ReaderContext* ctx, double x, double y, double width, double height, int filled);
int drawCircle(ReaderContext* ctx, double cx, double cy, double radius, int filled);
int drawEllipse(ReaderContext* ctx, double cx, double cy, double rx, double ry, int filled);
int drawArc(ReaderContext* ctx, double cx, double cy, double rx, double ry, double start,
            double end, int filled);

// paths.cpp: polylines, polygons and Bézier segments.
int pathBegin(ReaderContext* ctx, int kind, double x, double y, int filled);
int pathVertex(ReaderContext* ctx, double x, double y);
int pathEnd(ReaderContext* ctx);
// Compiles the Bézier segments the list just closed calls.
void compilePendingBeziers(RenderScene& scene);

// tessellation.cpp: filled polygons and faces, edges.
void tessBeginPolygon(RenderScene& scene);
void tessAddVertex(RenderScene& scene, GLUtesselator* tess, double x, double y,
                   const FillValue& fill);
void tessEndPolygon(RenderScene& scene);
int drawEdge(ReaderContext* ctx, int number);
int fillFace(ReaderContext* ctx, int number);
// Sets the callbacks and the winding rule every tessellator of a scene uses.
void configureTessellator(GLUtesselator* tess);

// text.cpp
int drawText(ReaderContext* ctx, double x, double y, const char* text);

// images.cpp
int defineImage(ReaderContext* ctx, int width, int height, float* pixels, int number);
int drawFullImage(ReaderContext* ctx, int number, double x, double y, double width,
                  double height);
int drawImagePart(ReaderContext* ctx, int number, double sx, double sy, double sw, double sh,
                  double x, double y, double width, double height);

}  // namespace qmv::renderer
