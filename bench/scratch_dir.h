// A private folder in the temporary directory for the generated scenes,
// removed with everything in it when the benchmark ends.
#pragma once

#include <string>

namespace qmv::bench {

class ScratchDir {
public:
    ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir();

    bool ok() const { return !path_.empty(); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace qmv::bench
