// The cheapest possible reader client: every callback slot holds a function
// that does nothing and returns 1, so a timed parse measures the reader.
#pragma once

namespace qmv::bench {

// Registers the no-op functions in every slot the reader defines.
void registerNoopCallbacks();

}  // namespace qmv::bench
