#include "child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace qmv::bench {

namespace {

ChildResult waitFor(pid_t pid) {
    ChildResult result;
    result.started = true;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) return result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.peakRssKiB = usage.ru_maxrss;  // KiB on Linux
    return result;
}

}  // namespace

ChildResult runForked(const std::function<int()>& work) {
    std::fflush(nullptr);  // the child must not flush the parent's buffers again
    const pid_t pid = fork();
    if (pid < 0) return {};
    if (pid == 0) _exit(work());
    return waitFor(pid);
}

ChildResult runProgram(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return {};
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDOUT_FILENO);
        execv(args[0], args.data());
        _exit(127);
    }
    return waitFor(pid);
}

int64_t ownRssKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    long long kib = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            std::sscanf(line + 6, "%lld", &kib);
            break;
        }
    }
    std::fclose(status);
    return kib;
}

}  // namespace qmv::bench
