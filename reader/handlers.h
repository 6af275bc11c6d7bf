// The opcode handlers. Each is entered after its opcode byte was taken, reads
// exactly its operands and reports through the callbacks.
#pragma once

namespace qmv {

// Geometry
void MakePolyline();
void MakeDrawPolygon();
void MakeFillPolygon();
void MakeDrawCubicBezier();
void MakeFillCubicBezier();
void MakeDrawArc();
void MakeFillArc();
void MakeMark();
void MakeLine();
void MakeDrawBox();
void MakeFillBox();
void MakeDrawCircle();
void MakeFillCircle();
void MakeDrawEllipse();
void MakeFillEllipse();

// Text, images, shapes and structure
void MakeExtension();
void MakeLayer();
void MakeObject();
void MakeText();
void MakeShape();
void MakeStampShape();
void MakeRepeatShape();
void MakeImage();
void MakeFullImage();
void MakeSetImage();
void MakeBeginSetShape();
void MakeEndSetShape();

// Attributes
void MakeSetPointSize16();
void MakeSetPointSize24();
void MakeSetPointSize32();
void MakeSetPointSize64();
void MakeSetPointSize128();
void MakeSetRelPointSize3();
void MakeSetRelPointSize6();
void MakeSetRelPointSize8();
void MakeSetRelPointSize16();
void MakeSetRelPointSize24();
void MakeSetRelPointSize32();
void MakeSetRelPointSize64();
void MakeSetRelPointSize128();
void MakeSetColorSize();
void MakeSetBlendMode();
void MakeSetLineColor();
void MakeSetLineDashes();
void MakeSetLineStyle();
void MakeSetMarkColor();
void MakeSetMarkStyle();
void MakeSetFillColor();
void MakeSetGradientFill();
void MakeSetTextureFill();
void MakeSetStrechedTextureFill();
void MakeSetImageStretchMode();
void MakeSetTextColor();
void MakeSetFont();
void MakeSetTextAlignment();
void MakeSetPalette();

// Edges and faces
void MakeSetEdge();
void MakeSetFace();
void MakeDrawEdge();
void MakeDrawEdgeRange();
void MakeFillFace();

}  // namespace qmv
