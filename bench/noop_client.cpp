#include "noop_client.h"

#include "qmv/reader.h"

namespace qmv::bench {

namespace {

template <typename... Args>
int noop(ReaderContext*, Args...) {
    return 1;
}

// Returning 1 leaves the pixels to the client, which frees them at once.
int noopSetImage(ReaderContext*, int, int, float* pixels, int) {
    readerFreePixels(pixels);
    return 1;
}

}  // namespace

void registerNoopCallbacks() {
    readerSetCallback<QMVR_setBlendMode>(noop<int>);
    readerSetCallback<QMVR_ellipse>(noop<double, double, double, double, int>);
    readerSetCallback<QMVR_layer>(noop<const char*, int, int>);
    readerSetCallback<QMVR_endLayer>(noop<>);
    readerSetCallback<QMVR_setLineDashes>(noop<int>);
    readerSetCallback<QMVR_setLineStyle>(noop<int, int, int, int>);
    readerSetCallback<QMVR_box>(noop<double, double, double, double, int>);
    readerSetCallback<QMVR_line>(noop<double, double, double, double>);
    readerSetCallback<QMVR_beginSetShape>(noop<double, double, int>);
    readerSetCallback<QMVR_endSetShape>(noop<>);
    readerSetCallback<QMVR_begin>(noop<int, double, double, int>);
    readerSetCallback<QMVR_vertex>(noop<double, double>);
    readerSetCallback<QMVR_end>(noop<>);
    readerSetCallback<QMVR_circle>(noop<double, double, double, int>);
    readerSetCallback<QMVR_arc>(noop<double, double, double, double, double, double, int>);
    readerSetCallback<QMVR_shape>(noop<int, double, double, double, double, double>);
    readerSetCallback<QMVR_stampshape>(noop<int, double, double>);
    readerSetCallback<QMVR_extension>(noop<const char*, const char*>);
    readerSetCallback<QMVR_beginObject>(noop<const char*>);
    readerSetCallback<QMVR_endObject>(noop<>);
    readerSetCallback<QMVR_text>(noop<double, double, const char*>);
    readerSetCallback<QMVR_setImage>(noopSetImage);
    readerSetCallback<QMVR_fullImage>(noop<int, double, double, double, double>);
    readerSetCallback<QMVR_image>(
        noop<int, double, double, double, double, double, double, double, double>);
    readerSetCallback<QMVR_mark>(noop<double, double>);
    readerSetCallback<QMVR_drawEdge>(noop<int>);
    readerSetCallback<QMVR_fillFace>(noop<int>);
}

}  // namespace qmv::bench
