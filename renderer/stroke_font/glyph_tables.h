// The glyph tables that make_glyph_tables writes at build time from the
// Hershey font file; indexed by character code minus kFirstGlyph.
#pragma once

#include "qmv/stroke_font.h"

namespace qmv::stroke_font_detail {

inline constexpr int kFirstGlyph = 32;
inline constexpr int kLastGlyph = 126;
inline constexpr int kGlyphCount = kLastGlyph - kFirstGlyph + 1;

extern const StrokeGlyph kRomanGlyphs[kGlyphCount];
extern const StrokeGlyph kMonoRomanGlyphs[kGlyphCount];

}  // namespace qmv::stroke_font_detail
