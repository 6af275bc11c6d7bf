#include "qmv/writer/error_log.h"

#include <utility>

namespace qmv {

void ErrorLog::record(std::string message) {
    if (count_++ == 0) first_ = std::move(message);
}

}  // namespace qmv
