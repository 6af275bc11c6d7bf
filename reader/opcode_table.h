// The OpcodeTable: per opcode a class letter and a handler, and the driver's
// view of the next opcode.
#pragma once

#include "qmv/opcodes.h"

namespace qmv {

void fillOpcodeTable();

int peekOpcode();
int takeOpcode();
// True when the data has not ended, no error is recorded and the next
// opcode's class is `cls`.
bool nextOpcodeHasClass(OpcodeClass cls);
void dispatchOpcode(int opcode);

}  // namespace qmv
