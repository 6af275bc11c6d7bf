// The reader's handler for each opcode of the format's list.
#include "opcode_table.h"

#include "bit_reader.h"
#include "handlers.h"

namespace qmv {

namespace {

// The one opcode without a handler: it has no class, so no file reaches it.
constexpr Handler MakeSetMIMEImage = nullptr;

}  // namespace

void fillOpcodeTable() {
    for (OpcodeEntry& entry : g_reader.opcodes) entry = {};
#define QMV_OPCODE_HANDLER(name, number, cls) \
    g_reader.opcodes[number] = {OpcodeClass::cls, Make##name};
    QMV_OPCODES(QMV_OPCODE_HANDLER)
#undef QMV_OPCODE_HANDLER
}

int peekOpcode() { return in().peek(); }

int takeOpcode() { return in().take(); }

bool nextOpcodeHasClass(OpcodeClass cls) {
    int opcode = in().peekByte();
    if (opcode < 0) return false;
    return g_reader.opcodes[opcode].cls == cls && cls != OpcodeClass::None;
}

void dispatchOpcode(int opcode) {
    Handler handler = g_reader.opcodes[opcode & 0xFF].handler;
    if (handler != nullptr) handler();
}

}  // namespace qmv
