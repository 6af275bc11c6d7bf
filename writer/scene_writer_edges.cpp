// Edge sets, faces, and the commands that draw them by number.
#include "qmv/writer/scene_writer.h"

namespace qmv {

// Each edge names the relative point size of its own steps; the size in
// force outside the command is untouched, as in the reader.
void SceneWriter::setEdge(const EdgeSetSteps& edgeSet) {
    beginCommand(QMVR_SetEdge);
    absPoint(edgeSet.start, "start");
    operands_.size(static_cast<int64_t>(edgeSet.edges.size()), "edge count");
    for (size_t i = 0; i < edgeSet.edges.size(); ++i) {
        const EdgeSteps& edge = edgeSet.edges[i];
        const std::string name = "edge " + std::to_string(i);
        operands_.byte(edge.relPointSize, name + " relative point size");
        operands_.size(static_cast<int64_t>(edge.steps.size()), name + " step count");
        operands_.stepList(edge.steps, edge.relPointSize, name + " step");
    }
}

void SceneWriter::setFace(const std::vector<int64_t>& first, const std::vector<int64_t>& second) {
    beginCommand(QMVR_SetFace);
    operands_.size(static_cast<int64_t>(first.size()), "first count");
    for (int64_t number : first) operands_.signedSize(number, "first list");
    operands_.size(static_cast<int64_t>(second.size()), "second count");
    for (int64_t number : second) operands_.size(number, "second list");
}

void SceneWriter::drawEdge(int64_t edgeSet) {
    beginCommand(QMVR_DrawEdge);
    operands_.signedSize(edgeSet, "edge set");
}

void SceneWriter::drawEdgeRange(int64_t first, int64_t last) {
    beginCommand(QMVR_DrawEdgeRange);
    operands_.signedSize(first, "first edge set");
    operands_.signedSize(last, "last edge set");
}

void SceneWriter::fillFace(int64_t face) {
    beginCommand(QMVR_FillFace);
    operands_.size(face, "face");
}

}  // namespace qmv
