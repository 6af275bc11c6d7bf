// The tour promises to exercise the whole format; these tests hold it to
// that, through the reader, so a change that drops a command, breaks an
// encoding or leaves the file unreadable fails here rather than in a viewer.
#include <gtest/gtest.h>

#include "counting_client.h"
#include "qmv/opcodes.h"
#include "qmv/scenes/tour_scene.h"

namespace qmv::scenes::test {
namespace {

class TourScene : public ::testing::Test {
protected:
    void SetUp() override {
        writeTourScene(writer_);
        ASSERT_TRUE(writer_.ok()) << writer_.error();
        ASSERT_TRUE(writer_.save(raw_.path())) << writer_.error();
        ASSERT_TRUE(writer_.save(compressed_.path())) << writer_.error();
    }

    SceneWriter writer_;
    TempPath raw_{".qmv"};
    TempPath compressed_{".qmvz"};
};

TEST_F(TourScene, ReadsWithoutErrorInBothContainers) {
    const ParseReport raw = parseCounting(raw_.path());
    const ParseReport compressed = parseCounting(compressed_.path());
    EXPECT_EQ(raw.error, "");
    EXPECT_EQ(compressed.error, "");
    EXPECT_EQ(raw.calls, compressed.calls);
    EXPECT_EQ(raw.layers, 10);
    EXPECT_EQ(raw.shapes, 3);
    EXPECT_EQ(raw.images, 5);
}

TEST_F(TourScene, ReportsEveryCallbackKind) {
    const ParseReport report = parseCounting(compressed_.path());
    for (int slot : allCallbackSlots()) {
        EXPECT_GT(report.calls[static_cast<size_t>(slot)], 0) << "slot " << slot;
    }
}

TEST_F(TourScene, DispatchesEveryOpcode) {
    std::vector<int> opcodes = {QMVR_Extension, QMVR_Layer, QMVR_Object, QMVR_SetImage,
                                QMVR_BeginSetShape, QMVR_EndSetShape};
    for (int op = QMVR_Polyline; op <= QMVR_Image; ++op) opcodes.push_back(op);
    for (int op = QMVR_Mark; op <= QMVR_FillFace; ++op) opcodes.push_back(op);
    for (int op = QMVR_SetPointSize16; op <= QMVR_SetPalette; ++op) opcodes.push_back(op);

    const ParseReport report = parseCounting(raw_.path(), true);
    ASSERT_EQ(report.error, "");
    for (int op : opcodes) {
        EXPECT_TRUE(report.tracedOpcodes.count(opcodeName(op)) == 1) << opcodeName(op);
    }
}

}  // namespace
}  // namespace qmv::scenes::test
