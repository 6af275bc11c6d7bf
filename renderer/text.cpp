// Text drawn with the stroke fonts as lines in scene space, so that it
// scales, turns and is culled like any other geometry.
#include <cmath>
#include <cstdint>

#include "callbacks.h"
#include "qmv/stroke_font.h"
#include "text_layout.h"

namespace qmv::renderer {

namespace {

// One font unit is this many scene units per unit of font size.
constexpr double kUnitPerSize = 0.008;
// Bold styles draw the string a second time, this far to the right.
constexpr double kBoldShift = 0.00001;

StrokeFont strokeFontFor(int fontCode) {
    return fontCode == 1 ? StrokeFont::MonoRoman : StrokeFont::Roman;
}

// Characters go to the font as signed bytes widened, as a C string holds
// them: bytes above 127 have no glyph.
int characterCode(char c) { return static_cast<int>(static_cast<signed char>(c)); }

double halfStringWidth(StrokeFont font, const char* text) {
    double sum = 0.0;
    for (const char* c = text; *c != '\0'; ++c) sum += strokeWidth(font, characterCode(*c));
    return sum * 0.5;
}

// Each stroke a strip starting with the text colour; each glyph moves the
// next one on by its width along the baseline.
void drawStrokeString(GeometryRecorder& rec, StrokeFont font, const char* text,
                      const double* rgba) {
    double advance = 0.0;
    for (const char* c = text; *c != '\0'; ++c) {
        const StrokeGlyph* glyph = strokeGlyph(font, characterCode(*c));
        if (glyph == nullptr) continue;
        size_t next = 0;
        for (uint16_t length : glyph->strokeLengths) {
            rec.begin(DrawKind::LineStrip);
            rec.colour(rgba);
            for (size_t i = 0; i < length && next + i < glyph->points.size(); ++i) {
                const StrokePoint& p = glyph->points[next + i];
                rec.vertex(double(p.x) + advance, double(p.y));
            }
            rec.end();
            next += length;
        }
        advance += double(glyph->width);
    }
}

// Counts one pass over the string with the scene's limits: per character
// its stroke points, strokes and advance compiled; inside a shape, each
// stroke segment at the text's scale too, for what a placement replays.
bool countPass(ReaderContext* ctx, StrokeFont font, const char* text, double scale) {
    SceneLimits& limits = sceneOf(ctx).limits;
    for (const char* c = text; *c != '\0'; ++c) {
        const StrokeGlyph* glyph = strokeGlyph(font, characterCode(*c));
        if (glyph == nullptr) {
            if (!limits.store(ctx, 1.0)) return false;
            continue;
        }
        const double points = static_cast<double>(glyph->points.size());
        const double strokes = static_cast<double>(glyph->strokeLengths.size());
        if (!limits.store(ctx, points + strokes + 1.0)) return false;
        if (!limits.inShape()) continue;
        size_t at = 0;
        for (uint16_t length : glyph->strokeLengths) {
            for (size_t k = 1; k < length && at + k < glyph->points.size(); ++k) {
                const StrokePoint& a = glyph->points[at + k - 1];
                const StrokePoint& b = glyph->points[at + k];
                limits.segment(std::hypot(double(b.x) - a.x, double(b.y) - a.y) * scale);
            }
            at += length;
        }
    }
    return true;
}

// The alignment shift is applied along the scene axes; the string turns
// about the shifted anchor.
void drawPass(GeometryRecorder& rec, StrokeFont font, const char* text, const double* rgba,
              double x, double y, double scale, double angle) {
    const double c = std::cos(angle) * scale, s = std::sin(angle) * scale;
    rec.setTransform({c, -s, s, c, x, y});
    drawStrokeString(rec, font, text, rgba);
    rec.clearTransform();
}

}  // namespace

int drawText(ReaderContext* ctx, double x, double y, const char* text) {
    if (text == nullptr) text = "";
    const int style = readerFontStyle(ctx);
    const StrokeFont font = strokeFontFor(readerFont(ctx));
    const double angle = readerTextAngle(ctx);

    const double s = readerFontSize(ctx) * kUnitPerSize;
    const int passes = style == 1 || style == 3 ? 2 : 1;
    if (!sceneOf(ctx).limits.push(ctx, 0)) return CALLBACK_FAILED;
    for (int pass = 0; pass < passes; ++pass) {
        if (!countPass(ctx, font, text, s)) return CALLBACK_FAILED;
    }
    // The text colour starts every stroke.
    double rgba[4];
    for (int i = 0; i < 4; ++i) rgba[i] = readerColor(ctx, COLOR_TEXT, i);
    GeometryRecorder& rec = sceneOf(ctx).recorder;
    const TextOffset offset = textOffset(readerTextAlignment(ctx), halfStringWidth(font, text));
    const double left = x - offset.x * s;
    const double bottom = y - offset.y * s;
    drawPass(rec, font, text, rgba, left, bottom, s, angle);
    if (style == 1 || style == 3) drawPass(rec, font, text, rgba, left + kBoldShift, bottom, s, angle);
    return 1;
}

}  // namespace qmv::renderer
