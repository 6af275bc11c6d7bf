// The default output of qmv-dump: a short account of a parse for people.
#pragma once

#include <cstdint>
#include <string>

#include "output_buffer.h"
#include "qmv/reader.h"

namespace qmv {

void writeSummary(OutputBuffer& out, const ReaderContext* ctx, const std::string& path,
                  int64_t callbackCount);

}  // namespace qmv
