// qmv-dump --events and --state on small scenes: what each callback line holds.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "dump_run.h"
#include "scene_bytes.h"

namespace qmv::test {
namespace {

const char* const kEndOk1Layer = "{\"end\":true,\"error\":null,\"layers\":1,\"shapes\":0,\"images\":0}";

TEST(DumpEvents, LayerAndLineAreReportedInCallOrder) {
    SceneBytes scene = SceneBytes::withHeader();
    scene.layer(0x80, "roads").line(10, 10, 1, 0).line(-3, 7, -2048, 2047);

    DumpResult r = dumpScene(scene.bytes(), {"--events"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    std::vector<std::string> expected = {
        "{\"cb\":\"QMVR_layer\",\"args\":[\"roads\",1,0]}",
        "{\"cb\":\"QMVR_line\",\"args\":[10,10,1,0]}",
        "{\"cb\":\"QMVR_line\",\"args\":[-3,7,-2048,2047]}",
        "{\"cb\":\"QMVR_endLayer\",\"args\":[]}",
        kEndOk1Layer,
    };
    EXPECT_EQ(r.lines(), expected);
}

TEST(DumpEvents, TextsAreJsonStringsOfTheirBytesAndEmptyTextsNull) {
    SceneBytes scene = SceneBytes::withHeader();
    scene.layer(0xC0, "");
    scene.raw({0x17}).abs16(5, -6).string("a\xFF\\\"\n");  // QMVR_Text
    scene.raw({0x00}).string("").string("ext");           // QMVR_Extension

    DumpResult r = dumpScene(scene.bytes(), {"--events"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "{\"cb\":\"QMVR_layer\",\"args\":[null,1,1]}");
    EXPECT_EQ(lines[1], "{\"cb\":\"QMVR_text\",\"args\":[5,-6,\"a\xC3\xBF\\\\\\\"\\n\"]}");
    EXPECT_EQ(lines[2], "{\"cb\":\"QMVR_extension\",\"args\":[null,\"ext\"]}");
}

TEST(DumpEvents, DoubleArgumentsKeepEveryBit) {
    SceneBytes scene = SceneBytes::withHeader();
    scene.raw({0x54});  // QMVR_SetPointSize128 in the global layer
    scene.layer(0x80, "l");
    scene.raw({0x31}).absDouble(0.1, 1e300).rel12(1, 0);
    scene.raw({0x30}).absDouble(5e-324, -0.0);  // QMVR_Mark
    scene.raw({0x30}).absDouble(std::numeric_limits<double>::quiet_NaN(),
                                -std::numeric_limits<double>::infinity());

    DumpResult r = dumpScene(scene.bytes(), {"--events"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "{\"cb\":\"QMVR_line\",\"args\":[0.1,1e+300,1,0]}");
    EXPECT_EQ(lines[2], "{\"cb\":\"QMVR_mark\",\"args\":[5e-324,-0]}");
    EXPECT_EQ(lines[3], "{\"cb\":\"QMVR_mark\",\"args\":[\"nan\",\"-inf\"]}");
}

TEST(DumpEvents, ImageDefinitionCarriesItsPixelsBottomRowFirst) {
    SceneBytes scene = SceneBytes::withHeader();
    // QMVR_SetImage, 1 x 2: the file's first row (red) is the image's top row.
    scene.raw({0x6D, 0x00, 0x01, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x80});
    scene.layer(0x80, "l");
    scene.raw({0x3A, 0x00}).abs16(1, 2).rel12(3, 4);  // QMVR_FullImage 0
    scene.raw({0x3A, 0x01});  // image 1 does not exist: the command ends after its number

    DumpResult r = dumpScene(scene.bytes(), {"--events"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0],
              "{\"cb\":\"QMVR_setImage\",\"args\":[1,2,null,0],"
              "\"pixels\":[0,0,0.5019608,1,1,0,0,1]}");
    EXPECT_EQ(lines[2], "{\"cb\":\"QMVR_fullImage\",\"args\":[0,1,2,3,4]}");
    EXPECT_EQ(lines[4], "{\"end\":true,\"error\":null,\"layers\":1,\"shapes\":0,\"images\":1}");
}

TEST(DumpEvents, EdgesAndFacesAreResolvedAtTheCall) {
    SceneBytes scene = SceneBytes::withHeader();
    // QMVR_SetEdge: start (0, 0); edge 1 with steps (1, 0), (1, 0); edge 2 with (0, 3).
    scene.raw({0x3B}).abs16(0, 0).raw({0x02});
    scene.raw({0x18, 0x02}).rel12(1, 0).rel12(1, 0);
    scene.raw({0x18, 0x01}).rel12(0, 3);
    // QMVR_SetFace: edge references {-1}, further numbers {5, 6}.
    scene.raw({0x3C, 0x01, 0x7F, 0x02, 0x05, 0x06});
    scene.layer(0x80, "l");
    scene.raw({0x3D, 0x01});              // QMVR_DrawEdge 1
    scene.raw({0x3D, 0x09});              // no such edge set
    scene.raw({0x3F, 0x00, 0x3F, 0x03});  // QMVR_FillFace 0, then one that does not exist

    DumpResult r = dumpScene(scene.bytes(), {"--events"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], "{\"cb\":\"QMVR_drawEdge\",\"args\":[1],\"points\":[[0,0],[1,0],[2,0],[2,3]]}");
    EXPECT_EQ(lines[2], "{\"cb\":\"QMVR_drawEdge\",\"args\":[9],\"points\":null}");
    EXPECT_EQ(lines[3], "{\"cb\":\"QMVR_fillFace\",\"args\":[0],\"face\":[[-1],[5,6]]}");
    EXPECT_EQ(lines[4], "{\"cb\":\"QMVR_fillFace\",\"args\":[3],\"face\":null}");
}

std::string stateOf(const std::string& line) {
    size_t at = line.find(",\"state\":{");
    return at == std::string::npos ? "" : line.substr(at);
}

TEST(DumpState, EveryLineCarriesTheQueriesAtItsCall) {
    SceneBytes scene = SceneBytes::withHeader();
    scene.layer(0x80, "l").line(1, 2, 3, 4);

    DumpResult r = dumpScene(scene.bytes(), {"--state"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 4u);
    const std::string defaults =
        ",\"state\":{\"line\":[0,0,0,1],\"fill\":[0,0,0,1],\"mark\":[0,0,0,1],"
        "\"bg\":[1,0.5019607843137255,0,1],\"grad1\":[0,0,0,1],\"grad2\":[0,0,0,1],"
        "\"text\":[0,0,0,1],\"fillMode\":1,\"fillPoints\":[[0,0],[0,0],[0,0],[0,0]],"
        "\"textureImage\":0,\"stretch\":0,\"lineStyle\":[0,0,0,1],\"dashes\":-1,\"blend\":2,"
        "\"font\":0,\"fontStyle\":0,\"fontSize\":1,\"align\":10,\"angle\":0,"
        "\"layers\":1,\"shapes\":0,\"images\":0}}";
    EXPECT_EQ(lines[1], "{\"cb\":\"QMVR_line\",\"args\":[1,2,3,4]" + defaults);
    EXPECT_EQ(stateOf(lines[2]), defaults);  // QMVR_endLayer
    EXPECT_EQ(lines[3], kEndOk1Layer);       // the end line has no state
}

TEST(DumpState, AttributesOfTheGlobalLayerShowInTheLayers) {
    SceneBytes scene = SceneBytes::withHeader();
    scene.raw({0x5F, 0x00, 0x33, 0xFF});        // QMVR_SetLineColor
    scene.raw({0x5E, 0x05});                    // QMVR_SetBlendMode 5
    scene.raw({0x60, 0xF0, 0x0F});              // QMVR_SetLineDashes 0xF00F
    scene.raw({0x61, 1, 2, 3, 4});              // QMVR_SetLineStyle
    scene.raw({0x6A, 0x07, 0x02, 0x0C});        // QMVR_SetFont 7, style 2, size 12
    scene.raw({0x6B, 0x05}).abs16(0, 1);        // QMVR_SetTextAlignment 5, angle pi/2
    scene.raw({0x65}).abs16(1, 2).raw({0x10, 0x20, 0x30}).abs16(3, 4).raw({0x40, 0x50, 0x60});
    scene.layer(0x80, "l").line(0, 0, 1, 1);

    DumpResult r = dumpScene(scene.bytes(), {"--state"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0].substr(0, lines[0].find(",\"state\"")),
              "{\"cb\":\"QMVR_setBlendMode\",\"args\":[5]");
    EXPECT_EQ(lines[1].substr(0, lines[1].find(",\"state\"")),
              "{\"cb\":\"QMVR_setLineDashes\",\"args\":[61455]");
    EXPECT_EQ(lines[2].substr(0, lines[2].find(",\"state\"")),
              "{\"cb\":\"QMVR_setLineStyle\",\"args\":[1,2,3,4]");

    const std::string state = stateOf(lines[4]);  // the line
    auto has = [&](const std::string& part) {
        EXPECT_NE(state.find(part), std::string::npos) << part << " not in " << state;
    };
    has("\"line\":[0,0.2,1,1]");
    has("\"fill\":[0,0,0,1]");
    has("\"grad1\":[0.06274509803921569,0.12549019607843137,0.18823529411764706,1]");
    has("\"grad2\":[0.25098039215686274,0.3137254901960784,0.3764705882352941,1]");
    has("\"fillMode\":0");
    has("\"fillPoints\":[[0,0],[0,0],[1,2],[3,4]]");
    has("\"lineStyle\":[1,2,3,4]");
    has("\"dashes\":-4081");
    has("\"blend\":5");
    has("\"font\":7,\"fontStyle\":2,\"fontSize\":12,\"align\":5,\"angle\":1.5707963267948966");
}

TEST(DumpEvents, LongScenesStreamCompletely) {
    // Several buffered chunks of output: nothing may be lost, cut or reordered
    // at the chunk boundaries.
    constexpr int kLines = 100000;
    SceneBytes scene = SceneBytes::withHeader();
    scene.layer(0x80, "many");
    for (int i = 0; i < kLines; ++i) scene.line(i % 30000, -(i % 1000), i % 2000 - 1000, 7);

    DumpResult r = dumpScene(scene.bytes(), {"--events"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_GT(r.out.size(), size_t{3} << 20);
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kLines) + 3);
    EXPECT_EQ(lines.front(), "{\"cb\":\"QMVR_layer\",\"args\":[\"many\",1,0]}");
    int mismatches = 0;
    for (int i = 0; i < kLines; ++i) {
        const std::string expected = "{\"cb\":\"QMVR_line\",\"args\":[" + std::to_string(i % 30000) +
                                     "," + std::to_string(-(i % 1000)) + "," +
                                     std::to_string(i % 2000 - 1000) + ",7]}";
        if (lines[static_cast<size_t>(i) + 1] != expected && ++mismatches <= 3) {
            ADD_FAILURE() << "line " << i + 1 << ": " << lines[static_cast<size_t>(i) + 1];
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(lines[kLines + 1], "{\"cb\":\"QMVR_endLayer\",\"args\":[]}");
    EXPECT_EQ(lines.back(), kEndOk1Layer);
}

}  // namespace
}  // namespace qmv::test
