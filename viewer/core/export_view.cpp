// The framebuffer calls are declared only on request, before the first GL
// header.
#define GL_GLEXT_PROTOTYPES 1
#include "qmv/viewer/export_view.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "qmv/offscreen_image.h"
#include "qmv/png_file.h"
#include "qmv/viewer/document.h"
#include "qmv/viewer/status.h"

namespace qmv::viewer {

bool exportViewPng(ViewerState& state, const std::string& path, std::string* error) {
    const int width = static_cast<int>(state.clientWidth);
    const int height = static_cast<int>(state.clientHeight);
    if (!documentOpen(state) || state.loading || width < 1 || height < 1) {
        *error = "No view to export.";
        return false;
    }
    RgbaImage image;
    {
        GlCurrent gl(state);
        const OffscreenImage target(width, height, true);
        if (!target.ok()) {
            *error = "The picture cannot be drawn off the screen.";
            return false;
        }
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer());
        paintScene(state.document.context.get(), state.document.scene.get(),
                   View{state.worldWindow, width, height});
        image = target.read(width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    // The frame the canvas was drawing in slices was abandoned by this one:
    // a new one begins at the next paint.
    state.drawing = false;
    state.redrawPending = true;
    windowOf(state).invalidate(false);
    return writePngReplacing(path, image, error);
}

std::string exportName(const std::string& documentPath) {
    const size_t slash = documentPath.find_last_of('/');
    std::string name = slash == std::string::npos ? documentPath : documentPath.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return (name.empty() ? std::string("view") : name) + ".png";
}

void exportViewFromDialog(ViewerState& state) {
    if (!documentOpen(state)) return;
    ViewerHost& window = windowOf(state);
    const std::optional<std::string> path = window.chooseExportPath(exportName(state.documentPath));
    if (!path) return;
    std::string error;
    if (exportViewPng(state, *path, &error)) {
        setStatusMessage(state, "Exported " + *path);
    } else {
        window.showErrorBox("Cannot write " + *path + ": " + error);
    }
}

}  // namespace qmv::viewer
