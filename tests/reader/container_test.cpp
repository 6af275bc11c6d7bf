// The PackedFile and the choice of container: names that select zlib, empty
// and mislabelled files, compressed streams cut short, take and peek, reads
// across the 64 KiB buffer, the writer's compressed save, unreadable paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "event_log.h"
#include "qmv/opcodes.h"
#include "qmv/format.h"
#include "qmv/packed_file.h"
#include "qmv/reader.h"
#include "qmv/writer/scene_writer.h"
#include "temp_file.h"

namespace qmv::test {
namespace {

std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    uint8_t buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    return bytes;
}

// One zlib stream over `input`, finished with `flush` (Z_FINISH for a
// complete stream, Z_SYNC_FLUSH for one that stops after the input without
// an end).
std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& input, int flush = Z_FINISH) {
    struct Stream {
        z_stream z{};
        bool live = false;
        ~Stream() {
            if (live) deflateEnd(&z);
        }
    } s;
    std::vector<uint8_t> out;
    if (deflateInit(&s.z, Z_BEST_COMPRESSION) != Z_OK) return out;
    s.live = true;
    s.z.next_in = const_cast<Bytef*>(input.data());
    s.z.avail_in = static_cast<uInt>(input.size());
    uint8_t buffer[16384];
    for (;;) {
        s.z.next_out = buffer;
        s.z.avail_out = sizeof buffer;
        int rc = deflate(&s.z, flush);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - s.z.avail_out));
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK && rc != Z_BUF_ERROR) break;
        if (flush != Z_FINISH && s.z.avail_in == 0 && s.z.avail_out != 0) break;
    }
    return out;
}

// Everything zlib can inflate from `compressed`, and whether the stream ended.
struct Inflated {
    std::vector<uint8_t> bytes;
    bool complete = false;
};

Inflated inflatePrefix(const std::vector<uint8_t>& compressed) {
    struct Stream {
        z_stream z{};
        bool live = false;
        ~Stream() {
            if (live) inflateEnd(&z);
        }
    } s;
    Inflated result;
    if (inflateInit(&s.z) != Z_OK) return result;
    s.live = true;
    s.z.next_in = const_cast<Bytef*>(compressed.data());
    s.z.avail_in = static_cast<uInt>(compressed.size());
    uint8_t buffer[16384];
    for (;;) {
        s.z.next_out = buffer;
        s.z.avail_out = sizeof buffer;
        int rc = inflate(&s.z, Z_NO_FLUSH);
        result.bytes.insert(result.bytes.end(), buffer, buffer + (sizeof buffer - s.z.avail_out));
        if (rc == Z_STREAM_END) {
            result.complete = true;
            break;
        }
        if (rc != Z_OK) break;  // input exhausted or corrupt: the data ends here
    }
    return result;
}

struct Outcome {
    std::string error;
    std::vector<std::string> events;
};

Outcome parseFile(const std::string& path) {
    EventLog log;
    Outcome outcome;
    outcome.error = parseWithLog(path, log);
    outcome.events = log.events;
    return outcome;
}

Outcome parseBytesAs(const std::vector<uint8_t>& bytes, const std::string& suffix) {
    TempFile file(bytes, suffix);
    return parseFile(file.path());
}

SceneHeader boundsHeader() {
    SceneHeader h;
    h.lowerLeft = {-10, -20};
    h.upperRight = {300, 400};
    h.resolution = {1, 2};
    h.mm = {3, 4};
    h.background = {1.0, 128 / 255.0, 0.0, 1.0};
    return h;
}

// A one-layer scene of `count` lines whose values all differ, so that it
// does not compress to nearly nothing.
std::vector<uint8_t> linesScene(int count, std::vector<std::string>* expected = nullptr) {
    SceneWriter w(boundsHeader());
    w.layer("lines");
    if (expected != nullptr) expected->push_back("layer \"lines\" 1 0");
    for (int i = 0; i < count; ++i) {
        const Point p{static_cast<double>((i * 37) % 30000 - 15000), static_cast<double>((i * 101) % 20000)};
        const Point d{static_cast<double>(i % 4000 - 2000), static_cast<double>((i * 7) % 4000 - 2000)};
        w.line(p, d);
        if (expected != nullptr) {
            char line[96];
            std::snprintf(line, sizeof line, "line %.10g %.10g %.10g %.10g", p.x, p.y, d.x, d.y);
            expected->push_back(line);
        }
    }
    w.finish();
    EXPECT_TRUE(w.ok()) << w.error();
    if (expected != nullptr) expected->push_back("endLayer");
    return w.bytes();
}

TEST(ContainerName, TheFirstQmvOfThePathDecides) {
    struct Case {
        const char* path;
        bool compressed;
    };
    const Case cases[] = {
        {"scene.qmvz", true},
        {"SCENE.QMVZ", true},
        {"mixed.QmVz", true},
        {"/data/maps/scene.qmv", false},
        {"scene.dat", false},
        {"scene.qmv.bak", false},
        // Only the first ".qmv" counts: the directory's makes this one raw.
        {"/data/old.qmv/scene.qmvz", false},
        {"/data/old.qmvz/scene.qmv", true},
        // Nothing is required after the z.
        {"scene.qmvzip", true},
        {"scene.qmvz.tmp", true},
        // Dots that do not begin ".qmv" are passed over.
        {"archive.v2.qmvz", true},
        {"a.q.qm.qmvz", true},
        {"scene", false},
        {"qmvz", false},
        {"", false},
        // A ".qmv" that ends the text has nothing after it.
        {"scene.qm", false},
        {"scene.", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isCompressedName(c.path), c.compressed) << c.path;
    EXPECT_FALSE(isCompressedName(nullptr));
}

TEST(ContainerChoice, EmptyFilesHaveNoHeader) {
    for (const char* suffix : {".qmv", ".qmvz"}) {
        Outcome o = parseBytesAs({}, suffix);
        EXPECT_EQ(o.error, "Missing header.") << suffix;
        EXPECT_TRUE(o.events.empty()) << suffix;
    }
}

TEST(ContainerChoice, TheNameNotTheContentDecides) {
    std::vector<std::string> expected;
    const std::vector<uint8_t> raw = linesScene(3, &expected);
    const std::vector<uint8_t> compressed = deflateBytes(raw);

    // Each is read correctly under its own name...
    Outcome rawAsRaw = parseBytesAs(raw, ".qmv");
    EXPECT_EQ(rawAsRaw.error, "");
    EXPECT_EQ(rawAsRaw.events, expected);
    Outcome zAsZ = parseBytesAs(compressed, ".qmvz");
    EXPECT_EQ(zAsZ.error, "");
    EXPECT_EQ(zAsZ.events, expected);

    // ...and not at all under the other: a raw scene is no zlib stream, so it
    // inflates to nothing; a zlib stream's first byte is no magic.
    for (const auto& [bytes, suffix] : {std::pair{raw, ".qmvz"}, std::pair{compressed, ".dat"}}) {
        Outcome o = parseBytesAs(bytes, suffix);
        EXPECT_EQ(o.error, "Missing header.") << suffix;
        EXPECT_TRUE(o.events.empty()) << suffix;
    }
}

TEST(ContainerChoice, UnopenablePathsReportTheFileAndCallNothing) {
    for (const char* path : {"/nonexistent-qmv-dir/scene.qmv", "/nonexistent-qmv-dir/scene.qmvz"}) {
        EventLog log;
        ReaderContext* ctx = nullptr;
        EXPECT_EQ(parseWithLog(path, log, 1, &ctx), "Parser: Error reading file") << path;
        // Not even the end-of-layers call.
        EXPECT_TRUE(log.events.empty()) << path;
        EXPECT_EQ(readerLayerCount(ctx), 0);
        readerRelease(&ctx);
    }
}

// A directory opens as a stream on some systems but yields no data: it is no
// readable file either, and must not be reported as a file without header.
TEST(ContainerChoice, ADirectoryIsNoReadableFile) {
    char pattern[] = "/tmp/qmv-dir-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = std::string(pattern) + ".qmv";
    ASSERT_EQ(std::rename(pattern, dir.c_str()), 0);
    Outcome o = parseFile(dir);
    ::rmdir(dir.c_str());
    EXPECT_EQ(o.error, "Parser: Error reading file");
    EXPECT_TRUE(o.events.empty());
}

TEST(CompressedContainer, AStreamCutAfterTheHeaderReadsTheHeaderAndEnds) {
    const std::vector<uint8_t> header = SceneWriter(boundsHeader()).bytes();
    ASSERT_EQ(header.size(), 29u);
    // Flushed but never finished: the inflated data is exactly the header.
    const std::vector<uint8_t> cut = deflateBytes(header, Z_SYNC_FLUSH);
    const Inflated available = inflatePrefix(cut);
    ASSERT_FALSE(available.complete);
    ASSERT_EQ(available.bytes, header);

    TempFile file(cut, ".qmvz");
    EventLog log;
    ReaderContext* ctx = nullptr;
    // The data ends inside the global layer: a file needs a layer.
    EXPECT_EQ(parseWithLog(file.path(), log, 1, &ctx),
              "Error in globallayer: Not supported function type in globallayer.");
    EXPECT_TRUE(log.events.empty());
    double x = 0, y = 0;
    readerLowerLeft(ctx, &x, &y);
    EXPECT_EQ(x, -10);
    EXPECT_EQ(y, -20);
    readerUpperRight(ctx, &x, &y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 400);
    HeaderInfo info = readerHeaderInfo(ctx);
    EXPECT_EQ(info.resolution.x, 1);
    EXPECT_EQ(info.mm.y, 4);
    EXPECT_EQ(readerColor(ctx, COLOR_BACKGROUND, 0), 1.0);
    EXPECT_NEAR(readerColor(ctx, COLOR_BACKGROUND, 1), 128 / 255.0, 1e-12);
    readerRelease(&ctx);
}

// The bytes the reader's container hands out for `data`, compressed.
std::vector<uint8_t> handedOut(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes;
    PackedFile* pf = packedOpenMemory(data.data(), data.size(), 1);
    const uint8_t* begin = nullptr;
    const uint8_t* end = nullptr;
    while (pf != nullptr && packedNextBlock(pf, &begin, &end)) bytes.insert(bytes.end(), begin, end);
    packedClose(pf);
    return bytes;
}

// A stream cut anywhere reads as the raw bytes that can still be inflated
// from it: the data ends there, and nothing else changes. The inflater may
// hold back the last few symbols of a cut stream that zlib would give, never
// more than the tail of one input block.
TEST(CompressedContainer, AStreamCutShortReadsAsItsInflatablePrefix) {
    std::vector<std::string> full;
    const std::vector<uint8_t> raw = linesScene(6000, &full);
    const std::vector<uint8_t> compressed = deflateBytes(raw);
    ASSERT_GT(compressed.size(), 1000u);

    bool sawPartialLayer = false;
    for (size_t keep : {size_t{2}, size_t{20}, compressed.size() / 4, compressed.size() / 2,
                        compressed.size() - 40, compressed.size() - 1}) {
        const std::vector<uint8_t> cut(compressed.begin(), compressed.begin() + static_cast<long>(keep));
        const Inflated byZlib = inflatePrefix(cut);
        ASSERT_FALSE(byZlib.complete) << keep;
        const std::vector<uint8_t> available = handedOut(cut);
        ASSERT_LE(available.size(), byZlib.bytes.size()) << keep;
        EXPECT_LE(byZlib.bytes.size() - available.size(), 4096u) << keep;
        ASSERT_TRUE(std::equal(available.begin(), available.end(), raw.begin()));

        Outcome fromCut = parseBytesAs(cut, ".qmvz");
        Outcome fromPrefix = parseBytesAs(available, ".qmv");
        EXPECT_EQ(fromCut.error, fromPrefix.error) << "kept " << keep << " compressed bytes";
        EXPECT_EQ(fromCut.events, fromPrefix.events) << "kept " << keep << " compressed bytes";
        if (fromCut.events.size() > 3 && fromCut.events.size() < full.size()) sawPartialLayer = true;
    }
    EXPECT_TRUE(sawPartialLayer) << "no cut ended inside the layer";
}

// Bytes go through packedGetc and packedPeek, raw and inflated.
class PackedRead : public ::testing::TestWithParam<bool> {
protected:
    // A file holding `content`, raw or as one zlib stream.
    TempFile store(const std::vector<uint8_t>& content) {
        if (GetParam()) return TempFile(deflateBytes(content), ".qmvz");
        return TempFile(content, ".qmv");
    }
    int compressed() const { return GetParam() ? 1 : 0; }
};

TEST_P(PackedRead, PeekLeavesTheByteAndTakeConsumesIt) {
    TempFile file = store({0x10, 0x20, 0x30});
    PackedFile* pf = packedOpen(file.path().c_str(), compressed());
    ASSERT_NE(pf, nullptr);
    EXPECT_EQ(packedPeek(pf), 0x10);
    EXPECT_EQ(packedPeek(pf), 0x10);
    EXPECT_EQ(packedGetc(pf), 0x10);
    EXPECT_EQ(packedGetc(pf), 0x20);
    EXPECT_EQ(packedPeek(pf), 0x30);
    EXPECT_EQ(packedGetc(pf), 0x30);
    EXPECT_EQ(packedPeek(pf), -1);
    EXPECT_EQ(packedGetc(pf), -1);
    EXPECT_EQ(packedPeek(pf), -1);
    EXPECT_EQ(packedClose(pf), 0);
}

TEST_P(PackedRead, ReadsAcrossTheBufferGiveTheFileBytes) {
    // Noise (the compressed input needs several reads too) and a pattern that
    // inflates from little input into several output buffers.
    std::mt19937 rng(7);
    std::vector<uint8_t> noise(3 * kPackedBlockBytes + 123);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> pattern(5 * kPackedBlockBytes + 17);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>((i / 3) % 251);

    for (const std::vector<uint8_t>* content : {&noise, &pattern}) {
        TempFile file = store(*content);
        PackedFile* pf = packedOpen(file.path().c_str(), compressed());
        ASSERT_NE(pf, nullptr);
        size_t mismatches = 0;
        for (size_t i = 0; i < content->size(); ++i) {
            // Peek at irregular places, among them the last byte of a buffer
            // and the first of the next.
            const size_t inBuffer = i % kPackedBlockBytes;
            if (i % 7 == 0 || inBuffer == 0 || inBuffer == kPackedBlockBytes - 1) {
                if (packedPeek(pf) != (*content)[i]) ++mismatches;
            }
            if (packedGetc(pf) != (*content)[i]) ++mismatches;
        }
        EXPECT_EQ(mismatches, 0u) << content->size() << " bytes";
        EXPECT_EQ(packedPeek(pf), -1);
        EXPECT_EQ(packedGetc(pf), -1);
        EXPECT_EQ(packedClose(pf), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(RawAndCompressed, PackedRead, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Compressed" : "Raw"; });

TEST(PackedOpen, RefusesWhatItCannotServe) {
    TempFile file({1, 2, 3});
    EXPECT_EQ(packedOpen(nullptr, 0), nullptr);
    EXPECT_EQ(packedOpen(file.path().c_str(), 2), nullptr);
    EXPECT_EQ(packedOpen("/nonexistent-qmv-dir/x.qmv", 0), nullptr);
    EXPECT_EQ(packedGetc(nullptr), -1);
    EXPECT_EQ(packedPeek(nullptr), -1);
    EXPECT_EQ(packedClose(nullptr), -1);
}

// A scene whose commands straddle the 64 KiB buffer at every byte: each
// command reads the same whichever of its bytes begins the next buffer.
TEST(BufferBoundary, EveryByteOfACommandMixCanStartTheNextBuffer) {
    auto writeMix = [](SceneWriter& w) {
        w.polylineSteps({-5, 7}, std::vector<Point>{{1, -1}, {2047, -2048}, {-300, 45}});
        w.setRelPointSize(3);
        w.polylineSteps({100, 200}, std::vector<Point>{{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}});
        w.setRelPointSize(6);
        w.line({1, 2}, {-4, 3});
        w.text({-1, -2}, "boundary");
        w.drawCircle({3, 4}, 4000000);
        w.setRelPointSize(128);
        w.fillBox({9, 9}, {0.1, -2.5e10});
        w.setRelPointSize(24);
        w.drawEdge(-2000000);
        w.setLineDashes(0xF00F);
        w.drawCubicBezierSteps({0, 0}, std::vector<Point>{{10, 0}, {0, 10}, {-10, -10}});
    };
    const std::vector<std::string> expected = {
        "layer \"mix\" 1 0",
        "begin 0 -5 7 0", "vertex -4 6", "vertex 2043 -2042", "vertex 1743 -1997", "end",
        "begin 0 100 200 0", "vertex 101 200", "vertex 102 201", "vertex 102 202", "vertex 101 203",
        "vertex 100 203", "end",
        "line 1 2 -4 3",
        "text -1 -2 \"boundary\"",
        "circle 3 4 4000000 0",
        "box 9 9 0.1 -2.5e+10 1",
        "drawEdge -2000000",
        "dashes 61455",
        "begin 2 0 0 0", "vertex 10 0", "vertex 10 10", "vertex 0 0", "end",
        "endLayer",
    };
    size_t mixSize = 0;
    size_t prefixSize = 0;
    {
        SceneWriter w(boundsHeader());
        w.layer("mix");
        prefixSize = w.bytes().size();
        writeMix(w);
        mixSize = w.bytes().size() - prefixSize;
    }
    ASSERT_GT(mixSize, 60u);

    const size_t buffer = kPackedBlockBytes;
    for (size_t k = 0; k <= mixSize; ++k) {
        // The mix starts k bytes before the end of the first buffer; one-byte
        // attribute commands fill the space before it.
        SceneWriter w(boundsHeader());
        w.layer("mix");
        while (w.bytes().size() < buffer - k) w.setRelPointSize(24);
        writeMix(w);
        w.finish();
        ASSERT_TRUE(w.ok()) << w.error();

        Outcome raw = parseBytesAs(w.bytes(), ".qmv");
        EXPECT_EQ(raw.error, "") << "mix at " << k << " bytes before the boundary";
        EXPECT_EQ(raw.events, expected) << "mix at " << k << " bytes before the boundary";

        Outcome compressed = parseBytesAs(deflateBytes(w.bytes()), ".qmvz");
        EXPECT_EQ(compressed.error, "") << "compressed, mix at " << k;
        EXPECT_EQ(compressed.events, expected) << "compressed, mix at " << k;
        if (HasFailure()) break;
    }
}

TEST(CompressedSave, TheWriterStreamInflatesToItsBytes) {
    for (int lines : {1, 20000}) {  // within one deflate buffer, and across several
        std::vector<std::string> expected;
        SceneWriter w(boundsHeader());
        w.layer("lines");
        expected.push_back("layer \"lines\" 1 0");
        for (int i = 0; i < lines; ++i) {
            w.line({static_cast<double>(i % 30000), static_cast<double>(i / 7)}, {1, -1});
            expected.push_back("line " + std::to_string(i % 30000) + " " + std::to_string(i / 7) + " 1 -1");
        }
        expected.push_back("endLayer");
        w.finish();
        ASSERT_TRUE(w.ok()) << w.error();

        TempFile zFile({}, ".qmvz");
        TempFile rawFile({}, ".qmv");
        ASSERT_TRUE(w.save(zFile.path())) << w.error();
        ASSERT_TRUE(w.save(rawFile.path())) << w.error();

        EXPECT_EQ(readWholeFile(rawFile.path()), w.bytes());
        const std::vector<uint8_t> stored = readWholeFile(zFile.path());
        // A tiny scene may grow by zlib's framing; a large one must shrink.
        if (lines > 1) {
            EXPECT_LT(stored.size(), w.bytes().size());
        }
        const Inflated inflated = inflatePrefix(stored);
        EXPECT_TRUE(inflated.complete) << "the stream has no end";
        EXPECT_EQ(inflated.bytes, w.bytes()) << lines << " lines";

        Outcome fromZ = parseFile(zFile.path());
        EXPECT_EQ(fromZ.error, "");
        EXPECT_EQ(fromZ.events, expected);
    }
}

}  // namespace
}  // namespace qmv::test
