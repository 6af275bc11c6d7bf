// The attributes that become drawing state through their own callbacks
// (blend function, dash pattern), the colour issue, and the shade model or
// texturing that a fill mode draws with. Everything else the renderer draws
// with is asked from the reader when a primitive is drawn.
#include "callbacks.h"

namespace qmv::renderer {

// Blending itself is switched on once, with the context's fixed state;
// modes past 7 change nothing.
int setBlendMode(ReaderContext* ctx, int mode) {
    sceneOf(ctx).recorder.blend(mode & 0xFF);
    return 1;
}

// The stipple stays enabled: the solid pattern 0xFFFF draws plain lines.
int setLineDashes(ReaderContext* ctx, int pattern) {
    sceneOf(ctx).recorder.dashes(pattern & 0xFFFF);
    return 1;
}

// The four line-style values have no meaning for the drawing.
int setLineStyle(ReaderContext*, int, int, int, int) { return 1; }

void issueColour(GeometryRecorder& recorder, const ReaderContext* ctx, int kind) {
    recorder.colour(readerColor(ctx, kind, 0), readerColor(ctx, kind, 1), readerColor(ctx, kind, 2),
                    readerColor(ctx, kind, 3));
}

// The shade model is not put back afterwards: outlines drawn after a
// gradient fill in the same layer are shaded smoothly too.
void enterFillMode(GeometryRecorder& recorder, int mode) {
    switch (mode) {
    case FILL_GRADIENT:
        recorder.shade(true);
        break;
    case FILL_SOLID:
        recorder.shade(false);
        break;
    case FILL_TEXTURE:
    case FILL_STRETCHED_TEXTURE:
        recorder.texturing(true);
        break;
    default:
        break;
    }
}

void leaveFillMode(GeometryRecorder& recorder, int mode) {
    if (mode == FILL_TEXTURE || mode == FILL_STRETCHED_TEXTURE) recorder.texturing(false);
}

}  // namespace qmv::renderer
