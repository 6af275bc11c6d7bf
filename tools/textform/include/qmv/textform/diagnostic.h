// A problem found in a text: where (1-based line and column, columns counted
// in bytes) and what.
#pragma once

#include <string>

namespace qmv::textform {

struct Diagnostic {
    int line = 0;
    int column = 0;
    std::string message;
};

}  // namespace qmv::textform
