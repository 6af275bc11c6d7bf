#include "command_decoder.h"

#include "operand_fields.h"
#include "qmv/format.h"

namespace qmv::textform {

namespace {

// Appends a step to the runs, merging it into the last run when equal.
void addStep(std::vector<StepRun>& runs, const PointField& step) {
    if (!runs.empty()) {
        StepRun& last = runs.back();
        if (last.step.x == step.x && last.step.y == step.y && last.count < UINT32_MAX) {
            ++last.count;
            return;
        }
    }
    runs.push_back({step, 1, {}});
}

// `count` chained steps then alignment, as the reader's point lists: a list
// stops early at the end of the data, which the text cannot say.
void readSteps(FieldCursor& in, int64_t count, int sizeBits, std::vector<StepRun>& runs) {
    for (int64_t i = 0; i < count && !in.stopped(); ++i) {
        if (in.atEnd()) {
            in.notePastEnd();
            break;
        }
        addStep(runs, readPoint(in, sizeBits));
    }
    in.align();
}

bool sameSegment(const Segment& a, const Segment& b) {
    if (a.steps.size() != b.steps.size() || a.note.filler != b.note.filler) return false;
    for (size_t i = 0; i < a.steps.size(); ++i) {
        if (a.steps[i].count != b.steps[i].count || a.steps[i].step.x != b.steps[i].step.x ||
            a.steps[i].step.y != b.steps[i].step.y) {
            return false;
        }
    }
    return true;
}

void readSegment(FieldCursor& in, int steps, int sizeBits, std::vector<Segment>& segments) {
    Segment segment;
    in.setOwner(&segment.note);
    readSteps(in, steps, sizeBits, segment.steps);
    // The segment ends aligned, so its skipped bits are final.
    in.settleFillers();
    in.setOwner(nullptr);
    if (!segments.empty() && segments.back().repeat < UINT32_MAX &&
        sameSegment(segments.back(), segment)) {
        ++segments.back().repeat;
        return;
    }
    segments.push_back(std::move(segment));
}

void readBezier(FieldCursor& in, int64_t m, bool filled, int sizeBits, Value& v) {
    const int64_t full = filled ? m - 1 : m;
    for (int64_t i = 0; i < full && !in.stopped(); ++i) {
        if (in.atEnd()) {
            in.notePastEnd();
            return;
        }
        readSegment(in, 3, sizeBits, v.segments);
    }
    if (filled && !in.stopped()) readSegment(in, 2, sizeBits, v.segments);
}

void readEdges(FieldCursor& in, Value& v) {
    int form = 0;
    const int64_t n = readSize(in, form);
    v.note.sizeForm = form;
    for (int64_t i = 0; i < n && !in.stopped(); ++i) {
        if (in.atEnd()) {
            in.notePastEnd();
            return;
        }
        Edge edge;
        in.setOwner(&edge.note);
        edge.relPointSize = in.take();
        int countForm = 0;
        const int64_t m = readSize(in, countForm);
        edge.note.sizeForm = countForm;
        readSteps(in, m, edge.relPointSize, edge.steps);
        in.settleFillers();
        in.setOwner(nullptr);
        v.edges.push_back(std::move(edge));
    }
}

void readSizeList(FieldCursor& in, bool isSigned, Value& v) {
    int form = 0;
    const int64_t n = readSize(in, form);
    v.note.sizeForm = form;
    for (int64_t i = 0; i < n && !in.stopped(); ++i) {
        if (in.atEnd()) {
            in.notePastEnd();
            return;
        }
        SizeItem item;
        item.value =
            isSigned ? readSignedSize(in, item.note.sizeForm) : readSize(in, item.note.sizeForm);
        v.sizes.push_back(item);
    }
}

void readPalette(FieldCursor& in, const Encodings& enc, Value& v) {
    const int count = in.take() + 1;
    for (int i = 0; i < count && !in.stopped(); ++i) {
        // The old palette is gone while the new one is read.
        v.colors.push_back({readColor(in, enc.colorSize, false), {}});
    }
    in.align();
}

void readPixels(FieldCursor& in, const Encodings& enc, int64_t width, int64_t height, Value& v) {
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxImagePixels) {
        in.fail("SetImage: Image too large.");
        return;
    }
    for (int64_t row = 0; row < height && !in.stopped(); ++row) {
        if (width > 0 && in.atEnd()) {
            in.notePastEnd();
            return;
        }
        for (int64_t column = 0; column < width && !in.stopped(); ++column) {
            ColorItem pixel;
            in.setOwner(&pixel.note);
            pixel.color = readColor(in, enc.colorSize, enc.hasPalette);
            in.align();
            in.settleFillers();
            in.setOwner(nullptr);
            v.colors.push_back(pixel);
        }
    }
}

void readString(FieldCursor& in, Value& v) {
    const int64_t length = readSize(in, v.note.sizeForm);
    for (int64_t i = 0; i < length && !in.stopped(); ++i) {
        if (in.atEnd()) {
            in.notePastEnd();
            return;
        }
        v.text += static_cast<char>(in.take());
    }
}

}  // namespace

bool decodeHeader(FieldCursor& in, Header& h) {
    for (uint8_t expected : kSceneMagic) {
        if (in.take() != expected || in.ranPastEnd()) {
            in.fail("Missing header.");
            return false;
        }
    }
    h.reserved = in.take();
    h.version = in.take();
    h.release = in.take();
    h.absPointSize = in.take();
    h.relPointSize = in.take();
    if (h.absPointSize < 16) {
        in.fail("getpoint: point is smaller than 16 bits and is an ABSPOINT.");
        return false;
    }
    for (PointField* p : {&h.resolution, &h.lowerLeft, &h.upperRight, &h.mm}) {
        *p = readPoint(in, h.absPointSize);
    }
    h.background = readColor(in, 6, false);
    in.align();
    return !in.stopped();
}

void decodeOperands(FieldCursor& in, const Encodings& enc, Command& command) {
    const auto kinds = operandKinds(command.opcode);
    command.operands.clear();
    // The cursor keeps pointers to the operands' annotations until the end.
    command.operands.reserve(kinds.size());
    for (OperandKind kind : kinds) {
        if (in.stopped()) break;
        if (kind == OperandKind::Align) {
            in.align();
            continue;
        }
        command.operands.emplace_back();
        Value& v = command.operands.back();
        v.kind = kind;
        in.setOwner(&v.note);
        switch (kind) {
        case OperandKind::Byte:
        case OperandKind::LayerFlags:
            v.number = in.take();
            break;
        case OperandKind::U16:
        case OperandKind::Pattern16:
            v.number = in.sixteenBits(false);
            break;
        case OperandKind::Size:
            v.number = readSize(in, v.note.sizeForm);
            break;
        case OperandKind::SignedSize:
            v.number = readSignedSize(in, v.note.sizeForm);
            break;
        case OperandKind::String:
            readString(in, v);
            break;
        case OperandKind::Abs:
        case OperandKind::Angle:
            v.point = readPoint(in, enc.absPointSize);
            break;
        case OperandKind::Rel:
            v.point = readPoint(in, enc.relPointSize);
            break;
        case OperandKind::Color:
            v.color = readColor(in, enc.colorSize, enc.hasPalette);
            in.align();
            break;
        case OperandKind::Steps: {
            const int64_t n = readSize(in, v.note.sizeForm);
            readSteps(in, n, enc.relPointSize, v.steps);
            break;
        }
        case OperandKind::BezierDraw:
        case OperandKind::BezierFill:
            in.setOwner(nullptr);
            readBezier(in, command.operands[0].number, kind == OperandKind::BezierFill,
                       enc.relPointSize, v);
            break;
        case OperandKind::Edges:
            readEdges(in, v);
            break;
        case OperandKind::SignedSizeList:
        case OperandKind::SizeList:
            readSizeList(in, kind == OperandKind::SignedSizeList, v);
            break;
        case OperandKind::Palette:
            readPalette(in, enc, v);
            break;
        case OperandKind::Pixels:
            in.setOwner(nullptr);
            readPixels(in, enc, command.operands[0].number, command.operands[1].number, v);
            break;
        case OperandKind::Align:
            break;
        }
    }
    in.setOwner(nullptr);
    in.settleAllFillers();
}

}  // namespace qmv::textform
