// Test support: runs a program as a child process and reports what it cost,
// from the kernel's own accounting of the child (wait4): CPU time (user and
// system) and peak resident memory.
#pragma once

#include <string>
#include <vector>

namespace qmv::test {

struct ChildRun {
    bool started = false;
    int exitStatus = -1;  // -1 when it did not exit normally
    int signal = 0;       // the signal that ended it, if one did
    double cpuSeconds = 0.0;
    double peakMiB = 0.0;
    std::string standardError;
};

// Runs `program` with `arguments`; standard output is discarded, standard
// error captured.
ChildRun runChild(const std::string& program, const std::vector<std::string>& arguments);

// Runs `work` in a forked child and waits for it, so that the memory the
// work takes never counts towards this process's peak (which later
// children would inherit in their own accounting). True when it returned
// true.
bool inChild(bool (*work)(void*), void* data);

}  // namespace qmv::test
