// Child processes for the memory figures. The peak resident size of a
// process counts the pages it had before exec, so the bench process stays
// small: big scenes are generated in a forked child, and the measured
// program is forked from the small bench process and waited for with wait4.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qmv::bench {

struct ChildResult {
    bool started = false;
    int exitCode = -1;        // -1 when the child did not exit normally
    int64_t peakRssKiB = 0;   // ru_maxrss of the child
};

// Runs `work` in a forked child and returns its result; `work` returns the
// exit code. Whatever the child allocates goes away with it.
ChildResult runForked(const std::function<int()>& work);

// Runs a program with its standard output sent to /dev/null.
ChildResult runProgram(const std::vector<std::string>& argv);

// The resident size of this process now (VmRSS), in KiB; 0 if unknown.
int64_t ownRssKiB();

}  // namespace qmv::bench
