// The trace dump of whole parses.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "qmv/opcodes.h"
#include "scene_support.h"

namespace qmv::test {
namespace {

std::string traceOf(const SceneWriter& w, int callbacksEnabled = 1) {
    TempFile scene(w.bytes());
    TempFile trace({}, ".txt");
    EventLog log;
    parseWithLog(scene.path(), log, callbacksEnabled, nullptr, trace.path().c_str());
    std::ifstream in(trace.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const char kHeader[] =
    "\n-------------------------Header----------------------------------\n"
    "Reserved      : 0\n"
    "Version       : 2\n"
    "Release       : -1\n"
    "Resolution    : (1.,2.)\n"
    "Lower Left    : (-1.,-2.)\n"
    "Upper Right   : (100.,100.)\n"
    "MM            : (0.,0.)\n"
    "BG Color      : R: 1. G: 0.50196078 B: 0. A: 1.\n"
    "-----------------------------------------------------------------\n";

SceneHeader traceHeader() {
    SceneHeader h = plainHeader();
    h.version = 2;
    h.release = 0xFF;
    h.resolution = {1, 2};
    h.lowerLeft = {-1, -2};
    h.background = {1.0, 128.0 / 255, 0.0, 1.0};
    return h;
}

TEST(Trace, LayerWithAPolyline) {
    SceneWriter w(traceHeader());
    w.layer("roads", true, false);
    w.polylineSteps({10, 10}, std::vector<Point>{{1, 0}, {0, 2}});
    EXPECT_EQ(traceOf(w), std::string(kHeader) +
                              " \n\nQMVR_Layer Visible Not_Detectable roads"
                              "\nQMVR_Polyline 2 points.\n x:10. y:10. x:11. y:10. x:11. y:12."
                              " End Polyline: \n");
}

TEST(Trace, PathCountsAndDisabledCallbacks) {
    SceneWriter w(traceHeader());
    w.setLineColor({1, 1, 1});
    w.layer("", false, true);
    w.drawPolygonSteps({0, 0}, std::vector<Point>{{1, 0}, {0, 1}, {-1, 0}});
    w.fillPolygonSteps({0, 0}, std::vector<Point>{{1, 0}});
    w.beginObject("o");
    w.endObject();
    std::string enabled = traceOf(w);
    EXPECT_NE(enabled.find("\nQMVR_SetLineColor \n\nQMVR_Layer"), std::string::npos);
    EXPECT_NE(enabled.find("\nQMVR_Layer Not_Visible Detectable "), std::string::npos);
    EXPECT_NE(enabled.find("\nQMVR_DrawPolygon 4 points\n x:0. y:0. x:1. y:0. x:1. y:1. x:0. "
                           "y:1. End points Polygon"),
              std::string::npos);
    EXPECT_NE(enabled.find("\nQMVR_FillPolygon 2 points.\n x:0. y:0. x:1. y:0.\nQMVR_Object o"
                           "\nQMVR_Object "),
              std::string::npos);
    std::string disabled = traceOf(w, 0);
    EXPECT_NE(disabled.find("\nQMVR_DrawPolygon 4 points\n\nQMVR_FillPolygon 2 points.\n"),
              std::string::npos);
}

TEST(Trace, FiguresWithTheirOperands) {
    SceneWriter w(traceHeader());
    w.layer("f");
    w.drawArc({5, 6}, {1, 1}, {0, 1}, {-1, 0});
    w.line({1, 2}, {3, 4});
    w.fillBox({0, 0}, {-2, 5});
    w.drawCircle({7, 8}, 300);
    w.fillEllipse({1, 1}, {2, 3});
    w.text({0, 0}, "hello");
    w.extension("a", "");
    w.mark({1, 1});
    std::string trace = traceOf(w, 0);
    EXPECT_NE(trace.find("\nQMVR_DrawArc InitialPoint: (5.,6.)  from: 89.99979  to: 179.99958"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("\nQMVR_Line Start (1.,2.) End (4.,6.)"), std::string::npos);
    EXPECT_NE(trace.find("\nQMVR_FillBox Start (0.,0.) End (-2.,5.)"), std::string::npos);
    EXPECT_NE(trace.find("\nQMVR_DrawCircle Radius: 300. Center (7.,8.)"), std::string::npos);
    EXPECT_NE(trace.find("\nQMVR_FillEllipse Center (1.,1.) Width : 2. Height Y: 3."),
              std::string::npos);
    EXPECT_NE(trace.find("\nQMVR_Text hello"), std::string::npos);
    EXPECT_NE(trace.find("\nQMVR_Extension a \nQMVR_Mark"), std::string::npos);
}

TEST(Trace, NoTracePathWritesNothing) {
    SceneWriter w(traceHeader());
    w.layer("l");
    TempFile scene(w.bytes());
    EventLog log;
    EXPECT_EQ(parseWithLog(scene.path(), log, 1, nullptr, nullptr), "");
    EXPECT_EQ(parseWithLog(scene.path(), log, 1, nullptr, "/nonexistent/dir/trace.txt"), "");
}

}  // namespace
}  // namespace qmv::test
