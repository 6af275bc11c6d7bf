// Saving: the file name decides between the bytes as they are and one zlib
// stream that inflates back to exactly those bytes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "qmv/writer/scene_writer.h"
#include "writer_test_support.h"

namespace qmv::test {
namespace {

void writeSampleScene(SceneWriter& w) {
    w.setRelPointSize(3);
    w.layer("streets", true, true);
    for (int i = 0; i < 200; ++i) {
        w.polylineSteps({static_cast<double>(i), 0}, std::vector<Point>(20, Point{1, 1}));
        w.text({0, static_cast<double>(i)}, "a label that repeats");
    }
    w.finish();
}

TEST(WriterSave, PlainNamesGetTheBytesAsTheyAre) {
    SceneWriter w(SceneHeader{});
    writeSampleScene(w);
    TempPath file(".qmv");
    ASSERT_TRUE(w.save(file.path())) << w.error();
    EXPECT_EQ(readWholeFile(file.path()), w.bytes());
}

TEST(WriterSave, CompressedNamesGetOneZlibStreamOfTheSameBytes) {
    SceneWriter w(SceneHeader{});
    writeSampleScene(w);
    TempPath file(".QMVZ");
    ASSERT_TRUE(w.save(file.path())) << w.error();
    const std::vector<uint8_t> packed = readWholeFile(file.path());
    EXPECT_LT(packed.size(), w.bytes().size() / 4);
    // Room for one byte more than expected, so that a longer stream shows.
    std::vector<uint8_t> unpacked(w.bytes().size() + 1);
    uLongf unpackedSize = unpacked.size();
    ASSERT_EQ(uncompress(unpacked.data(), &unpackedSize, packed.data(), packed.size()), Z_OK);
    unpacked.resize(unpackedSize);
    EXPECT_EQ(unpacked, w.bytes());
}

TEST(WriterSave, AFileThatCannotBeCreatedIsReported) {
    SceneWriter w(SceneHeader{});
    w.layer("", true, false);
    EXPECT_FALSE(w.save("/nonexistent-folder/scene.qmvz"));
    EXPECT_EQ(w.error(), "saving /nonexistent-folder/scene.qmvz: cannot open the file for writing");
}

}  // namespace
}  // namespace qmv::test
