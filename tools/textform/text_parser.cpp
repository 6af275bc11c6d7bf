#include "text_parser.h"

#include "operand_fields.h"
#include "operand_text.h"

namespace qmv::textform {

namespace {

constexpr int64_t kMaxSize = 4194303;

// The operands of one command, kind by kind as the grammar lists them.
class OperandParser : public ValueReader {
public:
    using ValueReader::ValueReader;

    bool operand(OperandKind kind, const Encodings& enc, Command& command, Value& v);

    bool operands(const Encodings& enc, Command& command) {
        const std::string name(commandName(command.opcode));
        for (OperandKind kind : operandKinds(command.opcode)) {
            if (!isWritten(kind)) continue;
            const bool segments =
                kind == OperandKind::BezierDraw || kind == OperandKind::BezierFill;
            if (!segments && (in_.at(TokenKind::EndOfLine) || in_.at(TokenKind::EndOfText))) {
                return fail(in_.peek().at, name + " needs more operands");
            }
            command.operands.emplace_back();
            Value& v = command.operands.back();
            v.kind = kind;
            v.note.at = in_.peek().at;
            if (!operand(kind, enc, command, v)) return false;
        }
        return endOfStatement(name);
    }

private:
    bool bezier(const Encodings& enc, Command& command, Value& v);
    bool edges(const Encodings& enc, Command& command, Value& v);
    bool sizeList(Value& v);
    bool colorList(const Encodings& enc, Command& command, Value& v);
};

bool OperandParser::bezier(const Encodings& enc, Command& command, Value& v) {
    const int64_t m = command.operands[0].number;
    const bool filled = v.kind == OperandKind::BezierFill;
    Point running = pointValue(command.operands[1].point, enc.absPointSize);
    const uint64_t expected =
        filled ? static_cast<uint64_t>(m <= 1 ? 1 : m) : static_cast<uint64_t>(m);
    uint64_t seen = 0;
    while (in_.at(TokenKind::LeftBracket) || in_.at(TokenKind::Word)) {
        Segment segment;
        bool absolute = false;
        TextPos at;
        segment.note.at = in_.peek().at;
        if (!steps(enc.relPointSize, running, segment.steps, absolute, at)) return false;
        if (!annotations(segment.note, false, true, absolute ? nullptr : &segment.repeat))
            return false;
        const uint64_t count = stepCount(segment.steps);
        for (uint32_t copy = 0; copy < segment.repeat; ++copy) {
            const bool closing = filled && seen == expected - 1;
            if (seen >= expected) {
                return fail(at, "the figure has " + std::to_string(m) + " segments" +
                                    (filled && m <= 1 ? " (the closing one only)" : "") +
                                    ", and this one is more");
            }
            if (count != (closing ? 2u : 3u)) {
                return fail(
                    at, std::string(closing ? "the closing segment of a filled figure has 2 steps"
                                            : "a segment has 3 steps") +
                            ", not " + std::to_string(count));
            }
            ++seen;
        }
        // Later copies of a repeated segment move the running point too.
        for (uint32_t copy = 1; copy < segment.repeat; ++copy) {
            for (const StepRun& run : segment.steps) {
                const Point step = pointValue(run.step, enc.relPointSize);
                for (uint32_t i = 0; i < run.count; ++i) {
                    running.x += step.x;
                    running.y += step.y;
                }
            }
        }
        v.segments.push_back(std::move(segment));
    }
    if (seen != expected) {
        return fail(in_.peek().at, "the figure has " + std::to_string(m) + " segments" +
                                       (filled && m <= 1 ? " (the closing one only)" : "") +
                                       ", and only " + std::to_string(seen) + " are written");
    }
    return true;
}

bool OperandParser::edges(const Encodings& enc, Command& command, Value& v) {
    Point running = pointValue(command.operands[0].point, enc.absPointSize);
    if (!expect(TokenKind::LeftBracket, "a list of edges [size: [steps] ...]")) return false;
    while (!in_.at(TokenKind::RightBracket)) {
        if (in_.at(TokenKind::Comma) && !v.edges.empty()) in_.take();
        Edge edge;
        edge.note.at = in_.peek().at;
        int64_t size = 0;
        if (!integer(0, 255, "an edge's relative point size byte", size)) return false;
        edge.relPointSize = static_cast<int>(size);
        if (!expect(TokenKind::Colon, "':' after the edge's point size")) return false;
        bool absolute = false;
        TextPos at;
        if (!steps(edge.relPointSize, running, edge.steps, absolute, at)) return false;
        if (!annotations(edge.note, true, true)) return false;
        if (!checkSizeForm(static_cast<int64_t>(stepCount(edge.steps)), edge.note, false, at))
            return false;
        v.edges.push_back(std::move(edge));
        if (v.edges.size() > static_cast<size_t>(kMaxSize)) return fail(at, "too many edges");
    }
    in_.take();
    if (!annotations(v.note, true, true)) return false;
    return checkSizeForm(static_cast<int64_t>(v.edges.size()), v.note, false, v.note.at);
}

bool OperandParser::sizeList(Value& v) {
    const bool isSigned = v.kind == OperandKind::SignedSizeList;
    if (!expect(TokenKind::LeftBracket, "a list of numbers [...]")) return false;
    while (!in_.at(TokenKind::RightBracket)) {
        if (in_.at(TokenKind::Comma) && !v.sizes.empty()) in_.take();
        SizeItem item;
        item.note.at = in_.peek().at;
        if (!integer(isSigned ? -2097152 : 0, isSigned ? 2097151 : kMaxSize,
                     isSigned ? "a signed size" : "a size", item.value)) {
            return false;
        }
        if (!annotations(item.note, true, false)) return false;
        if (!checkSizeForm(item.value, item.note, isSigned, item.note.at)) return false;
        v.sizes.push_back(item);
        if (v.sizes.size() > static_cast<size_t>(kMaxSize))
            return fail(item.note.at, "too many numbers");
    }
    in_.take();
    if (!annotations(v.note, true, false)) return false;
    return checkSizeForm(static_cast<int64_t>(v.sizes.size()), v.note, false, v.note.at);
}

bool OperandParser::colorList(const Encodings& enc, Command& command, Value& v) {
    const bool palette = v.kind == OperandKind::Palette;
    if (!expect(TokenKind::LeftBracket,
                palette ? "a list of colours [...]" : "a list of pixels [...]")) {
        return false;
    }
    while (!in_.at(TokenKind::RightBracket)) {
        if (in_.at(TokenKind::Comma) && !v.colors.empty()) in_.take();
        ColorItem item;
        if (!color(enc.colorSize, enc.hasPalette, item.color, item.note.at, palette)) return false;
        if (!palette && !annotations(item.note, false, true)) return false;
        v.colors.push_back(item);
        if (palette && v.colors.size() > 256)
            return fail(item.note.at, "a palette holds at most 256 colours");
    }
    const TextPos closeAt = in_.take().at;
    if (palette) {
        if (v.colors.empty()) return fail(closeAt, "a palette holds at least one colour");
        return annotations(v.note, false, true);
    }
    const uint64_t expected = static_cast<uint64_t>(command.operands[0].number) *
                              static_cast<uint64_t>(command.operands[1].number);
    if (v.colors.size() != expected) {
        return fail(closeAt, "a " + std::to_string(command.operands[0].number) + " x " +
                                 std::to_string(command.operands[1].number) + " image has " +
                                 std::to_string(expected) + " pixels, not " +
                                 std::to_string(v.colors.size()));
    }
    return true;
}

bool OperandParser::operand(OperandKind kind, const Encodings& enc, Command& command, Value& v) {
    switch (kind) {
    case OperandKind::Byte:
        return integer(0, 255, "a byte", v.number);
    case OperandKind::U16:
        return integer(0, 65535, "a 16-bit number", v.number);
    case OperandKind::Pattern16:
        return integer(0, 65535, "a 16-bit pattern", v.number);
    case OperandKind::LayerFlags: {
        int64_t flags = 0;
        for (;;) {
            const Token& token = in_.peek();
            if (token.kind == TokenKind::Word && token.text == "visible") {
                flags |= 0x80;
                in_.take();
            } else if (token.kind == TokenKind::Word && token.text == "detectable") {
                flags |= 0x40;
                in_.take();
            } else if (token.kind == TokenKind::Word && token.text == "hidden") {
                in_.take();
            } else if (token.kind == TokenKind::Number) {
                int64_t bits = 0;
                if (!integer(0, 255, "layer flag bits", bits)) return false;
                flags |= bits;
            } else {
                return failHere(
                    "layer flags (visible, detectable, hidden or a number, joined by |)");
            }
            if (!in_.at(TokenKind::Bar)) break;
            in_.take();
        }
        v.number = flags;
        return true;
    }
    case OperandKind::Size:
        if (!integer(0, kMaxSize, "a size", v.number)) return false;
        return annotations(v.note, true, false) &&
               checkSizeForm(v.number, v.note, false, v.note.at);
    case OperandKind::SignedSize:
        if (!integer(-2097152, 2097151, "a signed size", v.number)) return false;
        return annotations(v.note, true, false) && checkSizeForm(v.number, v.note, true, v.note.at);
    case OperandKind::String: {
        if (in_.at(TokenKind::Bad)) return fail(in_.peek().at, in_.peek().text);
        Token token;
        if (!expect(TokenKind::String, "a text in double quotes", &token)) return false;
        v.text = std::move(token.text);
        if (static_cast<int64_t>(v.text.size()) > kMaxSize) {
            return fail(token.at, "a text holds at most 4194303 bytes");
        }
        return annotations(v.note, true, false) &&
               checkSizeForm(static_cast<int64_t>(v.text.size()), v.note, false, v.note.at);
    }
    case OperandKind::Abs:
    case OperandKind::Angle:
        return point(enc.absPointSize, v.point, v.note.at) && annotations(v.note, false, true);
    case OperandKind::Rel:
        return point(enc.relPointSize, v.point, v.note.at) && annotations(v.note, false, true);
    case OperandKind::Color:
        return color(enc.colorSize, enc.hasPalette, v.color, v.note.at) &&
               annotations(v.note, false, true);
    case OperandKind::Steps: {
        Point running = pointValue(command.operands[0].point, enc.absPointSize);
        bool absolute = false;
        TextPos at;
        if (!steps(enc.relPointSize, running, v.steps, absolute, at)) return false;
        return annotations(v.note, true, true) &&
               checkSizeForm(static_cast<int64_t>(stepCount(v.steps)), v.note, false, at);
    }
    case OperandKind::BezierDraw:
    case OperandKind::BezierFill:
        return bezier(enc, command, v);
    case OperandKind::Edges:
        return edges(enc, command, v);
    case OperandKind::SignedSizeList:
    case OperandKind::SizeList:
        return sizeList(v);
    case OperandKind::Palette:
    case OperandKind::Pixels:
        return colorList(enc, command, v);
    case OperandKind::Align:
        return true;
    }
    return true;
}

constexpr const char* kHeaderFields[] = {"Reserved",     "Version",    "Release",   "AbsPointSize",
                                         "RelPointSize", "Resolution", "LowerLeft", "UpperRight",
                                         "MM",           "Background"};

}  // namespace

bool parseHeaderFields(TokenStream& in, Header& header, Diagnostic& error) {
    OperandParser p(in, error);
    int* bytes[] = {&header.reserved, &header.version, &header.release, &header.absPointSize,
                    &header.relPointSize};
    PointField* points[] = {&header.resolution, &header.lowerLeft, &header.upperRight, &header.mm};
    for (int field = 0; field < 10; ++field) {
        const std::string name = kHeaderFields[field];
        if (!in.at(TokenKind::Word) || in.peek().text != name) {
            return p.failHere("the header field " + name);
        }
        in.take();
        if (field < 5) {
            int64_t value = 0;
            TextPos at;
            if (!p.integer(0, 255, "a byte", value, &at)) return false;
            if (field == 3 && value < 16) {
                return p.fail(at, "the reader refuses absolute point sizes below 16");
            }
            *bytes[field] = static_cast<int>(value);
        } else if (field < 9) {
            TextPos at;
            if (!p.point(header.absPointSize, *points[field - 5], at)) return false;
        } else {
            TextPos at;
            if (!p.color(6, false, header.background, at)) return false;
        }
        if (!p.endOfStatement(name)) return false;
    }
    return true;
}

bool parseOperands(TokenStream& in, const Encodings& encodings, Command& command,
                   Diagnostic& error) {
    OperandParser p(in, error);
    command.operands.clear();
    command.operands.reserve(operandKinds(command.opcode).size());
    return p.operands(encodings, command);
}

bool parseRawBytes(TokenStream& in, std::vector<uint8_t>& bytes, Diagnostic& error) {
    for (;;) {
        const Token token = in.take();
        if (token.kind == TokenKind::EndOfText) return true;
        if (token.kind == TokenKind::EndOfLine) continue;
        const bool wordLike = token.kind == TokenKind::Number || token.kind == TokenKind::Word;
        bool hex = wordLike && token.text.size() % 2 == 0;
        for (char ch : token.text) hex = hex && hexDigitValue(ch) >= 0;
        if (!hex) {
            error = {
                token.at.line, token.at.column,
                "a raw block holds hex bytes only (two digits each), found " + describe(token)};
            return false;
        }
        for (size_t i = 0; i < token.text.size(); i += 2) {
            bytes.push_back(static_cast<uint8_t>(hexDigitValue(token.text[i]) * 16 +
                                                 hexDigitValue(token.text[i + 1])));
        }
    }
}

}  // namespace qmv::textform
