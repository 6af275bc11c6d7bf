// Handlers of the attribute commands: encodings, colours, dashes and styles,
// blend modes, fills, fonts, text alignment, image filtering and palettes.
#include "bit_reader.h"
#include "decoders.h"
#include "handlers.h"

namespace qmv {

namespace {

GraphicState& gs() { return g_reader.ctx->gs; }

void readColorInto(Color& target) {
    Color c = target;
    getcolorAligned(c);
    target = c;
}

}  // namespace

void MakeSetPointSize16() { gs().absPointSize = 16; }
void MakeSetPointSize24() { gs().absPointSize = 24; }
void MakeSetPointSize32() { gs().absPointSize = 32; }
void MakeSetPointSize64() { gs().absPointSize = 64; }
void MakeSetPointSize128() { gs().absPointSize = 128; }
void MakeSetRelPointSize3() { gs().relPointSize = 3; }
void MakeSetRelPointSize6() { gs().relPointSize = 6; }
void MakeSetRelPointSize8() { gs().relPointSize = 8; }
void MakeSetRelPointSize16() { gs().relPointSize = 16; }
void MakeSetRelPointSize24() { gs().relPointSize = 24; }
void MakeSetRelPointSize32() { gs().relPointSize = 32; }
void MakeSetRelPointSize64() { gs().relPointSize = 64; }
void MakeSetRelPointSize128() { gs().relPointSize = 128; }

void MakeSetColorSize() { gs().colorSize = in().take(); }

void MakeSetBlendMode() {
    int mode = in().take();
    gs().blendMode = static_cast<uint8_t>(mode);
    // The client only ever sees modes 0 to 7; the state keeps the byte.
    invokeCallback<QMVR_setBlendMode>(mode <= 7 ? mode : 0);
}

void MakeSetLineColor() { readColorInto(gs().lineColor); }

void MakeSetLineDashes() {
    int high = in().take();
    int low = in().take();
    gs().lineDashes = static_cast<uint16_t>(high * 256 + low);
    invokeCallback<QMVR_setLineDashes>(static_cast<int>(gs().lineDashes));
}

void MakeSetLineStyle() {
    uint16_t* style = gs().lineStyle;
    for (int i = 0; i < 4; ++i) style[i] = static_cast<uint16_t>(in().take());
    invokeCallback<QMVR_setLineStyle>(int{style[0]}, int{style[1]}, int{style[2]}, int{style[3]});
}

void MakeSetMarkColor() { readColorInto(gs().markColor); }

void MakeSetMarkStyle() {
    gs().markStyle = static_cast<uint8_t>(in().take());
    gs().markSize = static_cast<uint8_t>(getsize() & 0xFF);
}

void MakeSetFillColor() {
    readColorInto(gs().fillColor);
    gs().fillMode = FILL_SOLID;
}

void MakeSetGradientFill() {
    GraphicState& state = gs();
    Color c1 = state.gradientColor1;
    Color c2 = state.gradientColor2;
    Point p1 = getpoint(ABSPOINT);
    getcolorAligned(c1);
    Point p2 = getpoint(ABSPOINT);
    getcolorAligned(c2);
    state.gradientPoint1 = p1;
    state.gradientColor1 = c1;
    state.gradientPoint2 = p2;
    state.gradientColor2 = c2;
    state.fillMode = FILL_GRADIENT;
}

void MakeSetTextureFill() {
    Point p = getpoint(ABSPOINT);
    int image = getsize();
    gs().texturePoint1 = p;
    gs().textureImage = image;
    gs().fillMode = FILL_TEXTURE;
}

void MakeSetStrechedTextureFill() {
    Point p = getpoint(ABSPOINT);
    Point d = getpoint(RELPOINT);
    in().align();
    int image = getsize();
    gs().texturePoint1 = p;
    gs().texturePoint2 = {p.x + d.x, p.y + d.y};
    gs().textureImage = image;
    gs().fillMode = FILL_STRETCHED_TEXTURE;
}

void MakeSetImageStretchMode() {
    int mode = in().take();
    if (mode != 0 && mode != 1) {
        readerError(
            "Error in MakeSetImageStretchMode: Image stretch mode is neither nearest nor bilinear");
    }
    gs().imageStretchMode = mode;
}

void MakeSetTextColor() { readColorInto(gs().textColor); }

void MakeSetFont() {
    gs().fontId = in().take();
    int style = in().take();
    gs().fontSize = getsize();
    if (style <= 3) gs().fontStyle = style;
}

void MakeSetTextAlignment() {
    gs().textAlignment = in().take();
    gs().textAngle = getAngle(ABSPOINT);
    in().align();
}

void MakeSetPalette() {
    GraphicState& state = gs();
    // The old palette stops being in force before the new one is read; the
    // snapshots keep it alive while they refer to it.
    state.palette.reset();
    state.paletteColorSize = state.colorSize;
    int count = 0;
    std::shared_ptr<const ColorArray> palette = getColorArray(&count);
    state.palette = std::move(palette);
    state.paletteCount = count;
}

}  // namespace qmv
