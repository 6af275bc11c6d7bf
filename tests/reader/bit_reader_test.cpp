// The bit reader: bit order, nibble-aligned 12-bit numbers, byte reads that
// ignore the bit position, and reads past the end or after an error.
#include "bit_reader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "byte_session.h"

namespace qmv::test {
namespace {

TEST(BitReader, ThreeBitFieldsConsumeAByteOnItsEighthBit) {
    ByteSession s({0xA5, 0x5A});
    EXPECT_EQ(get1int3(VAL_UNSIGNED), 5);
    EXPECT_EQ(get1int3(VAL_UNSIGNED), 1);
    EXPECT_EQ(s.nextByte(), 0xA5);
    EXPECT_EQ(get1int3(VAL_UNSIGNED), 2);  // spans the byte frontier
    EXPECT_EQ(s.nextByte(), 0x5A);
    EXPECT_EQ(get1int3(VAL_UNSIGNED), 5);
    EXPECT_EQ(get1int3(VAL_UNSIGNED), 5);
    EXPECT_EQ(s.bitPos(), 7);
    EXPECT_EQ(s.nextByte(), 0x5A);
}

TEST(BitReader, SignedThreeBitFields) {
    ByteSession s({0b1000'1101, 0});
    EXPECT_EQ(get1int3(VAL_SIGNED), -4);
    EXPECT_EQ(get1int3(VAL_SIGNED), 3);
}

TEST(BitReader, TwelveBitPairsFillThreeBytes) {
    ByteSession s({0x12, 0x34, 0x56, 0x77});
    EXPECT_EQ(get1int12(VAL_UNSIGNED), 0x123);
    EXPECT_EQ(s.bitPos(), 4);
    EXPECT_EQ(s.nextByte(), 0x34);
    EXPECT_EQ(get1int12(VAL_UNSIGNED), 0x456);
    EXPECT_EQ(s.bitPos(), 0);
    EXPECT_EQ(s.nextByte(), 0x77);
}

TEST(BitReader, SignedTwelveBits) {
    ByteSession s({0xFF, 0xF0});
    EXPECT_EQ(get1int12(VAL_SIGNED), -1);
    EXPECT_EQ(s.bitPos(), 4);
}

TEST(BitReader, TwelveBitsOffTheFrontierIsAnError) {
    ByteSession s({0xFF, 0xFF, 0xFF});
    get1bit(7);
    get1bit(6);
    get1bit(5);
    EXPECT_EQ(get1int12(VAL_UNSIGNED), 0);
    ASSERT_NE(s.error(), nullptr);
    EXPECT_STREQ(s.error(), "get1int12 called but byte frontier was no correct.");
}

TEST(BitReader, ByteReadsTakeTheWholeByteAndKeepTheBitPosition) {
    ByteSession s({0xE0, 0x42, 0xFF});
    get1bit(7);
    get1bit(6);
    get1bit(5);
    EXPECT_EQ(get1Ubyte(GETMODE_TAKE), 0xE0);
    EXPECT_EQ(s.bitPos(), 3);
    EXPECT_EQ(get1Ubyte(GETMODE_PEEK), 0x42);
    EXPECT_EQ(get1Ubyte(GETMODE_TAKE), 0x42);
    // The next bit read continues at bit position 3 of 0xFF.
    EXPECT_EQ(get1int3(VAL_UNSIGNED), 7);
    EXPECT_EQ(s.bitPos(), 6);
}

TEST(BitReader, AlignAtTheFrontierConsumesNothing) {
    ByteSession s({0x11, 0x22});
    alignToByte();
    EXPECT_EQ(s.nextByte(), 0x11);
    get1bit(7);
    alignToByte();
    EXPECT_EQ(s.nextByte(), 0x22);
    EXPECT_EQ(s.bitPos(), 0);
}

TEST(BitReader, SixteenBitNumbers) {
    ByteSession s({0x80, 0x00, 0x80, 0x00});
    EXPECT_EQ(get1int16(VAL_SIGNED), -32768);
    EXPECT_EQ(get1int16(VAL_UNSIGNED), 32768);
}

TEST(BitReader, Reals) {
    ByteSession s({0x3F, 0xF0, 0, 0, 0, 0, 0, 0, 0x3F, 0x80, 0, 0, 0x7F, 0xF0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(get1double(), 1.0);
    EXPECT_EQ(get1float(), 1.0);
    EXPECT_TRUE(std::isnan(get1double()));  // NaNs pass through as stored
}

TEST(BitReader, InvalidGetModeIsReported) {
    ByteSession s({0x01});
    EXPECT_EQ(get1Ubyte(7), 0);
    EXPECT_STREQ(s.error(), "get1Ubyte: Getmode invalid.");
}

TEST(BitReader, EndOfDataReadsZeroWithoutAnError) {
    ByteSession s({0xFF});
    EXPECT_EQ(get1Ubyte(GETMODE_TAKE), 0xFF);
    EXPECT_TRUE(atEnd());
    EXPECT_EQ(get1Ubyte(GETMODE_TAKE), 0);
    EXPECT_EQ(get1int16(VAL_UNSIGNED), 0);
    EXPECT_EQ(get1bit(7), 0);
    EXPECT_EQ(s.bitPos(), 0);
    EXPECT_EQ(s.error(), nullptr);
}

TEST(BitReader, AfterAnErrorEveryReadYieldsZero) {
    ByteSession s({0xAB, 0xCD});
    readerError("first");
    readerError("second");
    EXPECT_TRUE(atEnd());
    EXPECT_EQ(get1Ubyte(GETMODE_TAKE), 0);
    EXPECT_STREQ(s.error(), "first");
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
