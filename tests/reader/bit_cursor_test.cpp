// The bit cursor: bit order, nibble-aligned 12-bit numbers, byte reads that
// ignore the bit position, reads past the end or after an error, and the
// bits it reports skipped.
#include "qmv/bit_cursor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bit_reader.h"
#include "byte_session.h"

namespace qmv::test {
namespace {

// A cursor over its own copy of the bytes.
struct Bytes {
    std::vector<uint8_t> data;
    BitCursor in;
    Bytes(std::initializer_list<uint8_t> bytes) : data(bytes), in(data) {}
    int next() { return in.exhausted() ? -1 : *in.ready(); }
};

TEST(BitReader, ThreeBitFieldsConsumeAByteOnItsEighthBit) {
    Bytes s({0xA5, 0x5A});
    EXPECT_EQ(s.in.threeBits(false), 5);
    EXPECT_EQ(s.in.threeBits(false), 1);
    EXPECT_EQ(s.next(), 0xA5);
    EXPECT_EQ(s.in.threeBits(false), 2);  // spans the byte frontier
    EXPECT_EQ(s.next(), 0x5A);
    EXPECT_EQ(s.in.threeBits(false), 5);
    EXPECT_EQ(s.in.threeBits(false), 5);
    EXPECT_EQ(s.in.bitPosition(), 7);
    EXPECT_EQ(s.next(), 0x5A);
}

TEST(BitReader, SignedThreeBitFields) {
    Bytes s({0b1000'1101, 0});
    EXPECT_EQ(s.in.threeBits(true), -4);
    EXPECT_EQ(s.in.threeBits(true), 3);
}

TEST(BitReader, TwelveBitPairsFillThreeBytes) {
    Bytes s({0x12, 0x34, 0x56, 0x77});
    EXPECT_EQ(s.in.twelveBits(false), 0x123);
    EXPECT_EQ(s.in.bitPosition(), 4);
    EXPECT_EQ(s.next(), 0x34);
    EXPECT_EQ(s.in.twelveBits(false), 0x456);
    EXPECT_EQ(s.in.bitPosition(), 0);
    EXPECT_EQ(s.next(), 0x77);
}

TEST(BitReader, SignedTwelveBits) {
    Bytes s({0xFF, 0xF0});
    EXPECT_EQ(s.in.twelveBits(true), -1);
    EXPECT_EQ(s.in.bitPosition(), 4);
}

TEST(BitReader, TwelveBitsOffTheFrontierIsAnError) {
    Bytes s({0xFF, 0xFF, 0xFF});
    s.in.bit();
    s.in.bit();
    s.in.bit();
    EXPECT_EQ(s.in.twelveBits(false), 0);
    ASSERT_NE(s.in.failure(), nullptr);
    EXPECT_STREQ(s.in.failure(), "get1int12 called but byte frontier was no correct.");
}

TEST(BitReader, ByteReadsTakeTheWholeByteAndKeepTheBitPosition) {
    Bytes s({0xE0, 0x42, 0xFF});
    s.in.bit();
    s.in.bit();
    s.in.bit();
    EXPECT_EQ(s.in.take(), 0xE0);
    EXPECT_EQ(s.in.bitPosition(), 3);
    EXPECT_EQ(s.in.peek(), 0x42);
    EXPECT_EQ(s.in.take(), 0x42);
    // The next bit read continues at bit position 3 of 0xFF.
    EXPECT_EQ(s.in.threeBits(false), 7);
    EXPECT_EQ(s.in.bitPosition(), 6);
}

TEST(BitReader, AlignAtTheFrontierConsumesNothing) {
    Bytes s({0x11, 0x22});
    s.in.align();
    EXPECT_EQ(s.next(), 0x11);
    s.in.bit();
    s.in.align();
    EXPECT_EQ(s.next(), 0x22);
    EXPECT_EQ(s.in.bitPosition(), 0);
}

TEST(BitReader, SixteenBitNumbers) {
    Bytes s({0x80, 0x00, 0x80, 0x00});
    EXPECT_EQ(s.in.sixteenBits(true), -32768);
    EXPECT_EQ(s.in.sixteenBits(false), 32768);
}

TEST(BitReader, Reals) {
    Bytes s({0x3F, 0xF0, 0, 0, 0, 0, 0, 0, 0x3F, 0x80, 0, 0, 0x7F, 0xF0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(s.in.doubleValue(), 1.0);
    EXPECT_EQ(s.in.floatValue(), 1.0);
    EXPECT_TRUE(std::isnan(s.in.doubleValue()));  // NaNs pass through as stored
}

TEST(BitReader, EndOfDataReadsZeroWithoutAnError) {
    Bytes s({0xFF});
    EXPECT_EQ(s.in.take(), 0xFF);
    EXPECT_TRUE(s.in.atEnd());
    EXPECT_EQ(s.in.take(), 0);
    EXPECT_EQ(s.in.sixteenBits(false), 0);
    EXPECT_EQ(s.in.bit(), 0);
    EXPECT_EQ(s.in.bitPosition(), 0);
    EXPECT_EQ(s.in.failure(), nullptr);
    EXPECT_EQ(s.in.missedReads(), 4u);
}

TEST(BitReader, AfterAParseErrorEveryReadYieldsZero) {
    ByteSession s({0xAB, 0xCD});
    readerError("first");
    readerError("second");
    EXPECT_TRUE(in().atEnd());
    EXPECT_EQ(in().take(), 0);
    EXPECT_STREQ(s.error(), "first");
}

// What the text form writes back: bits passed over by a carried-over bit
// position, by alignment and by a 12-bit number at the half-byte frontier;
// a byte read whole after all takes its bits back.
TEST(BitReader, ReportsTheBitsItPassesOver) {
    struct Log : SkippedBits {
        std::vector<std::vector<int>> events;
        void skipped(uint64_t offset, uint8_t byte, uint8_t mask) override {
            events.push_back({static_cast<int>(offset), byte, mask});
        }
        void readWhole(uint64_t offset) override { events.push_back({static_cast<int>(offset)}); }
    } log;
    Bytes s({0xE0, 0x12, 0x34, 0x56, 0x78, 0x9A});
    s.in.setSkippedBits(&log);
    s.in.bit();
    s.in.bit();
    s.in.bit();
    s.in.align();           // byte 0: the five bits below the three read
    s.in.twelveBits(false); // 0x123, at the frontier: nothing skipped
    s.in.twelveBits(false); // 0x456
    s.in.bit();             // byte 4, bit 7
    s.in.take();            // ... read whole after all
    s.in.threeBits(false);  // byte 5 at bit position 1: its top bit passed over
    s.in.align();
    const std::vector<std::vector<int>> expected = {
        {0, 0xE0, 0x1F}, {4}, {5, 0x9A, 0x80}, {5, 0x9A, 0x0F}};
    EXPECT_EQ(log.events, expected);
    EXPECT_EQ(s.in.offset(), 6u);
}

TEST(BitReader, TestBitCountsFromOne) {
    EXPECT_TRUE(testBit(0x80, 8));
    EXPECT_FALSE(testBit(0x80, 7));
    EXPECT_TRUE(testBit(0x01, 1));
}

}  // namespace
}  // namespace qmv::test

namespace qmv::test {
namespace {

TEST(ErrorText, LongMessagesKeepTheirSuffix) {
    ByteSession s({0x00});
    s.ctx().lastValidOpcode = 0x31;
    const std::string message(500, 'x');
    readerError(message.c_str());
    ASSERT_NE(s.error(), nullptr);
    EXPECT_EQ(std::string(s.error()), message + " Last valid func called: 31H");
}

}  // namespace
}  // namespace qmv::test
