// The reader's handler for each opcode of the format's list.
#include "opcode_table.h"

#include "bit_reader.h"
#include "handlers.h"

namespace qmv {

namespace {

using Handler = void (*)();

// The one opcode without a handler: it has no class, so no file reaches it.
constexpr Handler MakeSetMIMEImage = nullptr;

struct HandlerTable {
    Handler at[256] = {};
    constexpr HandlerTable() {
#define QMV_OPCODE_HANDLER(name, number, cls) at[number] = Make##name;
        QMV_OPCODES(QMV_OPCODE_HANDLER)
#undef QMV_OPCODE_HANDLER
    }
};
constexpr HandlerTable kHandlers{};

}  // namespace

int peekOpcode() { return in().peek(); }

int takeOpcode() { return in().take(); }

bool nextOpcodeHasClass(OpcodeClass cls) {
    int opcode = in().peekByte();
    if (opcode < 0) return false;
    return opcodeClass(opcode) == cls && cls != OpcodeClass::None;
}

void dispatchOpcode(int opcode) {
    const Handler handler = kHandlers.at[opcode & 0xFF];
    if (handler != nullptr) handler();
}

}  // namespace qmv
