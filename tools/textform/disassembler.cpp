// Scene bytes to text. The walk follows the reader's: header, global layer,
// layers, shape bodies, and the first problem the reader records ends it.
// Every command's text is parsed and encoded again in the same state and
// compared with the command's bytes; what does not come back byte for byte,
// and everything after the point where the reader stops, is written as a
// raw byte block, so that any file comes back whole.
#include <cstdio>

#include "bit_cursor.h"
#include "command_decoder.h"
#include "command_encoder.h"
#include "field_writer.h"
#include "qmv/opcodes.h"
#include "qmv/textform/textform.h"
#include "scene_state.h"
#include "text_parser.h"
#include "text_writer.h"

namespace qmv::textform {

namespace {

constexpr const char* kGlobalLayerMessage =
    "Error in globallayer: Not supported function type in globallayer.";

// What the reader records when the next opcode may not stand where it is.
std::string readerMessage(Region region, Placement placement) {
    switch (region) {
    case Region::Global:
        if (placement == Placement::EndsNothing) {
            return "Shape: Shape called but function is not a BeginSetShape. Shape closed before "
                   "open?";
        }
        return kGlobalLayerMessage;
    case Region::ShapeBody:
        return "Shape: Shape does not close.";
    case Region::Layer:
        break;
    }
    return "Parse.c [layers]: File was not fully read. Command in file is neither a command, nor "
           "an attribute nor a layer.";
}

class Disassembler {
public:
    explicit Disassembler(std::span<const uint8_t> data) : data_(data), in_(data) {}

    std::string run();

private:
    void walk();
    // Decodes, writes and checks one command; false when the rest went raw.
    bool command(int opcode);
    // `lastBits` > 0: only that many high bits of the last byte belong to
    // the command (the next command reads the rest of that byte).
    bool sameBytes(const std::vector<uint8_t>& encoded, size_t start, size_t end,
                   int lastBits = 0) const;
    void rawFrom(size_t offset, const std::string& why);

    std::span<const uint8_t> data_;
    FieldCursor in_;
    SceneState state_;
    std::string out_;
    // Shapes and images are numbered in definition order; the text says so.
    int shapes_ = 0;
    int images_ = 0;
};

bool Disassembler::sameBytes(const std::vector<uint8_t>& encoded, size_t start, size_t end,
                             int lastBits) const {
    if (end > data_.size() || encoded.size() != end - start) return false;
    for (size_t i = 0; i < encoded.size(); ++i) {
        uint8_t mask = 0xFF;
        if (lastBits > 0 && i + 1 == encoded.size()) {
            mask = static_cast<uint8_t>(0xFF00u >> lastBits);
        }
        if (((encoded[i] ^ data_[start + i]) & mask) != 0) return false;
    }
    return true;
}

void Disassembler::rawFrom(size_t offset, const std::string& why) {
    if (!out_.empty() && !out_.ends_with("\n\n")) out_ += '\n';
    out_ += "# " + why + "\n";
    out_ += "# The rest of the file, from byte " + std::to_string(offset) + ", as it stands:\n";
    out_ += "Raw\n";
    char hex[4];
    for (size_t i = offset; i < data_.size(); ++i) {
        std::snprintf(hex, sizeof hex, "%02x", data_[i]);
        out_ += hex;
        const bool lineEnd = (i - offset) % 16 == 15 || i + 1 == data_.size();
        out_ += lineEnd ? '\n' : ' ';
    }
}

bool Disassembler::command(int opcode) {
    const size_t start = in_.offset();
    const std::string name(commandName(opcode));
    if (in_.inPartialByte()) {
        rawFrom(start,
                "Not canonical from here: this command's opcode is read from a byte whose "
                "bits the command before it has partly read.");
        return false;
    }
    const Encodings before = state_.now();
    const int bitPosition = in_.bitPosition();
    in_.take();
    Command c;
    c.opcode = opcode;
    decodeOperands(in_, before, c);
    if (!in_.failure().empty()) {
        rawFrom(start, "The reader stops at this " + name + " command: " + in_.failure());
        return false;
    }
    if (in_.ranPastEnd()) {
        rawFrom(start, "The file ends inside this " + name + " command.");
        return false;
    }
    const std::string objection = readerObjection(c, before);
    if (!objection.empty()) {
        rawFrom(start, "The reader stops at this " + name + " command: " + objection);
        return false;
    }

    const Region region = state_.region();
    const bool indented = (region == Region::ShapeBody && opcode != QMVR_EndSetShape) ||
                          (region == Region::Layer && opcode != QMVR_Layer);
    std::string note;
    if (opcode == QMVR_BeginSetShape) note = "shape " + std::to_string(shapes_);
    if (opcode == QMVR_SetImage) note = "image " + std::to_string(images_);
    const std::string text = formatCommand(c, before, indented ? "  " : "", note);

    // The text must give back exactly this command's bytes.
    TokenStream again(text);
    again.take();  // the name
    Command parsed;
    parsed.opcode = opcode;
    Diagnostic problem;
    FieldWriter check = FieldWriter::continuingAt(bitPosition);
    const bool partial = in_.inPartialByte();
    const size_t end = in_.offset() + (partial ? 1 : 0);
    if (!parseOperands(again, before, parsed, problem) ||
        !encodeCommand(check, before, parsed, problem) ||
        !sameBytes(check.bytes(), start, end, partial ? in_.bitPosition() : 0)) {
        const std::string why =
            problem.message.empty() ? "its text does not give back its bytes" : problem.message;
        rawFrom(start, "Not canonical from here: this " + name +
                           " command cannot be written as text (" + why + ").");
        return false;
    }
    if (opcode == QMVR_Layer && !out_.ends_with("\n\n")) out_ += '\n';
    out_ += text;
    state_.apply(c);
    if (opcode == QMVR_EndSetShape) ++shapes_;
    if (opcode == QMVR_SetImage) ++images_;
    return true;
}

void Disassembler::walk() {
    for (;;) {
        if (in_.atEnd()) {
            if (state_.region() == Region::Global) {
                out_ +=
                    "# The scene has no layer: the reader stops at the end of the data with \"" +
                    std::string(kGlobalLayerMessage) + "\"\n";
            } else if (state_.region() == Region::ShapeBody) {
                rawFrom(in_.offset(),
                        "The file ends inside a shape definition: the reader stops "
                        "with \"Shape: Shape does not close.\"");
            }
            return;
        }
        const int opcode = data_[in_.offset()];
        const Placement placement = state_.placement(opcode);
        if (placement != Placement::Accepted) {
            rawFrom(in_.offset(),
                    "The reader stops here: " + readerMessage(state_.region(), placement));
            return;
        }
        if (!command(opcode)) return;
    }
}

std::string Disassembler::run() {
    Header header;
    if (!decodeHeader(in_, header)) {
        rawFrom(0, in_.failure().empty() ? "The file ends inside the header."
                                         : "The reader stops in the header: " + in_.failure());
        return std::move(out_);
    }
    const std::string text = formatHeader(header);
    TokenStream again(text);
    again.take();
    again.take();
    Header parsed;
    Diagnostic problem;
    FieldWriter check;
    if (!parseHeaderFields(again, parsed, problem) || !encodeHeader(check, parsed, problem) ||
        !sameBytes(check.bytes(), 0, in_.offset())) {
        rawFrom(0, "Not canonical: the header cannot be written as text.");
        return std::move(out_);
    }
    out_ = text + "\n";
    state_.startAfterHeader(header);
    walk();
    return std::move(out_);
}

}  // namespace

std::string disassembleBytes(std::span<const uint8_t> bytes) { return Disassembler(bytes).run(); }

}  // namespace qmv::textform
