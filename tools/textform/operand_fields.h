// The field-level encodings of points, colours and SIZEs, read from a
// FieldCursor and written to a FieldWriter by the same rules, so that a
// decoded field written back gives the same bits.
#pragma once

#include <cstdint>
#include <string>

#include "bit_cursor.h"
#include "command.h"
#include "field_writer.h"

namespace qmv::textform {

// Points. A size outside the point sizes reads and writes nothing.
PointField readPoint(FieldCursor& in, int sizeBits);
// "" on success, else why the bits cannot be written where they stand.
std::string writePoint(FieldWriter& out, int sizeBits, const PointField& point);

// Colours in colour size 0 to 7 (no alignment). The reader needs a palette
// for sizes 0 and 1; `hasPalette` says whether one is in force.
ColorLevels readColor(FieldCursor& in, int colorSize, bool hasPalette);
std::string writeColor(FieldWriter& out, int colorSize, const ColorLevels& color);

// SIZEs: `form` receives the bytes used (1 to 3). The reader refuses the
// long forms of 0 (the cursor records its message).
int64_t readSize(FieldCursor& in, int& form);
int64_t readSignedSize(FieldCursor& in, int& form);
// `form` 0 picks the shortest; the value must fit the form (checked by the
// parser, which knows where the value stands in the text).
std::string writeSize(FieldWriter& out, int64_t value, int form);
std::string writeSignedSize(FieldWriter& out, int64_t value, int form);

int shortestSizeForm(int64_t value);
int shortestSignedSizeForm(int64_t value);

// The problem with a value in a SIZE form, or "".
std::string sizeProblem(int64_t value, int form);
std::string signedSizeProblem(int64_t value, int form);

}  // namespace qmv::textform
