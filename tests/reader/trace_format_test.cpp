// The trace's number format: 8 significant digits, trailing zeros removed but
// the decimal point kept, three-digit exponents outside 1e-1 to 1e7.
#include "trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace qmv::test {
namespace {

TEST(TraceNumbers, FixedNotation) {
    EXPECT_EQ(formatTraceNumber(1), "1.");
    EXPECT_EQ(formatTraceNumber(100), "100.");
    EXPECT_EQ(formatTraceNumber(1.5), "1.5");
    EXPECT_EQ(formatTraceNumber(0.25), "0.25");
    EXPECT_EQ(formatTraceNumber(-10), "-10.");
    EXPECT_EQ(formatTraceNumber(0), "0.");
    EXPECT_EQ(formatTraceNumber(12345678), "12345678.");
}

TEST(TraceNumbers, ExponentNotation) {
    EXPECT_EQ(formatTraceNumber(0.05), "5.e-002");
    EXPECT_EQ(formatTraceNumber(123456789), "1.2345679e+008");
    EXPECT_EQ(formatTraceNumber(-1e300), "-1.e+300");
}

TEST(TraceNumbers, RoundingCanMoveTheExponent) {
    EXPECT_EQ(formatTraceNumber(99999999.6), "1.e+008");
    EXPECT_EQ(formatTraceNumber(std::numbers::pi / 2 * 57.29564553093965), "89.99979");
}

}  // namespace
}  // namespace qmv::test
