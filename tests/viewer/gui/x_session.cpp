#include "x_session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

#include "qmv/png_file.h"

namespace qmv::viewer::gui {

namespace {

std::string scratchPath(const std::string& name) {
    return "/tmp/qmv-viewer-gui-" + std::to_string(getpid()) + "-" + name;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::string programLogPath() { return scratchPath("programs.log"); }

std::string programLog() {
    std::string text;
    if (FILE* in = std::fopen(programLogPath().c_str(), "r")) {
        std::array<char, 4096> buffer{};
        for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) text.append(buffer.data(), got);
        std::fclose(in);
    }
    return text;
}

std::optional<std::string> missingTool() {
    for (const char* tool : {"xdotool", "import", "xwininfo"}) {
        int status = 0;
        shell(std::string("command -v ") + tool, &status);
        if (status != 0) return tool;
    }
    return std::nullopt;
}

std::string shell(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    std::array<char, 4096> buffer{};
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) output.append(buffer.data(), got);
    const int result = pclose(pipe);
    if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

bool waitUntil(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    return true;
}

Process::Process(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const std::string log = programLogPath();
    pid_ = fork();
    if (pid_ == 0) {
        // What the program says goes to a log the tests show on failure.
        if (FILE* out = std::fopen(log.c_str(), "a")) dup2(fileno(out), 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

Process::~Process() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (!waitForExit(3.0)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> Process::waitForExit(double seconds) {
    std::optional<int> exitStatus;
    waitUntil(
        [&] {
            int status = 0;
            if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_) return false;
            exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            pid_ = -1;
            return true;
        },
        seconds);
    return exitStatus;
}

std::vector<unsigned long> visibleWindows(const std::string& nameRegex) {
    std::istringstream ids(shell("xdotool search --onlyvisible --name " + quoted(nameRegex) + " 2>/dev/null"));
    std::vector<unsigned long> windows;
    for (unsigned long id = 0; ids >> id;) windows.push_back(id);
    return windows;
}

std::optional<unsigned long> waitForWindow(const std::string& nameRegex) {
    std::vector<unsigned long> windows;
    if (!waitUntil([&] { return !(windows = visibleWindows(nameRegex)).empty(); })) return std::nullopt;
    return windows.front();
}

bool waitForNoWindow(const std::string& nameRegex) {
    return waitUntil([&] { return visibleWindows(nameRegex).empty(); });
}

Rect windowGeometry(unsigned long window) {
    Rect r;
    const std::string out = shell("xdotool getwindowgeometry --shell " + std::to_string(window));
    std::sscanf(out.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &r.x, &r.y, &r.width, &r.height);
    return r;
}

std::optional<Rect> largestChild(unsigned long window) {
    // Lines such as "0x20010a (has no name): ()  400x375+0+25  +0+25": the
    // size, the place in the parent and the place on the screen.
    std::istringstream lines(shell("xwininfo -children -id " + std::to_string(window)));
    std::optional<Rect> best;
    for (std::string line; std::getline(lines, line);) {
        const size_t close = line.rfind(')');
        Rect r;
        if (line.find("0x") == std::string::npos || close == std::string::npos ||
            std::sscanf(line.c_str() + close + 1, " %dx%d%*d%*d %d%d", &r.width, &r.height, &r.x, &r.y) != 4) {
            continue;
        }
        if (!best || r.width * r.height > best->width * best->height) best = r;
    }
    return best;
}

void xdotool(const std::string& arguments) { shell("xdotool " + arguments + " >/dev/null 2>&1"); }

RgbaImage screenshot() {
    const std::string path = scratchPath("screen.png");
    shell("import -window root png:" + quoted(path) + " 2>/dev/null");
    RgbaImage image;
    std::string error;
    readPng(path, &image, &error);
    std::remove(path.c_str());
    return image;
}

RgbaImage crop(const RgbaImage& image, const Rect& rect) {
    RgbaImage part;
    if (rect.x < 0 || rect.y < 0 || rect.x + rect.width > image.width || rect.y + rect.height > image.height) {
        return part;
    }
    part.width = rect.width;
    part.height = rect.height;
    const size_t row = static_cast<size_t>(rect.width) * 4;
    for (int y = 0; y < rect.height; ++y) {
        const auto from = image.pixels.begin() +
                          static_cast<long>((static_cast<size_t>(rect.y + y) * image.width + rect.x) * 4);
        part.pixels.insert(part.pixels.end(), from, from + static_cast<long>(row));
    }
    return part;
}

long differingPixels(const RgbaImage& a, const RgbaImage& b) {
    if (a.width != b.width || a.height != b.height) return static_cast<long>(a.width) * a.height + 1;
    long differing = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 4) {
        differing += a.pixels[i] != b.pixels[i] || a.pixels[i + 1] != b.pixels[i + 1] ||
                     a.pixels[i + 2] != b.pixels[i + 2];
    }
    return differing;
}

std::string writeForInspection(const RgbaImage& image, const std::string& name) {
    static int written = 0;
    const std::string path = scratchPath(std::to_string(++written) + "-" + name);
    std::string error;
    writePng(path, image, &error);
    return path;
}

std::optional<RgbaImage> renderReference(const std::string& file, int width, int height,
                                         const std::string& options) {
    const std::string path = scratchPath("reference.png");
    int status = 0;
    shell(std::string(QMV_RENDER) + " " + quoted(file) + " -o " + quoted(path) + " --size " +
              std::to_string(width) + "x" + std::to_string(height) + " " + options,
          &status);
    RgbaImage image;
    std::string error;
    const bool read = status == 0 && readPng(path, &image, &error);
    std::remove(path.c_str());
    if (!read) return std::nullopt;
    return image;
}

}  // namespace qmv::viewer::gui
