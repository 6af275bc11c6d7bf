// The GUI tests run on an X server of their own: unless this process already
// runs inside one that it started, it starts itself again under xvfb-run, so
// that the tests need no display and never use the developer's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "x_session.h"

namespace {

constexpr const char* kInsideMarker = "QMV_VIEWER_GUI_TESTS_IN_XVFB";

bool listingOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv(kInsideMarker) == nullptr && !listingOnly(argc, argv) &&
        std::system("command -v xvfb-run >/dev/null 2>&1") == 0) {
        setenv(kInsideMarker, "1", 1);
        std::vector<char*> command;
        std::string self = "/proc/self/exe";
        char resolved[4096];
        const ssize_t length = readlink(self.c_str(), resolved, sizeof resolved - 1);
        if (length > 0) {
            resolved[length] = '\0';
            self = resolved;
        }
        // -noreset: the server would otherwise reset whenever its last
        // client leaves, and a viewer started meanwhile could not connect.
        const char* prefix[] = {"xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -noreset"};
        for (const char* part : prefix) command.push_back(const_cast<char*>(part));
        command.push_back(self.data());
        for (int i = 1; i < argc; ++i) command.push_back(argv[i]);
        command.push_back(nullptr);
        execvp("xvfb-run", command.data());
        // Only reached when xvfb-run cannot be started: the tests skip.
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // The log of what the viewers said is shown on failures only.
    std::remove(qmv::viewer::gui::programLogPath().c_str());
    return result;
}
