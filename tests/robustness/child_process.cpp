#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace qmv::test {

ChildRun runChild(const std::string& program, const std::vector<std::string>& arguments) {
    ChildRun run;
    char errorPath[] = "/tmp/qmv-child-stderr-XXXXXX";
    const int errorFd = mkstemp(errorPath);
    if (errorFd < 0) return run;
    ::close(errorFd);

    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errorPath, O_WRONLY | O_TRUNC, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        run.started = true;
        int status = 0;
        struct rusage usage {};
        while (wait4(pid, &status, 0, &usage) < 0) {
        }
        if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
    }
    std::ifstream in(errorPath);
    run.standardError.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::remove(errorPath);
    return run;
}

bool inChild(bool (*work)(void*), void* data) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) _exit(work(data) ? 0 : 1);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace qmv::test
