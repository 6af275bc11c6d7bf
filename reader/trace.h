// The trace dump: a readable account of a parse written to the context's
// trace file. Every writer does nothing when no trace file is open.
#pragma once

#include <string>

#include "qmv/scene_types.h"

namespace qmv {

struct ReaderContext;

// A double with 8 significant digits: fixed notation for exponents -1 to 7,
// otherwise d.ddddddde+XXX; trailing zeros of the fraction are removed but
// the decimal point stays ("1.", "5.e-002", "1.2345679e+008").
std::string formatTraceNumber(double value);

void traceItem(const char* text);  // a space, then the text
void traceNumber(double value);
void traceInteger(int value);  // a space, then the integer
void tracePoint(Point p);
void traceOpcodeLine(int opcode);
void traceLayerSeparator();
void traceHeader(const ReaderContext* ctx);

}  // namespace qmv
