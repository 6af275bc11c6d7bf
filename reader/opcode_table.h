// The driver's view of the next opcode, and the handler of each (the classes
// are the format's, qmv/opcodes.h).
#pragma once

#include "qmv/opcodes.h"

namespace qmv {

int peekOpcode();
int takeOpcode();
// True when the data has not ended, no error is recorded and the next
// opcode's class is `cls`.
bool nextOpcodeHasClass(OpcodeClass cls);
void dispatchOpcode(int opcode);

}  // namespace qmv
