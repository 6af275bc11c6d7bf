// Glyph lookup and immediate-mode drawing of the stroke fonts.
#include "qmv/stroke_font.h"

#include <GL/gl.h>

#include <cstddef>

#include "glyph_tables.h"

namespace qmv {

using stroke_font_detail::kFirstGlyph;
using stroke_font_detail::kLastGlyph;

const StrokeGlyph* strokeGlyph(StrokeFont font, int c) {
    if (c < kFirstGlyph || c > kLastGlyph) {
        return nullptr;
    }
    const StrokeGlyph* table = font == StrokeFont::MonoRoman
                                   ? stroke_font_detail::kMonoRomanGlyphs
                                   : stroke_font_detail::kRomanGlyphs;
    return &table[c - kFirstGlyph];
}

void strokeCharacter(StrokeFont font, int c, const double* rgba) {
    const StrokeGlyph* glyph = strokeGlyph(font, c);
    if (glyph == nullptr) {
        return;
    }
    std::size_t next = 0;
    for (std::uint16_t length : glyph->strokeLengths) {
        glBegin(GL_LINE_STRIP);
        if (rgba != nullptr) glColor4dv(rgba);
        for (std::size_t i = 0; i < length; ++i) {
            const StrokePoint& p = glyph->points[next + i];
            glVertex2f(p.x, p.y);
        }
        glEnd();
        next += length;
    }
    glTranslatef(glyph->width, 0.0f, 0.0f);
}

float strokeWidth(StrokeFont font, int c) {
    const StrokeGlyph* glyph = strokeGlyph(font, c);
    return glyph == nullptr ? 0.0f : glyph->width;
}

}  // namespace qmv
