// Damaged and hostile files: counts that claim more than the file holds,
// images too large to allocate, numbers past 255, drawings of undefined
// images, random bytes and every truncation of a valid scene. The reader must
// not crash, must stop where the data stops, and must not allocate what the
// data cannot justify; what it allocates is measured, not guessed.
#include <gtest/gtest.h>
#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "event_log.h"
#include "qmv/opcodes.h"
#include "qmv/reader.h"
#include "qmv/writer/scene_writer.h"
#include "temp_file.h"

// ------------------------------------------------------ allocation meter
// The test executable links with --wrap for malloc, calloc, realloc and free
// (extra.cmake), so every such call of the statically linked code (the reader
// among it) comes here; operator new and delete are replaced to use them too.
extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* p, size_t size);
void __real_free(void* p);
}

namespace {

struct AllocationMeter {
    bool on = false;
    long long live = 0;      // bytes held now, counted from when the meter started
    long long peak = 0;      // the most held at once
    size_t largest = 0;      // the largest single request
};

AllocationMeter g_meter;

void noteRequest(size_t size) {
    if (g_meter.on && size > g_meter.largest) g_meter.largest = size;
}

void noteAcquired(void* p) {
    if (!g_meter.on || p == nullptr) return;
    g_meter.live += static_cast<long long>(malloc_usable_size(p));
    if (g_meter.live > g_meter.peak) g_meter.peak = g_meter.live;
}

void noteReleased(void* p) {
    if (g_meter.on && p != nullptr) g_meter.live -= static_cast<long long>(malloc_usable_size(p));
}

}  // namespace

extern "C" {
void* __wrap_malloc(size_t size) {
    noteRequest(size);
    void* p = __real_malloc(size);
    noteAcquired(p);
    return p;
}
void* __wrap_calloc(size_t count, size_t size) {
    noteRequest(size != 0 && count > SIZE_MAX / size ? SIZE_MAX : count * size);
    void* p = __real_calloc(count, size);
    noteAcquired(p);
    return p;
}
void* __wrap_realloc(void* old, size_t size) {
    noteRequest(size);
    noteReleased(old);
    void* p = __real_realloc(old, size);
    // A failed realloc keeps the old block.
    noteAcquired(p != nullptr || size == 0 ? p : old);
    return p;
}
void __wrap_free(void* p) {
    noteReleased(p);
    __real_free(p);
}
}

// Straight to the wrappers, so that what operator new hands out and what
// operator delete takes back go through the same pair of functions.
void* operator new(std::size_t size) {
    void* p = __wrap_malloc(size == 0 ? 1 : size);
    if (p == nullptr) std::abort();  // no exceptions in this project
    return p;
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return __wrap_malloc(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return __wrap_malloc(size == 0 ? 1 : size); }
void operator delete(void* p) noexcept { __wrap_free(p); }
void operator delete[](void* p) noexcept { __wrap_free(p); }
void operator delete(void* p, std::size_t) noexcept { __wrap_free(p); }
void operator delete[](void* p, std::size_t) noexcept { __wrap_free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { __wrap_free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { __wrap_free(p); }

namespace qmv::test {
namespace {

// Measures the allocations made while it lives.
class AllocationWatch {
public:
    AllocationWatch() { g_meter = AllocationMeter{true, 0, 0, 0}; }
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;
    ~AllocationWatch() { g_meter.on = false; }
    size_t peak() const { return static_cast<size_t>(g_meter.peak); }
    size_t largest() const { return g_meter.largest; }
};

// What a file of a few hundred bytes may make the reader hold at once: the
// two 64 KiB container buffers, the first block of an image's pixels, the
// context and the events.
constexpr size_t kSmallParse = 1 << 20;

// A parse with the event log as client, measured.
struct Watched {
    std::string error;
    std::vector<std::string> events;
    size_t peak = 0;
    size_t largest = 0;
    ReaderContext* ctx = nullptr;  // kept for queries
    Watched() = default;
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;
    ~Watched() { readerRelease(&ctx); }

    size_t count(const std::string& word) const {
        size_t n = 0;
        for (const std::string& e : events) n += e.compare(0, word.size() + 1, word + " ") == 0 || e == word;
        return n;
    }
};

void parseWatched(const std::vector<uint8_t>& bytes, Watched& out, int callbacksEnabled = 1) {
    TempFile file(bytes);
    EventLog log;
    {
        AllocationWatch watch;
        out.error = parseWithLog(file.path(), log, callbacksEnabled, &out.ctx);
        out.peak = watch.peak();
        out.largest = watch.largest();
    }
    out.events = log.events;
}

HeaderSpec header(int absBits = 32, int relBits = 24) {
    HeaderSpec h;
    h.absPointSize = static_cast<uint8_t>(absBits);
    h.relPointSize = static_cast<uint8_t>(relBits);
    h.upperRight = {100, 100};
    return h;
}

// ------------------------------------------------ the meter itself works
TEST(AllocationMeter, SeesWhatTheReaderAllocates) {
    // A 300 x 300 image is 1.44 MB of floats (malloc'd by the reader).
    SceneWriter image(header());
    image.setColorSize(2);
    image.setImage(300, 300, std::vector<Color>(300 * 300, Color{0, 0, 0, 1}));
    image.layer("L");
    image.finish();
    // A 40000-point polyline fills a 640 KB list (operator new).
    SceneWriter path(header());
    path.layer("L");
    path.polylineSteps({0, 0}, std::vector<Point>(40000, Point{1, 1}));
    path.finish();
    ASSERT_TRUE(image.ok()) << image.error();
    ASSERT_TRUE(path.ok()) << path.error();

    Watched fromImage;
    parseWatched(image.bytes(), fromImage, 0);
    EXPECT_EQ(fromImage.error, "");
    EXPECT_GE(fromImage.largest, size_t{300 * 300 * 16});
    EXPECT_GE(fromImage.peak, size_t{300 * 300 * 16});

    Watched fromPath;
    parseWatched(path.bytes(), fromPath, 0);
    EXPECT_EQ(fromPath.error, "");
    EXPECT_GE(fromPath.largest, size_t{40000 * 16});
    EXPECT_GE(fromPath.peak, size_t{40000 * 16});
}

// ------------------------------------------- counts that the data belies
// The layer "L" then `body`, in a header of 32-bit absolute and 24-bit
// relative points.
std::vector<uint8_t> layerWith(void (*body)(SceneWriter&), int relBits = 24) {
    SceneWriter w(header(32, relBits));
    w.layer("L");
    body(w);
    return w.bytes();
}

TEST(HugeCounts, APathOfFourMillionPointsStopsWithTheData) {
    for (int opcode : {QMVR_Polyline, QMVR_DrawPolygon, QMVR_FillPolygon}) {
        SceneWriter w(header());
        w.layer("L");
        w.rawOpcode(static_cast<uint8_t>(opcode));
        w.rawPoint({1, 2}, 32);
        w.rawBytes({0xFF, 0xFF, 0xFF});  // 4194303 steps claimed, five present
        for (Point s : {Point{1, 0}, Point{0, 1}, Point{-1, 0}, Point{0, -1}, Point{5, 5}}) w.rawPoint(s, 24);

        Watched p;
        parseWatched(w.bytes(), p);
        EXPECT_EQ(p.error, "") << opcode;
        EXPECT_EQ(p.count("vertex"), 5u) << opcode;
        ASSERT_GE(p.events.size(), 8u);
        EXPECT_EQ(p.events[2], "vertex 2 2");
        EXPECT_EQ(p.events[6], "vertex 6 7");
        EXPECT_EQ(p.events[7], "end");
        EXPECT_EQ(p.events.back(), "endLayer");
        EXPECT_LT(p.peak, kSmallParse) << opcode;
    }
}

TEST(HugeCounts, BezierFiguresOfFourMillionSegmentsStopWithTheData) {
    for (int opcode : {QMVR_DrawCubicBezier, QMVR_FillCubicBezier}) {
        SceneWriter w(header());
        w.layer("L");
        w.rawOpcode(static_cast<uint8_t>(opcode));
        w.rawBytes({0xFF, 0xFF, 0xFF});
        w.rawPoint({0, 0}, 32);
        for (int i = 0; i < 6; ++i) w.rawPoint({1, 1}, 24);  // two whole segments

        Watched p;
        parseWatched(w.bytes(), p);
        EXPECT_EQ(p.error, "");
        // Two segments from the data; a filled figure adds its closing one.
        EXPECT_EQ(p.count("begin"), opcode == QMVR_DrawCubicBezier ? 2u : 3u) << opcode;
        EXPECT_EQ(p.count("vertex"), 3 * p.count("begin"));
        EXPECT_LT(p.peak, kSmallParse) << opcode;
    }
}

TEST(HugeCounts, StringsOfFourMillionBytesHoldWhatTheFileHas) {
    SceneWriter w(header());
    w.rawOpcode(QMVR_Layer);
    w.rawByte(0x80);
    w.rawBytes({0xC0, 0x00, 0x08, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'});  // 8 bytes: complete
    w.rawOpcode(QMVR_Text);
    w.rawPoint({3, 4}, 32);
    w.rawBytes({0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd', 'e'});  // 4194303 claimed, five present

    Watched p;
    parseWatched(w.bytes(), p);
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(p.events, (std::vector<std::string>{"layer \"abcdefgh\" 1 0", "text 3 4 \"abcde\"", "endLayer"}));
    EXPECT_LT(p.peak, kSmallParse);
}

// A counted list goes on into whatever follows it, so each claim below is
// the last thing in its file.
TEST(HugeCounts, AFaceOfFourMillionNumbersHoldsWhatTheFileHas) {
    Watched second;
    parseWatched(layerWith([](SceneWriter& w) {
                     w.rawOpcode(QMVR_SetFace);
                     w.rawBytes({0x02, 0x01, 0x7F});        // two signed numbers: 1, -1
                     w.rawBytes({0xFF, 0xFF, 0xFF, 0x05});  // 4194303 claimed, one present
                 }),
                 second);
    EXPECT_EQ(second.error, "");
    const Face* face = readerFace(second.ctx, 0);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->first, (std::vector<int32_t>{1, -1}));
    EXPECT_EQ(face->second, (std::vector<int32_t>{5}));
    EXPECT_EQ(face->secondCount, 1);
    EXPECT_LT(second.peak, kSmallParse);

    Watched first;
    parseWatched(layerWith([](SceneWriter& w) {
                     w.rawOpcode(QMVR_SetFace);
                     w.rawBytes({0xFF, 0xFF, 0xFF, 0x03, 0x7E});  // 4194303 claimed, two present
                 }),
                 first);
    EXPECT_EQ(first.error, "");
    face = readerFace(first.ctx, 0);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->first, (std::vector<int32_t>{3, -2}));
    EXPECT_EQ(face->firstCount, 2);
    EXPECT_EQ(face->secondCount, 0);
    EXPECT_LT(first.peak, kSmallParse);
}

TEST(HugeCounts, AnEdgeSetOfFourMillionListsOrPointsHoldsWhatTheFileHas) {
    Watched lists;
    parseWatched(layerWith([](SceneWriter& w) {
                     // 4194303 lists claimed; one present, of two 24-bit steps.
                     w.rawOpcode(QMVR_SetEdge);
                     w.rawPoint({10, 10}, 32);
                     w.rawBytes({0xFF, 0xFF, 0xFF});
                     w.rawByte(24);
                     w.rawSize(2);
                     w.rawPoint({1, 0}, 24);
                     w.rawPoint({0, 1}, 24);
                 }),
                 lists);
    EXPECT_EQ(lists.error, "");
    const EdgeSet* set = readerEdge(lists.ctx, 1);
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->count, 1);
    ASSERT_EQ(set->lists[0].count, 2);
    EXPECT_EQ(set->lists[0].points[1].x, 11);
    EXPECT_EQ(set->lists[0].points[1].y, 11);
    EXPECT_LT(lists.peak, kSmallParse);

    Watched points;
    parseWatched(layerWith([](SceneWriter& w) {
                     // One list claiming 4194303 16-bit steps, three present.
                     w.rawOpcode(QMVR_SetEdge);
                     w.rawPoint({0, 0}, 32);
                     w.rawSize(1);
                     w.rawByte(16);
                     w.rawBytes({0xFF, 0xFF, 0xFF});
                     w.rawBytes({1, 0, 1, 0, 1, 0});
                 }),
                 points);
    EXPECT_EQ(points.error, "");
    set = readerEdge(points.ctx, 1);
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->count, 1);
    ASSERT_EQ(set->lists[0].count, 3);
    EXPECT_EQ(set->lists[0].points[2].x, 3);
    EXPECT_LT(points.peak, kSmallParse);
}

// A point size that is none of the listed ones (the header's size bytes and
// an edge list's size byte are taken as they stand) reads no bits, so a
// count of such points never meets the end of the data: the reader must not
// let a claimed count alone decide how much it allocates and reports.
int g_vertexCalls = 0;
int countVertex(ReaderContext*, double, double) {
    ++g_vertexCalls;
    return 1;
}

TEST(HugeCounts, PointsOfASizeThatReadsNoBitsAreStillBoundedByTheData) {
    // A polyline claiming 4194303 steps in relative size 0 (from the
    // header), followed by a line.
    SceneWriter path(header(32, 0));
    path.layer("L");
    path.rawOpcode(QMVR_Polyline);
    path.rawPoint({1, 2}, 32);
    path.rawBytes({0xFF, 0xFF, 0xFF});
    path.rawOpcode(QMVR_Line);
    path.rawPoint({7, 8}, 32);
    // An edge list claiming 4194303 steps of size 0, followed by a mark.
    SceneWriter edge(header());
    edge.layer("L");
    edge.rawOpcode(QMVR_SetEdge);
    edge.rawPoint({0, 0}, 32);
    edge.rawSize(1);
    edge.rawByte(0);
    edge.rawBytes({0xFF, 0xFF, 0xFF});
    edge.mark({5, 5});

    for (const SceneWriter* w : {&path, &edge}) {
        const std::vector<uint8_t>& bytes = w->bytes();
        TempFile file(bytes);
        registerEventLog();
        readerSetCallback<QMVR_vertex>(countVertex);
        g_vertexCalls = 0;
        EventLog log;
        ReaderContext* ctx = nullptr;
        size_t peak = 0;
        {
            AllocationWatch watch;
            ctx = readerOpen(file.path().c_str(), &log, 1, nullptr);
            peak = watch.peak();
        }
        const char* error = readerErrorText(ctx);
        EXPECT_EQ(error, nullptr) << error;
        size_t edgePoints = 0;
        if (const EdgeSet* set = readerEdge(ctx, 1)) {
            for (const PointList& list : set->lists) edgePoints += static_cast<size_t>(list.count);
        }
        readerRelease(&ctx);
        const size_t bound = 8 * bytes.size();  // one point per bit of the file
        const char* which = w == &path ? "polyline in relative size 0" : "edge list in relative size 0";
        EXPECT_LE(static_cast<size_t>(g_vertexCalls), bound) << which << ", " << bytes.size() << "-byte file";
        EXPECT_LE(edgePoints, bound) << which;
        EXPECT_LT(peak, kSmallParse) << which << ", " << bytes.size() << "-byte file";
        // What follows the list is still read.
        EXPECT_EQ(log.events.back(), "endLayer") << which;
        EXPECT_GE(log.events.size(), 2u);
        if (log.events.size() >= 2) {
            EXPECT_EQ(log.events[log.events.size() - 2], w == &path ? "line 7 8 0 0" : "mark 5 5") << which;
        }
    }
    registerEventLog();
}

// ------------------------------------------------------------- images
std::vector<uint8_t> imageOfSize(int width, int height, const std::vector<uint8_t>& pixelBytes) {
    SceneWriter w(header());
    w.rawOpcode(QMVR_SetImage);
    w.rawBytes({static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width), static_cast<uint8_t>(height >> 8),
                static_cast<uint8_t>(height)});
    w.rawBytes(pixelBytes);
    return w.bytes();
}

TEST(HostileImages, MoreThanTwoToThe26PixelsAreRefused) {
    for (auto [width, height] : {std::pair{65535, 65535}, std::pair{8192, 8193}, std::pair{1025, 65535}}) {
        Watched p;
        parseWatched(imageOfSize(width, height, {1, 2, 3, 4, 5, 6}), p);
        EXPECT_EQ(p.error, "SetImage: Image too large.") << width << " x " << height;
        EXPECT_EQ(p.count("setImage"), 0u);
        EXPECT_LT(p.peak, kSmallParse) << width << " x " << height;
    }
}

TEST(HostileImages, TwoToThe26PixelsWithoutTheirDataAllocateLittle) {
    // 8192 x 8192 is allowed; the data ends right after the size.
    Watched p;
    parseWatched(imageOfSize(8192, 8192, {}), p);
    EXPECT_NE(p.error, "SetImage: Image too large.");
    EXPECT_EQ(p.count("setImage"), 0u);
    EXPECT_LT(p.peak, kSmallParse);
    EXPECT_LT(p.largest, kSmallParse);
}

// An image whose data ends anywhere before its last pixel is not delivered;
// one whose data is complete is.
TEST(HostileImages, AnImageCutAnywhereInItsPixelsIsNotDelivered) {
    const std::vector<uint8_t> pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};  // 2 x 2, three bytes each
    for (size_t keep = 0; keep <= pixels.size(); ++keep) {
        std::vector<uint8_t> bytes = imageOfSize(2, 2, std::vector<uint8_t>(pixels.begin(), pixels.begin() + static_cast<long>(keep)));
        if (keep == pixels.size()) {
            // Complete: a layer follows so that the file is whole.
            bytes.insert(bytes.end(), {QMVR_Layer, 0x80, 0x00});
        }
        Watched p;
        parseWatched(bytes, p);
        EXPECT_EQ(p.count("setImage"), keep == pixels.size() ? 1u : 0u) << keep << " of 12 pixel bytes";
    }
    // A single row: the data ends inside the one row there is.
    for (size_t keep = 1; keep < 6; ++keep) {
        std::vector<uint8_t> row = {10, 20, 30, 40, 50, 60};
        Watched p;
        parseWatched(imageOfSize(2, 1, std::vector<uint8_t>(row.begin(), row.begin() + static_cast<long>(keep))), p);
        EXPECT_EQ(p.count("setImage"), 0u) << "2 x 1 image, " << keep << " of 6 pixel bytes";
    }
}

// ------------------------------------------------- numbers beyond a byte
TEST(ManyDefinitions, ShapeAndImageNumbersPast255) {
    SceneWriter w(header());
    w.setColorSize(2);
    for (int i = 0; i < 300; ++i) {
        w.beginShape({static_cast<double>(i), 0});
        w.endShape();
    }
    for (int i = 0; i < 300; ++i) w.setImage(1, 1, std::vector<Color>{Color{i % 256 / 255.0, i % 256 / 255.0, i % 256 / 255.0, 1}});
    w.layer("L");
    w.stampShape(299, {1, 2});
    w.shape(256, {3, 4}, {0, 1}, {2, 2});
    w.repeatShape({5, 6});
    w.fullImage(299, {7, 8}, {9, 10});
    w.image(256, {0, 0}, {1, 1}, {11, 12}, {13, 14});
    // Image 300 is one past the last: the command reads and draws nothing.
    w.rawOpcode(QMVR_FullImage);
    w.rawSize(300);
    w.rawPoint({0, 0}, 32);
    w.rawPoint({0, 0}, 24);
    w.mark({15, 16});
    w.finish();
    ASSERT_TRUE(w.ok()) << w.error();

    Watched p;
    parseWatched(w.bytes(), p);
    EXPECT_EQ(p.error, "");
    ASSERT_EQ(p.events.size(), 600u + 300u + 8u);
    EXPECT_EQ(p.events[598], "beginSetShape 299 0 299");
    char grey[32];
    std::snprintf(grey, sizeof grey, "%.10g", static_cast<double>(static_cast<float>(299 % 256 / 255.0)));
    EXPECT_EQ(p.events[600 + 299], std::string("setImage 1 1 299 ") + grey + " " + grey + " " + grey + " 1");
    const std::vector<std::string> layer(p.events.begin() + 900, p.events.end());
    EXPECT_EQ(layer, (std::vector<std::string>{"layer \"L\" 1 0", "stamp 299 1 2",
                                               "shape 256 3 4 1.570796327 2 2", "stamp 256 5 6",
                                               "fullImage 299 7 8 9 10", "image 256 0 0 1 1 11 12 13 14",
                                               "mark 15 16", "endLayer"}));
    EXPECT_EQ(readerShapeCount(p.ctx), 300);
    EXPECT_EQ(readerImageCount(p.ctx), 300);
}

// ----------------------------------------- drawings of undefined images
// A drawing of an image not defined yet reads all of its operands and draws
// nothing; the next command is read where it stands.
TEST(UndefinedImages, AllOperandsAreReadAndTheNextCommandFollows) {
    struct Extent {
        int relBits;
        Point extent;
    };
    const Extent extents[] = {{3, {-1, 1}}, {6, {3, -4}}, {8, {-8, 7}}, {24, {100, -200}}, {128, {0.5, 1e300}}};
    for (int defined : {0, 2}) {
        for (const Extent& e : extents) {
            for (int64_t number : {int64_t{0}, int64_t{1}, int64_t{2}, int64_t{3}, int64_t{300}, int64_t{70000},
                                   int64_t{4194303}}) {
                for (bool full : {true, false}) {
                    SceneWriter w(header(32, e.relBits));
                    w.setColorSize(2);
                    for (int i = 0; i < defined; ++i) w.setImage(1, 1, std::vector<Color>{Color{0, 0, 0, 1}});
                    w.layer("L");
                    w.rawOpcode(full ? QMVR_FullImage : QMVR_Image);
                    w.rawSize(number);
                    if (!full) {
                        w.rawPoint({-3, -4}, 32);
                        w.rawPoint(e.extent, e.relBits);
                        w.rawAlign();
                    }
                    w.rawPoint({5, 6}, 32);
                    w.rawPoint(e.extent, e.relBits);
                    w.rawAlign();
                    w.line({7, 8}, {1, -1});
                    w.finish();
                    ASSERT_TRUE(w.ok()) << w.error();

                    Watched p;
                    parseWatched(w.bytes(), p);
                    std::vector<std::string> expected = {"layer \"L\" 1 0"};
                    if (number < defined) {
                        const std::string extent = (e.relBits == 128 ? std::string("0.5 1e+300")
                                                                     : std::to_string(static_cast<int>(e.extent.x)) + " " +
                                                                           std::to_string(static_cast<int>(e.extent.y)));
                        expected.push_back(full ? "fullImage " + std::to_string(number) + " 5 6 " + extent
                                                : "image " + std::to_string(number) + " -3 -4 " + extent + " 5 6 " + extent);
                    }
                    expected.push_back("line 7 8 1 -1");
                    expected.push_back("endLayer");
                    const std::vector<std::string> tail(std::find(p.events.begin(), p.events.end(), expected[0]),
                                                        p.events.end());
                    EXPECT_EQ(p.error, "");
                    EXPECT_EQ(tail, expected) << (full ? "QMVR_FullImage " : "QMVR_Image ") << number << " with "
                                              << defined << " images defined, relative size " << e.relBits;
                }
            }
        }
    }
}

// ---------------------------------------------------------- random bytes
// What must hold of the events of any input: paths are whole (a begin, its
// vertices, an end; three vertices for a Bézier segment) and the end of the
// layers is reported once, last, exactly when a layer was.
std::string structureProblem(const std::vector<std::string>& events) {
    bool inPath = false;
    bool bezier = false;
    int vertices = 0;
    int layers = 0;
    int endLayers = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        const std::string& e = events[i];
        const std::string word = e.substr(0, e.find(' '));
        if (inPath) {
            if (word == "vertex") {
                ++vertices;
                continue;
            }
            if (word != "end") return "event " + std::to_string(i) + " \"" + e + "\" inside a path";
            if (bezier && vertices != 3) return "a Bézier segment of " + std::to_string(vertices) + " vertices";
            inPath = false;
            continue;
        }
        if (word == "vertex" || word == "end") return "event " + std::to_string(i) + " \"" + e + "\" outside a path";
        if (word == "begin") {
            inPath = true;
            vertices = 0;
            bezier = e.compare(0, 8, "begin 2 ") == 0;
        }
        if (word == "layer") ++layers;
        if (word == "endLayer") {
            ++endLayers;
            if (i + 1 != events.size()) return "endLayer is not the last event";
        }
    }
    if (inPath) return "a path without end";
    if (endLayers != (layers > 0 ? 1 : 0)) {
        return std::to_string(layers) + " layers and " + std::to_string(endLayers) + " ends of the layers";
    }
    return "";
}

int g_drawEdgeCalls = 0;
int countDrawEdge(ReaderContext*, int) {
    ++g_drawEdgeCalls;
    return 1;
}

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char two[4];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02X ", b);
        s += two;
    }
    return s;
}

TEST(RandomBytes, NeverCrashNeverOverreachAndKeepTheEventsWhole) {
    const std::vector<uint8_t> validHeader = SceneWriter(header()).bytes();
    std::mt19937 rng(0xB17E5);
    int reported = 0;
    int withLayers = 0;
    for (int i = 0; i < 4000; ++i) {
        // Half pure noise; a quarter a valid header then noise; a quarter a
        // valid header and the start of a layer, then noise.
        std::vector<uint8_t> bytes;
        if (i % 4 >= 2) bytes = validHeader;
        if (i % 4 == 3) bytes.insert(bytes.end(), {QMVR_Layer, 0x80, 0x00});
        const int noise = std::uniform_int_distribution<int>(0, 200)(rng);
        for (int k = 0; k < noise; ++k) bytes.push_back(static_cast<uint8_t>(rng()));

        TempFile file(bytes);
        for (int callbacks : {1, 0}) {
            registerEventLog();
            // A range of edge sets may name millions: counted, not recorded.
            readerSetCallback<QMVR_drawEdge>(countDrawEdge);
            EventLog log;
            size_t peak = 0;
            ReaderContext* ctx = nullptr;
            {
                AllocationWatch watch;
                ctx = readerOpen(file.path().c_str(), &log, callbacks, nullptr);
                peak = watch.peak();
            }
            const char* error = readerErrorText(ctx);
            const bool emptyError = error != nullptr && *error == '\0';
            readerRelease(&ctx);

            std::string problem;
            if (callbacks == 1) {
                problem = structureProblem(log.events);
            } else if (log.events.size() > 1 || (log.events.size() == 1 && log.events[0] != "endLayer")) {
                problem = "callbacks while disabled";
            }
            if (problem.empty() && emptyError) problem = "an empty error text";
            if (problem.empty() && log.events.size() > 8 * bytes.size() + 8) {
                problem = std::to_string(log.events.size()) + " events from " + std::to_string(bytes.size()) + " bytes";
            }
            if (problem.empty() && peak >= kSmallParse) {
                problem = "held " + std::to_string(peak) + " bytes at once for a " + std::to_string(bytes.size()) +
                          "-byte file";
            }
            if (callbacks == 1 && !log.events.empty() && log.events.back() == "endLayer") ++withLayers;
            if (!problem.empty() && reported < 5) {
                ++reported;
                ADD_FAILURE() << "input " << i << " (callbacks " << callbacks << "): " << problem << "\n  bytes: "
                              << hex(bytes);
            }
        }
    }
    registerEventLog();
    // The inputs reach the layers often enough to mean something.
    EXPECT_GT(withLayers, 500);
}

// ---------------------------------------------------- every truncation
// A scene with the command boundaries noted as it is written.
struct NotedScene {
    std::vector<uint8_t> bytes;
    std::vector<size_t> boundaries;  // file lengths that end right after a command
    size_t firstLayer = 0;           // offset of the first layer's opcode
};

NotedScene notedScene() {
    NotedScene s;
    SceneWriter w(header());
    auto note = [&]() {
        EXPECT_EQ(w.bitPosition(), 0);
        s.boundaries.push_back(w.bytes().size());
    };
    note();
    w.setLineColor({1, 0, 0});
    note();
    w.setPalette(std::vector<Color>{{0, 0, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}});
    note();
    w.setColorSize(1);
    note();
    w.setFillColor(PaletteIndex{2});
    note();
    w.setColorSize(6);
    note();
    w.setImage(2, 2, std::vector<Color>{{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}});
    note();
    w.beginShape({1, 1});
    note();
    w.line({0, 0}, {5, 5});
    note();
    w.setRelPointSize(3);
    note();
    w.polylineSteps({2, 2}, std::vector<Point>{{1, 0}, {1, 1}, {0, 1}});
    note();
    w.endShape();
    note();
    w.setEdge(EdgeSetSpec{{0, 0}, {EdgeSpec{24, {{1, 0}, {1, 0}}}, EdgeSpec{3, {{0, 1}}}}});
    note();
    w.setFace(std::vector<int64_t>{1, -1}, std::vector<int64_t>{2});
    note();
    w.setBlendMode(3);
    note();
    w.setFont(5, 1, 300);
    note();
    s.firstLayer = w.bytes().size();
    w.layer("one", true, true);
    note();
    w.polylineSteps({10, 10}, std::vector<Point>{{1, 0}, {0, 2}, {-30, 40}, {2047, -2048}});
    note();
    w.text({5, 5}, "hello");
    note();
    w.beginObject("obj");
    note();
    w.fillCubicBezierSteps(2, {0, 0}, std::vector<Point>{{1, 0}, {1, 1}, {0, 1}, {-1, 0}, {-1, -2}});
    note();
    w.endObject();
    note();
    w.stampShape(0, {20, 20});
    note();
    w.fullImage(0, {0, 0}, {10, 10});
    note();
    w.drawEdge(1);
    note();
    w.fillFace(0);
    note();
    w.drawArc({50, 50}, {10, 5}, {1, 0}, {0, -1});
    note();
    w.setRelPointSize(6);
    note();
    w.drawPolygonSteps({0, 0}, std::vector<Point>{{3, 0}, {0, 3}, {-4, -4}});
    note();
    w.layer("two");
    note();
    w.fillCircle({30, 30}, 70000);
    note();
    w.drawEllipse({1, 2}, {3, -4});
    note();
    w.shape(0, {1, 1}, {0, 100}, {2, 3});
    note();
    w.image(0, {0, 0}, {1, 1}, {5, 5}, {2, 2});
    note();
    w.extension("ext", "");
    note();
    w.setLineDashes(0xF0F0);
    note();
    w.drawEdgeRange(1, 2);
    note();
    w.finish();
    EXPECT_TRUE(w.ok()) << w.error();
    s.bytes = w.bytes();
    return s;
}

struct Read {
    std::string error;
    std::vector<std::string> events;
};

Read readPrefix(const std::vector<uint8_t>& bytes, size_t length, const char* suffix = ".qmv") {
    TempFile file(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)), suffix);
    EventLog log;
    Read r;
    r.error = parseWithLog(file.path(), log);
    r.events = log.events;
    return r;
}

// The events without what the driver adds when the data ends: the end of
// the layers, and the end of a shape definition cut short.
std::vector<std::string> withoutClosing(std::vector<std::string> events) {
    if (!events.empty() && events.back() == "endLayer") events.pop_back();
    if (!events.empty() && events.back() == "endSetShape") events.pop_back();
    return events;
}

bool startsWith(const std::vector<std::string>& events, const std::vector<std::string>& prefix) {
    return prefix.size() <= events.size() && std::equal(prefix.begin(), prefix.end(), events.begin());
}

TEST(Truncation, EveryPrefixOfAValidSceneReadsItsWholeCommandsAndStops) {
    const NotedScene scene = notedScene();
    ASSERT_GT(scene.bytes.size(), 150u);
    const Read full = readPrefix(scene.bytes, scene.bytes.size());
    ASSERT_EQ(full.error, "");
    ASSERT_EQ(full.events.back(), "endLayer");

    std::vector<std::string> lastWhole;  // events of the commands before the cut
    size_t nextBoundary = 0;
    for (size_t length = 0; length <= scene.bytes.size(); ++length) {
        const Read r = readPrefix(scene.bytes, length);
        const bool atBoundary = nextBoundary < scene.boundaries.size() && scene.boundaries[nextBoundary] == length;
        if (length < 5) {
            EXPECT_EQ(r.error, "Missing header.") << length;
            EXPECT_TRUE(r.events.empty()) << length;
        } else if (length <= scene.firstLayer) {
            // A file needs a layer; no layer was reached.
            EXPECT_NE(r.error, "") << length;
            EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "endLayer"), 0) << length;
        } else {
            // A layer was begun: its end is reported once, last.
            EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "endLayer"), 1) << length;
            EXPECT_EQ(r.events.back(), "endLayer") << length;
            // Ending right after a whole command of a layer is no error.
            if (atBoundary) {
                EXPECT_EQ(r.error, "") << length;
            }
        }
        const std::vector<std::string> events = withoutClosing(r.events);
        EXPECT_TRUE(startsWith(events, lastWhole)) << "cut at " << length << " loses events of whole commands";
        if (atBoundary) {
            EXPECT_TRUE(startsWith(full.events, events)) << "cut after a command at " << length;
            lastWhole = events;
            ++nextBoundary;
        }
        if (HasFailure()) break;
    }
    EXPECT_EQ(nextBoundary, scene.boundaries.size());
}

TEST(Truncation, EveryCutOfTheCompressedSceneReadsAsTheBytesItInflatesTo) {
    const NotedScene scene = notedScene();
    TempFile whole({}, ".qmvz");
    {
        SceneWriter copy;
        copy.rawBytes(scene.bytes);
        ASSERT_TRUE(copy.save(whole.path())) << copy.error();
    }
    std::vector<uint8_t> compressed;
    {
        std::FILE* f = std::fopen(whole.path().c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = std::fgetc(f)) != EOF) compressed.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    ASSERT_GT(compressed.size(), 50u);
    for (size_t length = 0; length <= compressed.size(); ++length) {
        // How much of the scene the cut stream still holds.
        std::vector<uint8_t> inflated(scene.bytes.size());
        uLongf inflatedSize = static_cast<uLongf>(inflated.size());
        uLong used = static_cast<uLong>(length);
        const int rc = uncompress2(inflated.data(), &inflatedSize, compressed.data(), &used);
        ASSERT_TRUE(rc == Z_OK || rc == Z_BUF_ERROR || rc == Z_DATA_ERROR) << rc;
        const Read fromCut = readPrefix(compressed, length, ".qmvz");
        const Read fromPrefix = readPrefix(scene.bytes, inflatedSize);
        EXPECT_EQ(fromCut.error, fromPrefix.error) << "compressed cut at " << length;
        EXPECT_EQ(fromCut.events, fromPrefix.events) << "compressed cut at " << length;
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace qmv::test
