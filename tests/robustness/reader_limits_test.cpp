// The reader's limits in proportion to the file's size: how far a
// compressed file may inflate, how many decoded items (edge-set points, face
// numbers, image pixels) it may hold at once, and how many edges
// DrawEdgeRange commands may draw; and the two calls that let a client
// scale and report limits of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hostile_scenes.h"
#include "input_limits.h"
#include "qmv/opcodes.h"
#include "qmv/reader.h"
#include "qmv/writer/scene_writer.h"

namespace qmv::test {
namespace {

class ScratchFile {
public:
    ScratchFile(const std::vector<uint8_t>& bytes, bool compressed) {
        char pattern[] = "/tmp/qmv-limits-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) ::close(fd);
        std::remove(pattern);
        path_ = std::string(pattern) + (compressed ? ".qmvz" : ".qmv");
        FILE* out = std::fopen(path_.c_str(), "wb");
        if (out != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A client that counts, keeps or frees image pixels as told, and refuses
// texts with a reason of its own.
struct Client {
    long long edgeDraws = 0;
    bool keepPixels = false;
    std::vector<float*> kept;
    ~Client() {
        for (float* p : kept) readerFreePixels(p);
    }
};

Client& clientOf(ReaderContext* ctx) { return *static_cast<Client*>(readerClientData(ctx)); }

int onLayer(ReaderContext*, const char*, int, int) { return 1; }
int onEndLayer(ReaderContext*) { return 1; }
int onDrawEdge(ReaderContext* ctx, int) {
    ++clientOf(ctx).edgeDraws;
    return 1;
}
int onText(ReaderContext* ctx, double, double, const char*) {
    readerReportError(ctx, "Text: Refused by the client.");
    return CALLBACK_FAILED;
}
int onSetImage(ReaderContext* ctx, int, int, float* pixels, int) {
    Client& client = clientOf(ctx);
    if (!client.keepPixels) return CALLBACK_FREE_PIXELS;
    client.kept.push_back(pixels);
    return 1;
}

class ReaderLimits : public ::testing::Test {
protected:
    void SetUp() override {
        readerClearCallbacks();
        readerSetCallback<QMVR_layer>(onLayer);
        readerSetCallback<QMVR_endLayer>(onEndLayer);
        readerSetCallback<QMVR_drawEdge>(onDrawEdge);
        readerSetCallback<QMVR_text>(onText);
        readerSetCallback<QMVR_setImage>(onSetImage);
    }
    void TearDown() override { readerClearCallbacks(); }

    // Parses the bytes; returns the error text ("" for none).
    std::string parse(const std::vector<uint8_t>& bytes, bool compressed, Client& client,
                      uint64_t* fileSize = nullptr) {
        ScratchFile file(bytes, compressed);
        ReaderContext* ctx = readerOpen(file.path().c_str(), &client, 1, nullptr);
        const char* error = readerErrorText(ctx);
        const std::string text = error != nullptr ? error : "";
        if (fileSize != nullptr) *fileSize = readerFileSize(ctx);
        readerRelease(&ctx);
        return text;
    }
};

SceneHeader smallHeader(int relBits = 24) {
    SceneHeader h;
    h.relPointSize = static_cast<uint8_t>(relBits);
    h.upperRight = {100, 100};
    return h;
}

TEST_F(ReaderLimits, FileSizeIsTheSizeOnDisk) {
    SceneWriter w(smallHeader());
    w.layer("L");
    w.drawEdge(1);
    w.finish();
    Client client;
    uint64_t size = 0;
    EXPECT_EQ(parse(w.bytes(), false, client, &size), "");
    EXPECT_EQ(size, w.bytes().size());
    const std::vector<uint8_t> z = deflateBytes(w.bytes());
    EXPECT_EQ(parse(z, true, client, &size), "");
    EXPECT_EQ(size, z.size());
}

// A compressed file may inflate to 32 MiB plus 32 times its size: 16 MiB
// of attributes from a few kilobytes read whole, 40 MiB do not.
TEST_F(ReaderLimits, CompressedDataInflatesToItsLimitOnly) {
    SceneWriter head(smallHeader());
    const std::vector<uint8_t> layer = {QMVR_Layer, 0x80, 0};
    for (size_t mib : {16u, 40u}) {
        std::vector<uint8_t> raw = head.bytes();
        raw.insert(raw.end(), mib << 20, QMVR_SetRelPointSize3);
        raw.insert(raw.end(), layer.begin(), layer.end());
        const std::vector<uint8_t> z = deflateBytes(raw);
        ASSERT_LT(z.size(), size_t{1} << 20);
        Client client;
        const std::string error = parse(z, true, client);
        if (mib == 16) {
            EXPECT_EQ(error, "") << mib << " MiB";
        } else {
            EXPECT_EQ(error, "Parser: Compressed data inflates past its limit.") << mib << " MiB";
        }
    }
}

// DrawEdgeRange commands make at most 16 Mi + 16 x (file size) calls in one
// parse, then the parse stops.
TEST_F(ReaderLimits, EdgeRangesDrawUpToTheirAllowance) {
    SceneWriter w(smallHeader());
    w.setEdge({{10, 10}, {{24, {{1, 0}}}}});
    w.layer("L");
    for (int i = 0; i < 10; ++i) w.drawEdgeRange(-2097152, 2097151);
    w.finish();
    ASSERT_TRUE(w.ok()) << w.error();
    Client client;
    const std::string error = parse(w.bytes(), false, client);
    EXPECT_EQ(error.rfind("DrawEdgeRange: Too many edges drawn.", 0), 0u) << error;
    EXPECT_EQ(client.edgeDraws,
              static_cast<long long>(allowanceFor(kRangeDrawBase, kRangeDrawPerFileByte, w.bytes().size())));
}

// Edge sets of a layer end with it and give their points back: three layers
// of 3 million points each read, where 9 million at once would not.
TEST_F(ReaderLimits, EdgeSetsOfALayerAreNoLongerHeldAfterIt) {
    std::vector<uint8_t> raw = SceneWriter(smallHeader()).bytes();
    for (int layer = 0; layer < 3; ++layer) {
        SceneWriter part;
        part.rawBytes({QMVR_Layer, 0x80, 0, QMVR_SetEdge});
        part.rawPoint({1, 1}, 32);
        part.rawSize(1);
        part.rawByte(3);
        part.rawSize(3000000);
        raw.insert(raw.end(), part.bytes().begin(), part.bytes().end());
        raw.insert(raw.end(), 3000000 * 3 / 8, 0);
    }
    Client client;
    EXPECT_EQ(parse(deflateBytes(raw), true, client), "");

    // The same three sets in one layer pass the allowance.
    std::vector<uint8_t> one = SceneWriter(smallHeader()).bytes();
    one.insert(one.end(), {QMVR_Layer, 0x80, 0});
    for (int set = 0; set < 3; ++set) {
        SceneWriter part;
        part.rawOpcode(QMVR_SetEdge);
        part.rawPoint({1, 1}, 32);
        part.rawSize(1);
        part.rawByte(3);
        part.rawSize(3000000);
        one.insert(one.end(), part.bytes().begin(), part.bytes().end());
        one.insert(one.end(), 3000000 * 3 / 8, 0);
    }
    EXPECT_EQ(parse(deflateBytes(one), true, client).rfind("SetEdge: Edge set too large.", 0), 0u);
}

// Pixels the client hands back are no longer held; pixels it keeps are.
TEST_F(ReaderLimits, KeptImagePixelsCountAgainstTheAllowance) {
    std::vector<uint8_t> raw = SceneWriter(smallHeader()).bytes();
    raw.insert(raw.end(), {QMVR_SetColorSize, 2});
    for (int image = 0; image < 2; ++image) {
        raw.insert(raw.end(), {QMVR_SetImage, 0x07, 0x08, 0x07, 0x08});  // 1800 x 1800
        raw.insert(raw.end(), size_t{1800} * 1800, 9);
    }
    raw.insert(raw.end(), {QMVR_Layer, 0x80, 0});
    const std::vector<uint8_t> z = deflateBytes(raw);
    Client freeing;
    EXPECT_EQ(parse(z, true, freeing), "");
    Client keeping;
    keeping.keepPixels = true;
    EXPECT_EQ(parse(z, true, keeping), "SetImage: Image too large.");
    EXPECT_EQ(keeping.kept.size(), 1u);
}

// A client's own reason is the error text, with the reader's suffix; the
// failure it returns then records nothing more.
TEST_F(ReaderLimits, AClientReportsItsOwnReason) {
    SceneWriter w(smallHeader());
    w.layer("L");
    w.drawEdge(1);
    w.text({1, 1}, "no");
    w.finish();
    Client client;
    EXPECT_EQ(parse(w.bytes(), false, client), "Text: Refused by the client. Last valid func called: 3dH");
}

}  // namespace
}  // namespace qmv::test
