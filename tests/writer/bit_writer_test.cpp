// The bit writer against the reader's way of taking bits and bytes apart:
// bit order, nibble-aligned 12-bit numbers, and whole bytes written while the
// bit position is inside a byte.
#include "qmv/writer/bit_writer.h"

#include <gtest/gtest.h>

#include "writer_test_support.h"

namespace qmv::test {
namespace {

TEST(WriterBits, ThreeBitFieldsRunAcrossBytesMostSignificantFirst) {
    BitWriter w;
    for (int v : {5, 1, 2, 5, 5}) w.putBits(static_cast<uint64_t>(v), 3);
    EXPECT_EQ(hex(w.bytes()), "A5 5A");
    EXPECT_EQ(w.bitPosition(), 7);
    w.alignToByte();
    EXPECT_EQ(hex(w.bytes()), "A5 5A");
    EXPECT_EQ(w.bitPosition(), 0);
}

TEST(WriterBits, TwelveBitPairsFillThreeBytes) {
    BitWriter w;
    ASSERT_TRUE(w.put12(0x123));
    EXPECT_EQ(w.bitPosition(), 4);
    ASSERT_TRUE(w.put12(0x456));
    EXPECT_EQ(w.bitPosition(), 0);
    EXPECT_EQ(hex(w.bytes()), "12 34 56");
}

TEST(WriterBits, TwelveBitsOnlyFromAByteOrHalfByteFrontier) {
    BitWriter w;
    w.putBits(0b101, 3);
    EXPECT_FALSE(w.put12(0xFFF));
    EXPECT_EQ(hex(w.bytes()), "A0");
    EXPECT_EQ(w.bitPosition(), 3);
}

TEST(WriterBits, WholeByteTakesThePartlyPackedByteAndKeepsTheBitPosition) {
    BitWriter w;
    w.putBits(0b101, 3);
    EXPECT_TRUE(w.putByte(0xA7));  // begins with the packed 101
    EXPECT_EQ(w.bitPosition(), 3);
    w.putBits(0b11111, 5);  // the next bits start three bits into a fresh byte
    EXPECT_EQ(w.bitPosition(), 0);
    EXPECT_EQ(hex(w.bytes()), "A7 1F");
}

TEST(WriterBits, WholeByteThatContradictsPackedBitsIsReported) {
    BitWriter w;
    w.putBits(0b101, 3);
    EXPECT_FALSE(w.putByte(0x40));
}

TEST(WriterBits, AlignmentAfterALeftOverBitPositionEndsAFreshByte) {
    BitWriter w;
    w.alignToByte();
    EXPECT_TRUE(w.bytes().empty());
    w.putBits(0b11, 2);
    ASSERT_TRUE(w.putByte(0xC0));
    w.alignToByte();  // the reader takes one more byte although no bit of it was read
    EXPECT_EQ(hex(w.bytes()), "C0 00");
}

}  // namespace
}  // namespace qmv::test
