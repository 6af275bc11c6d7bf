// Text to scene bytes: the header block, then one command a statement, each
// checked where it stands (the classes of the reader's walk), parsed in the
// encodings in force and written; an optional raw block ends the text.
#include <cctype>

#include "command_encoder.h"
#include "field_writer.h"
#include "grammar.h"
#include "qmv/opcodes.h"
#include "qmv/textform/textform.h"
#include "scene_state.h"
#include "text_parser.h"

namespace qmv::textform {

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

std::string unknownCommand(const std::string& name) {
    std::string message = "unknown command '" + name + "'";
    for (int opcode = 0; opcode < 256; ++opcode) {
        const std::string_view known = commandName(opcode);
        if (!known.empty() && lowered(known) == lowered(name)) {
            return message + " (names are case-sensitive: " + std::string(known) + ")";
        }
    }
    return message;
}

std::string placementProblem(Placement placement, const std::string& name) {
    switch (placement) {
    case Placement::Accepted:
        return {};
    case Placement::EndsNothing:
        return "EndSetShape without a BeginSetShape before it";
    case Placement::NotInGlobal:
        return name +
               " belongs in a layer or a shape definition, not in the global layer (start a Layer "
               "first)";
    case Placement::OnlyInGlobal:
        return name +
               " belongs in the global layer, before the first Layer and outside shape definitions";
    case Placement::LayerInShape:
        return "a Layer cannot begin inside a shape definition (EndSetShape first)";
    case Placement::ShapeInShape:
        return "shape definitions do not nest (EndSetShape first)";
    case Placement::Undefined:
        return name + " is accepted nowhere in a scene: the reader stops at it";
    }
    return {};
}

class Assembler {
public:
    explicit Assembler(std::string_view text) : in_(text) {}

    AssembleResult run();

private:
    bool fail(const TextPos& at, const std::string& message) {
        result_.error = {at.line, at.column, message};
        return false;
    }
    bool endOfLine(const char* what);
    bool header();
    bool raw();
    bool command();

    TokenStream in_;
    FieldWriter out_;
    SceneState state_;
    AssembleResult result_;
    TextPos openShapeAt_;
    bool sawRaw_ = false;
};

bool Assembler::endOfLine(const char* what) {
    if (in_.at(TokenKind::EndOfLine)) {
        in_.take();
        return true;
    }
    if (in_.at(TokenKind::EndOfText)) return true;
    return fail(in_.peek().at, std::string("nothing may follow ") + what + " on its line");
}

bool Assembler::header() {
    in_.take();
    if (!endOfLine("Header")) return false;
    Header h;
    if (!parseHeaderFields(in_, h, result_.error)) return false;
    if (!encodeHeader(out_, h, result_.error)) return false;
    state_.startAfterHeader(h);
    return true;
}

bool Assembler::raw() {
    const TextPos at = in_.take().at;
    sawRaw_ = true;
    if (!endOfLine("Raw")) return false;
    std::vector<uint8_t> bytes;
    if (!parseRawBytes(in_, bytes, result_.error)) return false;
    // A whole-byte write: the first byte may complete a byte that the last
    // command left partly written, as the reader would read it.
    for (uint8_t b : bytes) {
        if (!out_.byte(b)) {
            return fail(at,
                        "the first raw byte disagrees with the bits the command before it "
                        "left in that byte");
        }
    }
    return true;
}

bool Assembler::command() {
    const Token nameToken = in_.peek();
    if (nameToken.kind == TokenKind::Bad) return fail(nameToken.at, nameToken.text);
    if (nameToken.kind != TokenKind::Word) {
        return fail(nameToken.at, "expected a command name, found '" + nameToken.text + "'");
    }
    if (nameToken.text == "Raw") return raw();
    if (nameToken.text == "Header")
        return fail(nameToken.at, "the header comes once, at the start");
    const int opcode = opcodeForName(nameToken.text);
    if (opcode < 0) return fail(nameToken.at, unknownCommand(nameToken.text));
    const std::string problem = placementProblem(state_.placement(opcode), nameToken.text);
    if (!problem.empty()) return fail(nameToken.at, problem);
    in_.take();

    Command c;
    c.opcode = opcode;
    c.at = nameToken.at;
    const Encodings before = state_.now();
    if (!parseOperands(in_, before, c, result_.error)) return false;
    const std::string objection = readerObjection(c, before);
    if (!objection.empty()) return fail(c.at, "the reader stops at this command: " + objection);
    if (!encodeCommand(out_, before, c, result_.error)) return false;
    if (opcode == QMVR_BeginSetShape) openShapeAt_ = c.at;
    state_.apply(c);
    return true;
}

AssembleResult Assembler::run() {
    const Token& first = in_.peek();
    bool ok = true;
    if (first.kind == TokenKind::Word && first.text == "Header") {
        ok = header();
    } else if (first.kind == TokenKind::Word && first.text == "Raw") {
        ok = raw();
    } else if (first.kind == TokenKind::EndOfText) {
        ok = fail(first.at, "the text is empty: a scene text starts with Header (or a Raw block)");
    } else {
        ok = fail(first.at, "a scene text starts with Header (or a Raw block)");
    }
    while (ok && !sawRaw_ && !in_.at(TokenKind::EndOfText)) ok = command();
    if (ok && !sawRaw_ && state_.region() == Region::ShapeBody) {
        ok = fail(openShapeAt_, "this shape definition has no EndSetShape");
    }
    result_.ok = ok;
    if (ok) result_.bytes = out_.bytes();
    return std::move(result_);
}

}  // namespace

AssembleResult assembleText(std::string_view text) { return Assembler(text).run(); }

}  // namespace qmv::textform
