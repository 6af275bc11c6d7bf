// Handlers of edge sets and faces: definitions, and the commands that draw
// and fill them by number.
#include <memory>

#include "bit_reader.h"
#include "decoders.h"
#include "handlers.h"
#include "input_limits.h"

namespace qmv {

namespace {

ReaderContext& ctx() { return *g_reader.ctx; }

}  // namespace

void MakeSetEdge() {
    ReaderContext& c = ctx();
    auto set = std::make_unique<EdgeSet>(getEdgeSet());
    if (c.gs.edgeList == nullptr) {
        c.edgeLists.push_back(std::make_unique<EdgeList>());
        c.gs.edgeList = c.edgeLists.back().get();
    }
    EdgeList& list = *c.gs.edgeList;
    list.sets.push_back(std::move(set));
    if (c.gs.globalLayerDone == 1 && list.layerMark < 0) {
        list.layerMark = static_cast<int>(list.sets.size()) - 1;
    }
}

void MakeSetFace() {
    ReaderContext& c = ctx();
    auto face = std::make_unique<Face>(getFace());
    if (!takeDecoded(c, face->first.size() + face->second.size() + 1)) {
        readerError("SetFace: Face too large.");
    }
    if (c.gs.faceList == nullptr) {
        c.faceLists.push_back(std::make_unique<FaceList>());
        c.gs.faceList = c.faceLists.back().get();
    }
    c.gs.faceList->faces.push_back(std::move(face));
}

void MakeDrawEdge() {
    int e = getSignedSize();
    ctx().gs.currentEdge = e;
    invokeChecked<QMVR_drawEdge>("Error returned by Callback called for DrawEdge", e);
    ctx().gs.currentEdge = -1;
}

void MakeDrawEdgeRange() {
    int a = getSignedSize();
    int b = getSignedSize();
    for (int e = a; e <= b; ++e) {
        if (ctx().rangeDrawsLeft == 0) {
            readerError("DrawEdgeRange: Too many edges drawn.");
            break;
        }
        --ctx().rangeDrawsLeft;
        ctx().gs.currentEdge = e;
        invokeChecked<QMVR_drawEdge>("Error returned by Callback called for DrawEdge", e);
        ctx().gs.currentEdge = -1;
    }
}

void MakeFillFace() {
    int f = getsize();
    ctx().gs.currentFace = f;
    invokeChecked<QMVR_fillFace>("Error returned by Callback called for FillFace", f);
    ctx().gs.currentFace = -1;
}

}  // namespace qmv
