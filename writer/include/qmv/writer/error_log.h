// Keeps the first problem a writer met. Writing goes on after it, so a caller
// checks once at the end instead of after every command.
#pragma once

#include <string>

namespace qmv {

class ErrorLog {
public:
    // Keeps `message` when it is the first one; later ones are only counted.
    void record(std::string message);

    bool ok() const { return count_ == 0; }
    // The first message, or an empty text when there was none.
    const std::string& first() const { return first_; }
    int count() const { return count_; }

private:
    std::string first_;
    int count_ = 0;
};

}  // namespace qmv
