#include "text_writer.h"

#include <cmath>
#include <cstdio>

#include "operand_fields.h"
#include "operand_text.h"
#include "qmv/format.h"
#include "qmv/opcodes.h"

namespace qmv::textform {

namespace {

// Comments list at most this many absolute points of a list.
constexpr uint64_t kCommentPoints = 32;
// Images with more pixels are written one row per line.
constexpr int64_t kPixelsOnOneLine = 16;

std::string hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string sizeNote(const Annotation& note, int shortest) {
    if (note.sizeForm == 0 || note.sizeForm == shortest) return {};
    return "@" + std::to_string(note.sizeForm);
}

std::string fillerNote(const Annotation& note) {
    return note.filler == 0 ? std::string() : "~" + hex(note.filler);
}

std::string layerFlags(int64_t flags) {
    std::string out;
    auto add = [&out](const std::string& word) {
        if (!out.empty()) out += '|';
        out += word;
    };
    if (flags & 0x80) add("visible");
    if (flags & 0x40) add("detectable");
    if (flags & 0x3F) add(hex(static_cast<uint64_t>(flags & 0x3F)));
    return out.empty() ? "hidden" : out;
}

// The angle the reader makes of a direction, in degrees, to four places.
std::string degrees(const PointField& direction, int absPointSize) {
    const Point p = pointValue(direction, absPointSize);
    double angle = 0.0;
    if (p.x != 0.0 || p.y != 0.0) {
        angle = std::acos(p.x / std::sqrt(p.x * p.x + p.y * p.y));
        if (p.y < 0.0) angle = kFormatFullTurn - angle;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.4f", angle * 180.0 / 3.14159265358979323846);
    std::string out = text;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

// Collects the absolute points that chained steps reach.
class PointTrail {
public:
    explicit PointTrail(Point start) : running_(start) {}

    void walk(const std::vector<StepRun>& runs, int sizeBits) {
        for (const StepRun& run : runs) {
            const Point step = pointValue(run.step, sizeBits);
            for (uint32_t i = 0; i < run.count; ++i) {
                running_.x += step.x;
                running_.y += step.y;
                if (count_ < kCommentPoints) {
                    text_ += text_.empty() ? "" : " ";
                    text_ += "(" + formatNumber(running_.x) + ", " + formatNumber(running_.y) + ")";
                }
                ++count_;
            }
        }
    }

    std::string comment() const {
        if (count_ == 0) return {};
        if (count_ <= kCommentPoints) return text_;
        return text_ + " ... " + std::to_string(count_) + " points, the last (" +
               formatNumber(running_.x) + ", " + formatNumber(running_.y) + ")";
    }

private:
    Point running_;
    uint64_t count_ = 0;
    std::string text_;
};

std::string stepList(const std::vector<StepRun>& runs, int sizeBits) {
    std::string out = "[";
    bool first = true;
    for (const StepRun& run : runs) {
        if (!first) out += ' ';
        first = false;
        out += formatPoint(run.step, sizeBits);
        if (run.count > 1) out += "*" + std::to_string(run.count);
    }
    return out + "]";
}

class CommandText {
public:
    CommandText(const Command& c, const Encodings& enc, std::string_view indent,
                std::string_view note)
        : command_(c), enc_(enc), indent_(indent), comment_(note) {}

    std::string build();

private:
    void operand(const Value& v);

    const Command& command_;
    const Encodings& enc_;
    std::string_view indent_;
    std::string line_;
    std::string comment_;
    std::vector<std::string> angles_;
};

void CommandText::operand(const Value& v) {
    line_ += ' ';
    switch (v.kind) {
    case OperandKind::Byte:
        line_ += std::to_string(v.number);
        break;
    case OperandKind::U16:
        line_ += std::to_string(v.number);
        break;
    case OperandKind::Pattern16: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04llx", static_cast<unsigned long long>(v.number));
        line_ += text;
        break;
    }
    case OperandKind::LayerFlags:
        line_ += layerFlags(v.number);
        break;
    case OperandKind::Size:
        line_ += std::to_string(v.number) + sizeNote(v.note, shortestSizeForm(v.number));
        break;
    case OperandKind::SignedSize:
        line_ += std::to_string(v.number) + sizeNote(v.note, shortestSignedSizeForm(v.number));
        break;
    case OperandKind::String:
        line_ += formatString(v.text) +
                 sizeNote(v.note, shortestSizeForm(static_cast<int64_t>(v.text.size())));
        break;
    case OperandKind::Abs:
    case OperandKind::Angle:
        line_ += formatPoint(v.point, enc_.absPointSize);
        if (v.kind == OperandKind::Angle) angles_.push_back(degrees(v.point, enc_.absPointSize));
        break;
    case OperandKind::Rel:
        line_ += formatPoint(v.point, enc_.relPointSize);
        break;
    case OperandKind::Color:
        line_ += formatColor(v.color, enc_.colorSize);
        break;
    case OperandKind::Steps: {
        line_ += stepList(v.steps, enc_.relPointSize) +
                 sizeNote(v.note, shortestSizeForm(static_cast<int64_t>(stepCount(v.steps))));
        PointTrail trail(pointValue(command_.operands[0].point, enc_.absPointSize));
        trail.walk(v.steps, enc_.relPointSize);
        comment_ = trail.comment();
        break;
    }
    case OperandKind::BezierDraw:
    case OperandKind::BezierFill: {
        PointTrail trail(pointValue(command_.operands[1].point, enc_.absPointSize));
        bool first = true;
        for (const Segment& segment : v.segments) {
            if (!first) line_ += ' ';
            first = false;
            line_ += stepList(segment.steps, enc_.relPointSize) + fillerNote(segment.note);
            if (segment.repeat > 1) line_ += "*" + std::to_string(segment.repeat);
            for (uint32_t i = 0; i < segment.repeat; ++i)
                trail.walk(segment.steps, enc_.relPointSize);
        }
        comment_ = trail.comment();
        if (v.segments.empty()) line_.pop_back();  // no segment: no separating space
        return;
    }
    case OperandKind::Edges: {
        PointTrail trail(pointValue(command_.operands[0].point, enc_.absPointSize));
        line_ += '[';
        bool first = true;
        for (const Edge& edge : v.edges) {
            if (!first) line_ += ' ';
            first = false;
            line_ +=
                std::to_string(edge.relPointSize) + ": " + stepList(edge.steps, edge.relPointSize) +
                sizeNote(edge.note, shortestSizeForm(static_cast<int64_t>(stepCount(edge.steps)))) +
                fillerNote(edge.note);
            trail.walk(edge.steps, edge.relPointSize);
        }
        line_ += ']' + sizeNote(v.note, shortestSizeForm(static_cast<int64_t>(v.edges.size())));
        comment_ = trail.comment();
        break;
    }
    case OperandKind::SignedSizeList:
    case OperandKind::SizeList: {
        line_ += '[';
        bool first = true;
        for (const SizeItem& item : v.sizes) {
            if (!first) line_ += ' ';
            first = false;
            const int shortest = v.kind == OperandKind::SizeList
                                     ? shortestSizeForm(item.value)
                                     : shortestSignedSizeForm(item.value);
            line_ += std::to_string(item.value) + sizeNote(item.note, shortest);
        }
        line_ += ']' + sizeNote(v.note, shortestSizeForm(static_cast<int64_t>(v.sizes.size())));
        break;
    }
    case OperandKind::Palette: {
        line_ += '[';
        bool first = true;
        for (const ColorItem& item : v.colors) {
            if (!first) line_ += ' ';
            first = false;
            line_ += formatColor(item.color, enc_.colorSize);
        }
        line_ += ']';
        break;
    }
    case OperandKind::Pixels: {
        const int64_t width = command_.operands[0].number;
        const bool rows = static_cast<int64_t>(v.colors.size()) > kPixelsOnOneLine;
        line_ += '[';
        for (size_t i = 0; i < v.colors.size(); ++i) {
            if (rows && width > 0 && static_cast<int64_t>(i) % width == 0) {
                line_ += '\n';
                line_ += indent_;
                line_ += "  ";
            } else if (i > 0) {
                line_ += ' ';
            }
            line_ += formatColor(v.colors[i].color, enc_.colorSize) + fillerNote(v.colors[i].note);
        }
        if (rows) {
            line_ += '\n';
            line_ += indent_;
        }
        line_ += ']';
        return;
    }
    case OperandKind::Align:
        break;
    }
    line_ += fillerNote(v.note);
}

std::string CommandText::build() {
    line_ = std::string(indent_) + std::string(commandName(command_.opcode));
    for (const Value& v : command_.operands) operand(v);
    if (angles_.size() == 2 &&
        (command_.opcode == QMVR_DrawArc || command_.opcode == QMVR_FillArc)) {
        comment_ = "from " + angles_[0] + " to " + angles_[1] + " degrees";
    } else if (angles_.size() == 1) {
        comment_ = "at " + angles_[0] + " degrees";
    }
    if (!comment_.empty()) line_ += "  # " + comment_;
    return line_ + '\n';
}

}  // namespace

std::string formatHeader(const Header& h) {
    std::string out = "Header\n";
    out += "Reserved " + std::to_string(h.reserved) + '\n';
    out += "Version " + std::to_string(h.version) + '\n';
    out += "Release " + std::to_string(h.release) + '\n';
    out += "AbsPointSize " + std::to_string(h.absPointSize) + '\n';
    out += "RelPointSize " + std::to_string(h.relPointSize) + '\n';
    out += "Resolution " + formatPoint(h.resolution, h.absPointSize) + '\n';
    out += "LowerLeft " + formatPoint(h.lowerLeft, h.absPointSize) + '\n';
    out += "UpperRight " + formatPoint(h.upperRight, h.absPointSize) + '\n';
    out += "MM " + formatPoint(h.mm, h.absPointSize) + '\n';
    out += "Background " + formatColor(h.background, 6) + '\n';
    return out;
}

std::string formatCommand(const Command& command, const Encodings& encodings,
                          std::string_view indent, std::string_view note) {
    return CommandText(command, encodings, indent, note).build();
}

}  // namespace qmv::textform
