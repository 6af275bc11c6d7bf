// Direction vectors for angles, judged by the angle the reader computes back
// from them in each absolute point size.
#include "qmv/writer/geometry_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "qmv/format.h"

namespace qmv::test {
namespace {

// The reader's angle of a direction: acos of the cosine, mirrored below the
// x axis against its own value of two pi.
double readerAngle(Point p) {
    if (p.x == 0.0 && p.y == 0.0) return 0.0;
    const double a = std::acos(p.x / std::sqrt(p.x * p.x + p.y * p.y));
    return p.y < 0.0 ? kFormatFullTurn - a : a;
}

TEST(WriterDirections, TheReaderRecoversTheAngle) {
    const std::pair<int, double> sizes[] = {
        {16, 1e-2}, {24, 5e-4}, {32, 3e-5}, {64, 1e-6}, {128, 1e-9}};
    for (const auto& [size, tolerance] : sizes) {
        for (double degrees = 0; degrees < 360; degrees += 7.5) {
            const double radians = degrees * std::numbers::pi / 180;
            const Point d = directionVector(radians, size);
            EXPECT_NEAR(readerAngle(d), radians, tolerance) << degrees << " degrees, size " << size;
            if (size == 64) {
                EXPECT_EQ(static_cast<double>(static_cast<float>(d.x)), d.x);
            }
        }
    }
}

}  // namespace
}  // namespace qmv::test
