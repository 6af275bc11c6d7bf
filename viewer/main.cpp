// qmv-viewer: the desktop viewer for QMV scene files.
//
//   qmv-viewer [PATH]
//
// The whole command line after the program's name is one path (arguments
// are joined by single spaces); a text that starts with a double quote
// loses its first and its last character. There are no options.
#include <wx/app.h>

#include <cstdio>
#include <span>
#include <string>

#include "main_frame.h"
#include "qmv/viewer/commands.h"
#include "qmv/viewer/document.h"

namespace {

std::string commandLinePath;

// A failed check inside the toolkit is reported on standard error instead
// of in a modal dialog that would stop the program.
void reportAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                  const wxString& message) {
    std::fprintf(stderr, "qmv-viewer: %s(%d): %s: %s %s\n", static_cast<const char*>(file.utf8_str()), line,
                 static_cast<const char*>(function.utf8_str()), static_cast<const char*>(condition.utf8_str()),
                 static_cast<const char*>(message.utf8_str()));
}

class ViewerApp final : public wxApp {
public:
    bool OnInit() override {
        using namespace qmv::viewer;
        wxSetAssertHandler(reportAssert);
        ViewerState& state = viewerState();
        state.redrawPending = false;
        state.ignoreNextButtonUp = false;
        auto* frame = new MainFrame(state);
        frame->Show();
        // The canvas has a window to draw in once it is shown, and the file
        // is read with its GL context current.
        if (!commandLinePath.empty()) loadDocument(state, commandLinePath);
        state.navigationMode = kZoomMode;
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(ViewerApp);

int main(int argc, char** argv) {
    commandLinePath = qmv::viewer::pathFromCommandLine(qmv::viewer::joinArguments(
        std::span<const char* const>(argv + 1, static_cast<size_t>(argc > 0 ? argc - 1 : 0))));
    // The toolkit sees no arguments: none of them is an option.
    int toolkitArgc = argc > 0 ? 1 : 0;
    return wxEntry(toolkitArgc, argv);
}
