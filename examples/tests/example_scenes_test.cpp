// The example scenes are text sources assembled at build time. These tests
// read the files the build wrote, so that an edit of a source that leaves a
// scene unreadable, drops what its description promises, or a build rule
// that writes the wrong container, fails here rather than in a viewer.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "counting_client.h"
#include "qmv/opcodes.h"
#include "qmv/textform/file_io.h"
#include "qmv/textform/textform.h"

namespace qmv::scenes::test {
namespace {

std::string examplePath(const std::string& scene, const char* extension) {
    return std::string(QMV_EXAMPLES_DIR) + "/" + scene + extension;
}

// What each scene's description (README, the source's opening comment)
// says it shows, as the commands that show it.
struct ExampleScene {
    std::string name;
    std::vector<std::string> commands;  // opcode names the trace must hold
    int64_t minPolylines = 0;
    std::vector<std::string> layers;  // layer names that must be there
};

void PrintTo(const ExampleScene& scene, std::ostream* out) { *out << scene.name; }

const std::vector<ExampleScene>& exampleScenes() {
    static const std::vector<ExampleScene> scenes = {
        {"tour", {}, 0, {}},
        {"streetmap",
         {"QMVR_Polyline", "QMVR_FillPolygon", "QMVR_FillBox", "QMVR_Text",
          "QMVR_SetTextAlignment", "QMVR_SetLineDashes"},
         2000,
         {"motorways", "main roads", "streets", "paths", "rivers", "parks", "buildings",
          "street names"}},
        {"floorplan",
         {"QMVR_FillBox", "QMVR_DrawArc", "QMVR_Line", "QMVR_Text", "QMVR_SetImage",
          "QMVR_SetTextureFill", "QMVR_BeginSetShape", "QMVR_Shape"},
         0,
         {}},
        {"chart",
         {"QMVR_Line", "QMVR_Text", "QMVR_FillBox", "QMVR_SetGradientFill", "QMVR_FillArc",
          "QMVR_Polyline", "QMVR_Mark"},
         0,
         {}},
    };
    return scenes;
}

class ExampleScenes : public ::testing::TestWithParam<ExampleScene> {};

TEST_P(ExampleScenes, ReadWithoutErrorRawAndCompressed) {
    const ExampleScene& scene = GetParam();
    const ParseReport raw = parseCounting(examplePath(scene.name, ".qmv"));
    const ParseReport compressed = parseCounting(examplePath(scene.name, ".qmvz"));
    EXPECT_EQ(raw.error, "");
    EXPECT_EQ(compressed.error, "");
    EXPECT_GT(raw.layers, 0);
    EXPECT_EQ(raw.calls, compressed.calls);
    EXPECT_EQ(raw.layerNames, compressed.layerNames);
}

// The compressed file is a container around the same scene, not a scene of
// its own: inflated, it gives the raw file's bytes.
TEST_P(ExampleScenes, CompressedFileHoldsTheRawFilesBytes) {
    const ExampleScene& scene = GetParam();
    std::vector<uint8_t> raw, inflated;
    std::string why;
    ASSERT_TRUE(textform::readSceneFile(examplePath(scene.name, ".qmv"), raw, why)) << why;
    ASSERT_TRUE(textform::readSceneFile(examplePath(scene.name, ".qmvz"), inflated, why)) << why;
    EXPECT_TRUE(raw == inflated);
}

TEST_P(ExampleScenes, ShowWhatTheirDescriptionPromises) {
    const ExampleScene& scene = GetParam();
    const ParseReport report = parseCounting(examplePath(scene.name, ".qmv"), true);
    ASSERT_EQ(report.error, "");
    for (const std::string& command : scene.commands) {
        EXPECT_EQ(report.tracedOpcodes.count(command), 1u) << command;
    }
    EXPECT_GE(report.polylines, scene.minPolylines);
    const std::set<std::string> names(report.layerNames.begin(), report.layerNames.end());
    for (const std::string& layer : scene.layers) {
        EXPECT_EQ(names.count(layer), 1u) << "layer \"" << layer << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(, ExampleScenes, ::testing::ValuesIn(exampleScenes()),
                         [](const auto& info) { return info.param.name; });

// The tour promises to exercise the whole format: every callback the reader
// makes and every opcode it accepts.
TEST(TourScene, ReportsEveryCallbackKind) {
    const ParseReport report = parseCounting(examplePath("tour", ".qmvz"));
    ASSERT_EQ(report.error, "");
    for (int slot : allCallbackSlots()) {
        EXPECT_GT(report.calls[static_cast<size_t>(slot)], 0) << "slot " << slot;
    }
}

TEST(TourScene, DispatchesEveryOpcode) {
    const ParseReport report = parseCounting(examplePath("tour", ".qmv"), true);
    ASSERT_EQ(report.error, "");
    int checked = 0;
    for (int opcode = 0; opcode < 256; ++opcode) {
        // Opcode 110 has a name but no handler: no file can dispatch it.
        if (opcodeClass(opcode) == OpcodeClass::None) continue;
        EXPECT_EQ(report.tracedOpcodes.count(opcodeName(opcode)), 1u) << opcodeName(opcode);
        ++checked;
    }
    // The loop must not pass by checking nothing: 61 opcodes have handlers.
    EXPECT_EQ(checked, 61);
}

// Every colour size must be the one in force when some colour is read, not
// merely set. The walk follows the reader's scoping of the colour size: each
// layer starts from the global layer's last value, and a shape definition
// gives back the value it started with.
TEST(TourScene, ReadsColoursInEveryColourSize) {
    std::vector<uint8_t> bytes;
    std::string why;
    ASSERT_TRUE(textform::readSceneFile(examplePath("tour", ".qmv"), bytes, why)) << why;
    std::istringstream text(textform::disassembleBytes(bytes));
    constexpr int kInitialColourSize = 6;
    int colourSize = kInitialColourSize;
    int beforeShape = colourSize;
    int afterGlobalLayer = -1;
    std::set<int> used;
    std::string line;
    while (std::getline(text, line)) {
        const size_t comment = line.find("# ");
        if (comment != std::string::npos) line.erase(comment);
        const size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        const std::string_view command = std::string_view(line).substr(first);
        if (command.starts_with("Layer ")) {
            if (afterGlobalLayer < 0) afterGlobalLayer = colourSize;
            colourSize = afterGlobalLayer;
        } else if (command.starts_with("BeginSetShape")) {
            beforeShape = colourSize;
        } else if (command.starts_with("EndSetShape")) {
            colourSize = beforeShape;
        } else if (command.starts_with("SetColorSize ")) {
            colourSize = std::stoi(std::string(command.substr(13)));
        } else if (!command.starts_with("Background") &&
                   (command.find("index(") != std::string_view::npos ||
                    command.find("grey(") != std::string_view::npos ||
                    command.find('#') != std::string_view::npos)) {
            // index(n), grey(n), grey(n, a) and #rrggbb[aa] are the colours.
            used.insert(colourSize);
        }
    }
    EXPECT_EQ(used, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

// Each edge of an edge set names its own relative point size; the tour uses
// every one, so that the per-edge sizes are exercised as well as the
// SetRelPointSize commands.
TEST(TourScene, DefinesEdgesInEveryRelativePointSize) {
    std::vector<uint8_t> bytes;
    std::string why;
    ASSERT_TRUE(textform::readSceneFile(examplePath("tour", ".qmv"), bytes, why)) << why;
    std::istringstream text(textform::disassembleBytes(bytes));
    std::set<int> sizes;
    std::string line;
    while (std::getline(text, line)) {
        if (line.find("SetEdge ") == std::string::npos) continue;
        line.erase(line.find("  # ") == std::string::npos ? line.size() : line.find("  # "));
        for (size_t colon = line.find(':'); colon != std::string::npos;
             colon = line.find(':', colon + 1)) {
            size_t start = colon;
            while (start > 0 && std::isdigit(static_cast<unsigned char>(line[start - 1]))) --start;
            sizes.insert(std::stoi(line.substr(start, colon - start)));
        }
    }
    EXPECT_EQ(sizes, (std::set<int>{3, 6, 8, 16, 24, 32, 64, 128}));
}

}  // namespace
}  // namespace qmv::scenes::test
