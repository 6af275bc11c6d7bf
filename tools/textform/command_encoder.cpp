#include "command_encoder.h"

#include "operand_fields.h"
#include "qmv/format.h"

namespace qmv::textform {

namespace {

class Encoder {
public:
    Encoder(FieldWriter& out, Diagnostic& error) : out_(out), error_(error) {}

    bool ok() const { return ok_; }

    void fail(const TextPos& at, const std::string& problem) {
        if (!ok_ || problem.empty()) return;
        ok_ = false;
        error_.line = at.line;
        error_.column = at.column;
        error_.message = problem;
    }

    void byte(int64_t value, const TextPos& at) {
        if (!out_.byte(static_cast<uint8_t>(value))) {
            fail(at,
                 "the reader takes this byte whole from the byte that holds the bits just "
                 "before it, and the two disagree");
        }
    }

    void u16(int64_t value, const TextPos& at) {
        byte(value >> 8, at);
        byte(value & 0xFF, at);
    }

    void size(int64_t value, int form, const TextPos& at) {
        fail(at, writeSize(out_, value, form));
    }
    void signedSize(int64_t value, int form, const TextPos& at) {
        fail(at, writeSignedSize(out_, value, form));
    }

    void point(const PointField& p, int sizeBits, const TextPos& at) {
        fail(at, writePoint(out_, sizeBits, p));
    }

    void color(const ColorLevels& c, int colorSize, const TextPos& at) {
        fail(at, writeColor(out_, colorSize, c));
    }

    void steps(const std::vector<StepRun>& runs, int sizeBits) {
        for (const StepRun& run : runs) {
            for (uint32_t i = 0; i < run.count && ok_; ++i) point(run.step, sizeBits, run.at);
        }
        out_.align();
    }

    void operand(const Value& v, const Encodings& enc);

private:
    FieldWriter& out_;
    Diagnostic& error_;
    bool ok_ = true;
};

void Encoder::operand(const Value& v, const Encodings& enc) {
    const TextPos& at = v.note.at;
    out_.setOwner(&v.note);
    switch (v.kind) {
    case OperandKind::Byte:
    case OperandKind::LayerFlags:
        byte(v.number, at);
        break;
    case OperandKind::U16:
    case OperandKind::Pattern16:
        u16(v.number, at);
        break;
    case OperandKind::Size:
        size(v.number, v.note.sizeForm, at);
        break;
    case OperandKind::SignedSize:
        signedSize(v.number, v.note.sizeForm, at);
        break;
    case OperandKind::String:
        size(static_cast<int64_t>(v.text.size()), v.note.sizeForm, at);
        for (char ch : v.text) byte(static_cast<unsigned char>(ch), at);
        break;
    case OperandKind::Abs:
    case OperandKind::Angle:
        point(v.point, enc.absPointSize, at);
        break;
    case OperandKind::Rel:
        point(v.point, enc.relPointSize, at);
        break;
    case OperandKind::Color:
        color(v.color, enc.colorSize, at);
        out_.align();
        break;
    case OperandKind::Steps:
        size(static_cast<int64_t>(stepCount(v.steps)), v.note.sizeForm, at);
        steps(v.steps, enc.relPointSize);
        break;
    case OperandKind::BezierDraw:
    case OperandKind::BezierFill:
        // Each copy of a repeated segment has the segment's filler: the
        // copies are settled one by one (a segment ends aligned).
        for (const Segment& segment : v.segments) {
            for (uint32_t i = 0; i < segment.repeat && ok_; ++i) {
                out_.setOwner(&segment.note);
                steps(segment.steps, enc.relPointSize);
                out_.setOwner(nullptr);
                if (ok_ && !out_.settleFillers(error_)) ok_ = false;
            }
        }
        break;
    case OperandKind::Edges:
        size(static_cast<int64_t>(v.edges.size()), v.note.sizeForm, at);
        for (const Edge& edge : v.edges) {
            out_.setOwner(&edge.note);
            byte(edge.relPointSize, edge.note.at);
            size(static_cast<int64_t>(stepCount(edge.steps)), edge.note.sizeForm, edge.note.at);
            steps(edge.steps, edge.relPointSize);
        }
        break;
    case OperandKind::SignedSizeList:
    case OperandKind::SizeList:
        size(static_cast<int64_t>(v.sizes.size()), v.note.sizeForm, at);
        for (const SizeItem& item : v.sizes) {
            if (v.kind == OperandKind::SizeList) {
                size(item.value, item.note.sizeForm, item.note.at);
            } else {
                signedSize(item.value, item.note.sizeForm, item.note.at);
            }
        }
        break;
    case OperandKind::Palette:
        byte(static_cast<int64_t>(v.colors.size()) - 1, at);
        for (const ColorItem& item : v.colors) color(item.color, enc.colorSize, item.note.at);
        out_.align();
        break;
    case OperandKind::Pixels:
        for (const ColorItem& item : v.colors) {
            out_.setOwner(&item.note);
            color(item.color, enc.colorSize, item.note.at);
            out_.align();
        }
        break;
    case OperandKind::Align:
        break;
    }
}

}  // namespace

bool encodeHeader(FieldWriter& out, const Header& h, Diagnostic& error) {
    Encoder e(out, error);
    for (uint8_t b : kSceneMagic) e.byte(b, {});
    for (int value : {h.reserved, h.version, h.release, h.absPointSize, h.relPointSize}) {
        e.byte(value, {});
    }
    for (const PointField* p : {&h.resolution, &h.lowerLeft, &h.upperRight, &h.mm}) {
        e.point(*p, h.absPointSize, {});
    }
    e.color(h.background, 6, {});
    out.align();
    return e.ok();
}

bool encodeCommand(FieldWriter& out, const Encodings& enc, const Command& command,
                   Diagnostic& error) {
    Encoder e(out, error);
    out.setOwner(nullptr);
    e.byte(command.opcode, command.at);
    size_t next = 0;
    for (OperandKind kind : operandKinds(command.opcode)) {
        if (!e.ok()) break;
        if (kind == OperandKind::Align) {
            out.align();
            continue;
        }
        e.operand(command.operands[next++], enc);
    }
    out.setOwner(nullptr);
    if (!e.ok()) return false;
    return out.settleFillers(error);
}

}  // namespace qmv::textform
