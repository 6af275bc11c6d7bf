// Writes a one-box scene, counts its boxes through the reader's callbacks,
// then draws it headless and checks the box's colour. Exit status 0 when
// all of that worked.
#include <cstdio>
#include <string>

#include "qmv/headless_gl.h"
#include "qmv/reader.h"
#include "qmv/renderer.h"
#include "qmv/scene_document.h"
#include "qmv/writer.h"

namespace {

int boxes = 0;

int fail(const char* what) {
    std::fprintf(stderr, "consumer: %s\n", what);
    return 1;
}

int countBox(qmv::ReaderContext*, double, double, double, double, int) {
    ++boxes;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string path = argv[1];
    qmv::SceneHeader header;
    header.upperRight = {100, 100};
    header.background = {1, 1, 1, 1};
    qmv::SceneWriter writer(header);
    writer.layer("box");
    writer.setFillColor(qmv::Color{0, 0, 1, 1});
    writer.fillBox({0, 0}, {100, 100});
    writer.finish();
    if (!writer.save(path)) return fail("the writer could not save");

    // Every event the file holds needs a callback.
    qmv::readerSetCallback<qmv::QMVR_box>(countBox);
    qmv::readerSetCallback<qmv::QMVR_layer>([](qmv::ReaderContext*, const char*, int, int) { return 1; });
    qmv::readerSetCallback<qmv::QMVR_endLayer>([](qmv::ReaderContext*) { return 1; });
    qmv::ReaderContext* ctx = qmv::readerOpen(path.c_str(), nullptr, 1, nullptr);
    const char* error = qmv::readerErrorText(ctx);
    if (error != nullptr) std::fprintf(stderr, "consumer: %s\n", error);
    const bool read = error == nullptr;
    qmv::readerRelease(&ctx);
    qmv::readerClearCallbacks();
    if (!read || boxes != 1) return fail("the reader did not report the box");

    qmv::HeadlessGl gl(50, 50);
    if (!gl.ok()) return fail(gl.error().c_str());
    qmv::initGlState();
    qmv::registerRendererCallbacks();
    qmv::SceneDocument document(path.c_str());
    if (document.error() != nullptr) return fail(document.error());
    document.paint(document.initialView(50, 50));
    const qmv::RgbaImage image = gl.readPixels();
    const uint8_t* centre = &image.pixels[(25 * 50 + 25) * 4];
    std::printf("centre %d %d %d\n", centre[0], centre[1], centre[2]);
    return centre[0] == 0 && centre[1] == 0 && centre[2] == 255 ? 0 : 1;
}
