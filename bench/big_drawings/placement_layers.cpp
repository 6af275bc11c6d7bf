#include "placement_layers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "drawing_colour.h"
#include "drawing_random.h"

namespace qmv::bench {

namespace {

// Scene units about the origin; 32-bit points hold -32768 to 32767 a
// coordinate. Seen whole at 1600 x 800 pixels a symbol is two to four
// pixels across, so the towns fill up and the country stays open.
constexpr double kHalfWidth = 32000;
constexpr double kHalfHeight = 16000;

constexpr int64_t kStampedRuns = 64000;  // each a stamp and 0 to 2 repeats
constexpr int64_t kTurned = 55000;
// The rest of the placements, up to kPlacements, are clusters and groups.
constexpr int64_t kPlacements = 200000;
constexpr int kTowns = 500;
// The share of the placements that falls in the country between the towns.
constexpr double kCountryShare = 0.08;

SceneHeader placementsHeader() {
    SceneHeader header;
    header.version = 1;
    header.absPointSize = 32;
    header.relPointSize = 16;
    header.resolution = {1, 1};
    header.lowerLeft = {-kHalfWidth, -kHalfHeight};
    header.upperRight = {kHalfWidth, kHalfHeight};
    header.mm = {320, 160};
    header.background = rgb(244, 240, 226);
    return header;
}

struct Town {
    Point centre;
    double spread;
};

// Where the symbols go: most about towns of every size, the rest anywhere.
class Sites {
public:
    explicit Sites(SceneRandom& random) : random_(random) {
        for (int i = 0; i < kTowns; ++i) {
            towns_.push_back({anywhere(), logUniformDraw(random_, 300, 3000)});
        }
    }

    Point next() {
        if (unitDraw(random_) < kCountryShare) return anywhere();
        const Town& town =
            towns_[static_cast<size_t>(random_.between(0, static_cast<int>(towns_.size()) - 1))];
        const Point offset = gaussianPairDraw(random_);
        return onMap(town.centre.x + town.spread * offset.x,
                     town.centre.y + town.spread * offset.y);
    }

    static Point onMap(double x, double y) {
        return {std::round(std::clamp(x, -kHalfWidth, kHalfWidth)),
                std::round(std::clamp(y, -kHalfHeight, kHalfHeight))};
    }

private:
    Point anywhere() {
        const double x = uniformDraw(random_, -kHalfWidth, kHalfWidth);
        const double y = uniformDraw(random_, -kHalfHeight, kHalfHeight);
        return onMap(x, y);
    }

    SceneRandom& random_;
    std::vector<Town> towns_;
};

}  // namespace

PlacementCounts writePlacementsScene(SceneWriter& writer, uint64_t seed) {
    writer.header(placementsHeader());
    PlacementCounts counts;
    counts.library = defineSymbols(writer, seed);
    const SymbolLibrary& library = counts.library;
    SceneRandom random(seed ^ 0x51735ull);
    Sites sites(random);

    // Runs of one symbol: stamped once, then repeated along a street.
    writer.layer("stamped", true, true);
    for (int64_t run = 0; run < kStampedRuns; ++run) {
        Point at = sites.next();
        const int number = random.between(0, library.symbols - 1);
        writer.stampShape(number, at);
        ++counts.stamped;
        const double heading = kTwoPi * unitDraw(random);
        const double gap = uniformDraw(random, 1.0, 1.6) * kSymbolSize;
        for (int repeats = random.between(0, 2); repeats > 0; --repeats) {
            at = Sites::onMap(at.x + gap * std::cos(heading), at.y + gap * std::sin(heading));
            writer.repeatShape(at);
            ++counts.repeated;
        }
    }

    writer.layer("turned", true, true);
    for (int64_t i = 0; i < kTurned; ++i) {
        const int number = random.between(0, library.symbols - 1);
        placeTurned(writer, number, sites.next(), 60, 180, 0.15, random);
        ++counts.turned;
    }

    // Clusters mostly, a group now and then; half stamped, half turned.
    writer.layer("clusters", true, true);
    const int64_t clusters = kPlacements - counts.stamped - counts.repeated - counts.turned;
    for (int64_t i = 0; i < clusters; ++i) {
        const int number = unitDraw(random) < 0.85
                               ? library.firstCluster() + random.between(0, library.clusters - 1)
                               : library.firstGroup() + random.between(0, library.groups - 1);
        if (unitDraw(random) < 0.5) {
            writer.stampShape(number, sites.next());
            ++counts.stamped;
        } else {
            placeTurned(writer, number, sites.next(), 60, 120, 0.15, random);
            ++counts.turned;
        }
        ++counts.clusters;
    }
    writer.finish();
    return counts;
}

}  // namespace qmv::bench
