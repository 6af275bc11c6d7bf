// The renderer's reader callbacks, one group per source file, and the small
// helpers the groups share. Every callback takes the running ReaderContext
// and finds its RenderScene as the context's client data, and records what
// it draws through the scene's GeometryRecorder.
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
// The current colour from a colour kind of readerColor (COLOR_LINE,
// COLOR_FILL, ...).
void issueColour(GeometryRecorder& recorder, const ReaderContext* ctx, int kind);
// Shade model or texturing for a fill mode, and what ends it.
void enterFillMode(GeometryRecorder& recorder, int mode);
void leaveFillMode(GeometryRecorder& recorder, int mode);

// fill_attribute.cpp
FillSpec readFillSpec(const ReaderContext* ctx, const RenderScene& scene);
// Before a filled primitive: the texture a texture fill samples.
void applyFillFirst(GeometryRecorder& recorder, const FillSpec& fill);
// At a filled primitive's begin: the solid colour.
void issueFillColour(GeometryRecorder& recorder, const FillSpec& fill);
// Before one vertex: its gradient colour or texture coordinate (a solid fill
// has set its colour once already).
void applyFillVertex(GeometryRecorder& recorder, const FillSpec& fill, double x, double y);
void issueFillValue(GeometryRecorder& recorder, const FillValue& value);
// The rectangle from (x0, y0) to (x1, y1) as one quad in the fill: its
// solid colour, or each corner's gradient colour or texture coordinate.
void fillRectangle(GeometryRecorder& recorder, const FillSpec& fill, double x0, double y0,
                   double x1, double y1);

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

// stencil_fill.cpp: solid and texture fills of outlines through the
// stencil buffer. The points are collected, then drawn by the end, which
// leaves the fill mode; false when the limits refuse them.
bool canStencilFill(const RenderScene& scene, const FillSpec& fill);
void stencilFillBegin(StencilOutline& outline);
void stencilFillVertex(StencilOutline& outline, double x, double y);
bool stencilFillEnd(ReaderContext* ctx, RenderScene& scene, const FillSpec& fill);

// tessellation.cpp: filled polygons and faces, edges.
// A filled outline is collected first, then measured against the scene's
// limits and only then given to the tessellator, which emits its triangles.
void tessBeginPolygon(RenderScene& scene);
void tessAddVertex(RenderScene& scene, double x, double y, const FillValue& fill);
// False, drawing nothing, when the limits refuse the outline; `refused`
// drops an outline whose collection was already refused.
bool tessEndPolygon(ReaderContext* ctx, RenderScene& scene, GLUtesselator* tess,
                    const FillSpec& fill, bool refused);
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
