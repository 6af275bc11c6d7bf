// The attributes that become GL state through their own callbacks (blend
// function, line stipple), the colour issue, and the shade model or
// texturing that a fill mode draws with. Everything else the renderer draws
// with is asked from the reader when a primitive is drawn.
#include <GL/gl.h>

#include "callbacks.h"

namespace qmv::renderer {

namespace {

struct BlendFactors {
    GLenum source;
    GLenum destination;
};

constexpr BlendFactors kBlendModes[8] = {
    {GL_ZERO, GL_ZERO},
    {GL_ONE, GL_ZERO},
    {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
    {GL_ONE_MINUS_DST_ALPHA, GL_ONE},
    {GL_DST_ALPHA, GL_ZERO},
    {GL_ZERO, GL_SRC_ALPHA},
    {GL_ONE_MINUS_DST_ALPHA, GL_ZERO},
    {GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},
};

}  // namespace

// Blending itself is switched on once, with the context's fixed state.
int setBlendMode(ReaderContext*, int mode) {
    const int m = mode & 0xFF;
    if (m < 8) glBlendFunc(kBlendModes[m].source, kBlendModes[m].destination);
    return 1;
}

// The stipple stays enabled: the solid pattern 0xFFFF draws plain lines.
int setLineDashes(ReaderContext*, int pattern) {
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, static_cast<GLushort>(pattern & 0xFFFF));
    return 1;
}

// The four line-style values have no meaning for the drawing.
int setLineStyle(ReaderContext*, int, int, int, int) { return 1; }

void issueColour(const ReaderContext* ctx, int kind) {
    glColor4d(readerColor(ctx, kind, 0), readerColor(ctx, kind, 1), readerColor(ctx, kind, 2),
              readerColor(ctx, kind, 3));
}

// The shade model is not put back afterwards: outlines drawn after a
// gradient fill in the same list are shaded smoothly too.
void enterFillMode(int mode) {
    switch (mode) {
    case FILL_GRADIENT:
        glShadeModel(GL_SMOOTH);
        break;
    case FILL_SOLID:
        glShadeModel(GL_FLAT);
        break;
    case FILL_TEXTURE:
    case FILL_STRETCHED_TEXTURE:
        glEnable(GL_TEXTURE_2D);
        break;
    default:
        break;
    }
}

void leaveFillMode(int mode) {
    if (mode == FILL_TEXTURE || mode == FILL_STRETCHED_TEXTURE) glDisable(GL_TEXTURE_2D);
}

}  // namespace qmv::renderer
