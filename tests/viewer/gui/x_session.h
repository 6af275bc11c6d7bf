// Driving programs on an X display for the GUI tests: starting and stopping
// them, finding their windows, real input through xdotool, screenshots
// through ImageMagick's import, and waiting for a condition with a deadline
// instead of sleeping.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "qmv/rgba_image.h"

namespace qmv::viewer::gui {

// The name of the first program the tests need that is missing, if any.
std::optional<std::string> missingTool();
// Runs a shell command and returns its standard output.
std::string shell(const std::string& command, int* status = nullptr);
// Polls `condition` every 40 ms until it holds or `seconds` pass.
bool waitUntil(const std::function<bool()>& condition, double seconds = 15.0);

// A program started with arguments (no shell), stopped on destruction. Its
// standard error goes to a log shared by all programs the tests start.
std::string programLog();
std::string programLogPath();
class Process {
public:
    Process(const std::string& program, const std::vector<std::string>& arguments);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // Its exit status once it ends by itself, or nothing after `seconds`.
    std::optional<int> waitForExit(double seconds);

private:
    pid_t pid_ = -1;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Visible windows whose name matches the extended regular expression.
std::vector<unsigned long> visibleWindows(const std::string& nameRegex);
std::optional<unsigned long> waitForWindow(const std::string& nameRegex);
bool waitForNoWindow(const std::string& nameRegex);
// A window's place on the screen and size, and its largest child's (the
// viewer's GL canvas).
Rect windowGeometry(unsigned long window);
std::optional<Rect> largestChild(unsigned long window);
void xdotool(const std::string& arguments);

RgbaImage screenshot();
RgbaImage crop(const RgbaImage& image, const Rect& rect);
// Pixels whose colour differs; every pixel when the sizes differ.
long differingPixels(const RgbaImage& a, const RgbaImage& b);
// Keeps a picture in the temporary folder and returns its path.
std::string writeForInspection(const RgbaImage& image, const std::string& name);
// What qmv-render draws of `file` in a width x height client area, with
// further options (--view, --hide).
std::optional<RgbaImage> renderReference(const std::string& file, int width, int height,
                                         const std::string& options = "");

}  // namespace qmv::viewer::gui
