#include "dump_run.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace qmv::test {

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<char> pattern(const std::string& suffix) {
    std::string name = "/tmp/qmv-dump-test-XXXXXX" + suffix;
    std::vector<char> chars(name.begin(), name.end());
    chars.push_back('\0');
    return chars;
}

}  // namespace

TempPath TempPath::file(const std::vector<uint8_t>& bytes, const std::string& suffix) {
    std::vector<char> name = pattern(suffix);
    int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd >= 0) {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(fd);
    }
    return TempPath(name.data());
}

TempPath TempPath::folder() {
    std::vector<char> name = pattern("");
    const char* made = mkdtemp(name.data());
    return TempPath(made != nullptr ? made : "");
}

TempPath::~TempPath() {
    if (path_.empty()) return;
    // Folders made here hold at most plain files left by a failing program.
    if (DIR* dir = opendir(path_.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") std::remove((path_ + "/" + name).c_str());
        }
        closedir(dir);
        ::rmdir(path_.c_str());
    } else {
        std::remove(path_.c_str());
    }
}

std::vector<std::string> DumpResult::lines() const {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        result.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

DumpResult runDump(const std::vector<std::string>& args, const std::string& tmpDir) {
    TempPath outFile = TempPath::file({}, ".out");
    TempPath errFile = TempPath::file({}, ".err");

    std::vector<std::string> argStore;
    argStore.push_back(QMV_DUMP_PATH);
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        if (!tmpDir.empty() && std::string(*e).rfind("TMPDIR=", 0) == 0) continue;
        envStore.push_back(*e);
    }
    if (!tmpDir.empty()) envStore.push_back("TMPDIR=" + tmpDir);
    std::vector<char*> envp;
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.path().c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.path().c_str(), O_WRONLY | O_TRUNC, 0);

    DumpResult result;
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.err = "cannot start " + argStore[0];
        return result;
    }
    int wstatus = 0;
    if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    result.out = readAll(outFile.path());
    result.err = readAll(errFile.path());
    return result;
}

DumpResult dumpScene(const std::vector<uint8_t>& scene, std::vector<std::string> args) {
    TempPath file = TempPath::file(scene);
    args.push_back(file.path());
    return runDump(args);
}

}  // namespace qmv::test
