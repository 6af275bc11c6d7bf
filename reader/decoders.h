// Operand decoders: points in every size, relative point lists, sizes,
// strings, angles, colours, palettes, edge sets and faces. The encodings of
// points and colours follow the sizes in the current GraphicState.
#pragma once

#include <memory>

#include "qmv/format.h"
#include "qmv/scene_types.h"

namespace qmv {

inline constexpr int RELPOINT = 0;
inline constexpr int ABSPOINT = 1;

Point getpoint(int pointType);

// True for the point sizes that read bits (3, 6, 8, 16, 24, 32, 64, 128).
bool pointSizeReadsBits(int size);

// Reads `count` relative steps chained from `start` into `list` (replacing its
// points), then aligns to a byte. Returns the running point after the last
// step. A negative count reads nothing. When the data ends inside the list,
// the list holds the points read so far: storage grows with the data, never
// with the claimed count alone.
Point readPointList(int count, Point start, PointList& list);

// A new list (the caller owns it); `running` receives the last point.
PointList getPointList(int count, Point start, Point* running);

// The parse's shared temporary list, valid until the next call.
const PointList& getTempPointList(int count, Point start, Point* running);

EdgeSet getEdgeSet();
Face getFace();

// 0 to 4194303, or -1 after an inconsistent (zero) long form.
int getsize();
int getSignedSize();

// The parse's scratch text, or nullptr for an empty (or failed) length.
const char* getString();

double getAngle(int pointType);

void getcolor(Color& color);
void getcolorAligned(Color& color);

// Reads a palette: a byte holding the count minus one, then the colours.
std::shared_ptr<const ColorArray> getColorArray(int* count);

double PickColorFromPalette(int index, char component);

}  // namespace qmv
