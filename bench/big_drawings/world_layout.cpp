#include "world_layout.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "drawing_random.h"
#include "qmv/writer/operand_writer.h"
#include "ragged_outline.h"
#include "shear_warp.h"

namespace qmv::bench {

namespace {

// The continents of a made-up world, at scale 1. Radii are half-extents
// before the outline's lumps, which reach about half as far again, and the
// bends, which move them about as much.
struct ContinentPlan {
    Point centre;
    Point radii;
    double turn;  // radians, anticlockwise
    int64_t points;
    bool polar;
};

constexpr std::array<ContinentPlan, 6> kContinents = {{
    {{450e3, 330e3}, {900e3, 330e3}, 0.08, 1161000, false},
    {{-1050e3, 250e3}, {400e3, 420e3}, -0.35, 620000, false},
    {{-780e3, -450e3}, {220e3, 300e3}, 0.3, 400000, false},
    {{300e3, -380e3}, {280e3, 250e3}, 0.2, 290000, false},
    {{1250e3, -470e3}, {250e3, 170e3}, -0.1, 170000, false},
    {{0, -835e3}, {1300e3, 50e3}, 0.0, 110000, true},
}};
constexpr int kContinentCoarse = 96;
// The bends' reach, as a share of their wavelength.
constexpr double kContinentBend = 0.16;
// Even a tiny scale keeps the continents recognisable outlines.
constexpr int64_t kContinentLeastPoints = 64;

// Features counted at scale 1; the small islands make up the rest of
// kPolygons.
constexpr int64_t kPolygons = 187000;
constexpr int64_t kMediumIslands = 400;
constexpr int64_t kMediumLakes = 30;
constexpr int64_t kSmallLakes = 16500;

// What sets a kind of feature apart. Steps are the mean step lengths of its
// outlines in units: the resolution of the data it stands for, which with a
// feature's point count sets its size. The continents' come out at 5 to 12
// units at scale 1 (the ice cap's near 60); the small features' pass the
// 16-bit steps' 127 now and then.
struct FeatureKind {
    double leastStep;
    double mostStep;
    int coarse;        // vertices of the coarse outline, at most
    double lumpiness;  // see lumpyLoop
    double mostStretch;
    int colours;  // of its layer
};
constexpr FeatureKind kMediumIsland = {5, 15, 18, 0.5, 2.5, kLandColours};
constexpr FeatureKind kSmallIsland = {8, 60, 8, 0.35, 2.0, kLandColours};
constexpr FeatureKind kMediumLake = {5, 15, 14, 0.5, 3.0, kLakeColours};
constexpr FeatureKind kSmallLake = {8, 40, 8, 0.35, 2.5, kLakeColours};

// How far the finished outline of a coarse segment can wander from it, as a
// share of the segment's length (the pushes of all levels added up, at
// their largest), so that lakes stay inland and islands off the coast.
constexpr double kWander = 0.6;

int64_t scaledCount(int64_t count, double scale) {
    return static_cast<int64_t>(std::round(static_cast<double>(count) * scale));
}

double perimeter(std::span<const Point> outline) {
    double length = 0.0;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point a = outline[i];
        const Point b = outline[(i + 1) % outline.size()];
        length += std::hypot(b.x - a.x, b.y - a.y);
    }
    return length;
}

// Points of a small island or lake: tens mostly, hundreds now and then (a
// Pareto tail from 12.3, cut at 900).
int64_t smallPoints(SceneRandom& random) {
    const double u = 1.0 - unitDraw(random);
    return std::min<int64_t>(900, static_cast<int64_t>(12.3 * std::pow(u, -0.6)));
}

// A feature of `points` vertices about the origin, for the planner to move
// to its place. Its size follows from its point count and its kind's steps,
// as in traced map data.
Landform landform(int64_t points, const FeatureKind& kind, SceneRandom& random) {
    const double step = logUniformDraw(random, kind.leastStep, kind.mostStep);
    const double stretch = std::sqrt(uniformDraw(random, 1.0, kind.mostStretch));
    const double turn = kTwoPi * unitDraw(random);
    // The refinement lengthens the outline by about a tenth to a quarter.
    const double radius = static_cast<double>(points) * step / (kTwoPi * 1.15);
    Landform form;
    form.coarse = lumpyLoop({0, 0}, {radius * stretch, radius / stretch}, turn,
                            static_cast<int>(std::min<int64_t>(points, kind.coarse)),
                            kind.lumpiness, 4, random);
    form.points = points;
    form.seed = random.next();
    form.colour = random.between(0, kind.colours - 1);
    return form;
}

// The continents' coarse outlines with their boxes, for the tests that keep
// islands at sea and lakes on land.
class Coasts {
public:
    explicit Coasts(const std::vector<Landform>& continents) : continents_(continents) {
        for (const Landform& c : continents) boxes_.push_back(outlineBox(c.coarse));
    }

    // Outside every continent, `clearance` or more from its coast.
    bool atSea(Point p, double clearance) const {
        for (size_t i = 0; i < continents_.size(); ++i) {
            const OutlineBox& b = boxes_[i];
            if (p.x < b.low.x - clearance || p.x > b.high.x + clearance ||
                p.y < b.low.y - clearance || p.y > b.high.y + clearance) {
                continue;
            }
            const std::vector<Point>& coarse = continents_[i].coarse;
            if (insideOutline(coarse, p) || distanceToOutline(coarse, p) < clearance) return false;
        }
        return true;
    }

    // Inside continent `i`, `clearance` or more from its coast.
    bool inland(size_t i, Point p, double clearance) const {
        const std::vector<Point>& coarse = continents_[i].coarse;
        return insideOutline(coarse, p) && distanceToOutline(coarse, p) >= clearance;
    }

    // A point of continent `i`'s box, drawn evenly.
    Point inBox(size_t i, SceneRandom& random) const {
        const OutlineBox& b = boxes_[i];
        return {uniformDraw(random, b.low.x, b.high.x), uniformDraw(random, b.low.y, b.high.y)};
    }

private:
    const std::vector<Landform>& continents_;
    std::vector<OutlineBox> boxes_;
};

bool inWorld(Point p, double margin) {
    return std::abs(p.x) <= kWorldHalfWidth - margin && std::abs(p.y) <= kWorldHalfHeight - margin;
}

// An index drawn with chances in proportion to `weights`; one of weight 0
// never comes up, whatever the rounding.
size_t weightedPick(const std::vector<double>& weights, SceneRandom& random) {
    double total = 0.0;
    for (double w : weights) total += w;
    double pick = uniformDraw(random, 0.0, total);
    size_t last = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] <= 0.0) continue;
        if (pick < weights[i]) return i;
        pick -= weights[i];
        last = i;
    }
    return last;
}

Point worldPoint(SceneRandom& random, double margin) {
    return {uniformDraw(random, -kWorldHalfWidth + margin, kWorldHalfWidth - margin),
            uniformDraw(random, -kWorldHalfHeight + margin, kWorldHalfHeight - margin)};
}

// Somewhere off a continent's coast, `distance` out from a vertex of its
// coarse outline, away from its centre.
Point offshore(const std::vector<Landform>& continents, const std::vector<double>& coastWeights,
               double distance, SceneRandom& random) {
    const Landform& c = continents[weightedPick(coastWeights, random)];
    const Point v = c.coarse[static_cast<size_t>(
        random.between(0, static_cast<int>(c.coarse.size()) - 1))];
    const double dx = v.x - c.centre.x;
    const double dy = v.y - c.centre.y;
    const double length = std::max(1.0, std::hypot(dx, dy));
    return {v.x + dx / length * distance, v.y + dy / length * distance};
}

class WorldPlanner {
public:
    WorldPlanner(double scale, uint64_t seed) : scale_(scale), random_(seed) {}

    WorldLayout plan() {
        planContinents();
        const Coasts coasts(layout_.continents);
        for (const Landform& c : layout_.continents) {
            coastWeights_.push_back(perimeter(c.coarse));
            landWeights_.push_back(c.polar ? 0.0 : outlineArea(c.coarse));
        }
        const int64_t medium = scaledCount(kMediumIslands, scale_);
        const int64_t mediumLakes = scaledCount(kMediumLakes, scale_);
        const int64_t smallLakes = scaledCount(kSmallLakes, scale_);
        const int64_t smallIslands =
            std::max<int64_t>(0, scaledCount(kPolygons, scale_) -
                                     static_cast<int64_t>(kContinents.size()) - medium -
                                     mediumLakes - smallLakes);
        planMediumIslands(coasts, medium);
        planSmallIslands(coasts, smallIslands);
        planMediumLakes(coasts, mediumLakes);
        planSmallLakes(coasts, smallLakes);
        return std::move(layout_);
    }

private:
    void planContinents() {
        for (size_t i = 0; i < kContinents.size(); ++i) {
            const ContinentPlan& plan = kContinents[i];
            Landform form;
            form.centre = plan.centre;
            form.coarse = lumpyLoop(plan.centre, plan.radii, plan.turn, kContinentCoarse, 0.45, 7,
                                    random_);
            // Bent, for gulfs and curving coasts; the ice cap stays a band.
            if (!plan.polar) {
                const double size = std::max(plan.radii.x, plan.radii.y);
                const ShearWarp bend(3, 0.8 * size, 2.5 * size, kContinentBend, random_);
                for (Point& p : form.coarse) p = bend(p);
                form.centre = bend(plan.centre);
            }
            form.points = std::max(kContinentLeastPoints, scaledCount(plan.points, scale_));
            form.seed = random_.next();
            form.colour = static_cast<int>(i) % kLandColours;
            form.polar = plan.polar;
            layout_.continents.push_back(std::move(form));
        }
    }

    // Islands the size of large countries' islands, apart from each other
    // and off the coasts, most of them near one.
    void planMediumIslands(const Coasts& coasts, int64_t count) {
        for (int64_t n = 0; n < count; ++n) {
            const auto points = static_cast<int64_t>(logUniformDraw(random_, 1000, 30000));
            Landform form = landform(points, kMediumIsland, random_);
            const double radius = reach(form);
            // Kept apart from the other islands where the first attempts
            // allow it, at sea in any case.
            Point centre = worldPoint(random_, radius);
            bool atSea = false;
            for (int attempt = 0; attempt < 20000; ++attempt) {
                const Point candidate =
                    unitDraw(random_) < 0.75
                        ? offshore(layout_.continents, coastWeights_,
                                   radius + logUniformDraw(random_, 20e3, 400e3), random_)
                        : worldPoint(random_, radius);
                if (!inWorld(candidate, radius) || !coasts.atSea(candidate, radius + 20e3)) {
                    continue;
                }
                centre = candidate;
                atSea = true;
                if (attempt >= 1000 || clearOfMediumIslands(centre, radius)) break;
            }
            if (!atSea) ++layout_.misplaced;
            moveTo(form, centre);
            layout_.islands.push_back(std::move(form));
            mediumPlaced_.push_back({centre, radius});
        }
    }

    // Archipelagos: islands scattered about centres off the coasts (most)
    // and out at sea.
    void planSmallIslands(const Coasts& coasts, int64_t count) {
        while (count > 0) {
            const Point hub = unitDraw(random_) < 0.8
                                  ? offshore(layout_.continents, coastWeights_,
                                             logUniformDraw(random_, 5e3, 200e3), random_)
                                  : worldPoint(random_, 20e3);
            const double spread = logUniformDraw(random_, 4e3, 50e3);
            const int members = random_.between(5, 110);
            for (int m = 0; m < members && count > 0; ++m) {
                Landform form = landform(smallPoints(random_), kSmallIsland, random_);
                const double radius = reach(form);
                for (int attempt = 0; attempt < 12; ++attempt) {
                    const Point offset = gaussianPairDraw(random_);
                    const Point centre{hub.x + spread * offset.x, hub.y + spread * offset.y};
                    if (inWorld(centre, radius) && coasts.atSea(centre, radius + 3e3)) {
                        moveTo(form, centre);
                        layout_.islands.push_back(std::move(form));
                        --count;
                        break;
                    }
                }
            }
        }
    }

    void planMediumLakes(const Coasts& coasts, int64_t count) {
        for (int64_t n = 0; n < count; ++n) {
            const auto points = static_cast<int64_t>(logUniformDraw(random_, 800, 12000));
            Landform form = landform(points, kMediumLake, random_);
            const double radius = reach(form);
            Point centre{};
            bool inland = false;
            for (int attempt = 0; attempt < 20000 && !inland; ++attempt) {
                const size_t c = weightedPick(landWeights_, random_);
                centre = coasts.inBox(c, random_);
                inland = coasts.inland(c, centre, radius + coastWander(c));
            }
            if (!inland) ++layout_.misplaced;
            moveTo(form, centre);
            layout_.lakes.push_back(std::move(form));
        }
    }

    // Lake districts: lakes scattered about centres well inland.
    void planSmallLakes(const Coasts& coasts, int64_t count) {
        while (count > 0) {
            const size_t c = weightedPick(landWeights_, random_);
            const Point hub = coasts.inBox(c, random_);
            if (!coasts.inland(c, hub, 2.0 * coastWander(c))) continue;
            const double spread = logUniformDraw(random_, 8e3, 60e3);
            const int members = random_.between(10, 150);
            for (int m = 0; m < members && count > 0; ++m) {
                Landform form = landform(smallPoints(random_), kSmallLake, random_);
                const double radius = reach(form);
                const Point offset = gaussianPairDraw(random_);
                const Point centre{hub.x + spread * offset.x, hub.y + spread * offset.y};
                if (!coasts.inland(c, centre, radius + coastWander(c))) continue;
                moveTo(form, centre);
                layout_.lakes.push_back(std::move(form));
                --count;
            }
        }
    }

    // How far continent c's finished coast may lie from its coarse outline.
    double coastWander(size_t c) const {
        const std::vector<Point>& coarse = layout_.continents[c].coarse;
        return kWander * perimeter(coarse) / static_cast<double>(coarse.size());
    }

    // The farthest a feature planned about the origin reaches, with room
    // for its own finished outline's wandering.
    static double reach(const Landform& form) {
        double farthest = 0.0;
        double longest = 0.0;
        for (size_t i = 0; i < form.coarse.size(); ++i) {
            const Point a = form.coarse[i];
            const Point b = form.coarse[(i + 1) % form.coarse.size()];
            farthest = std::max(farthest, std::hypot(a.x, a.y));
            longest = std::max(longest, std::hypot(b.x - a.x, b.y - a.y));
        }
        return farthest + kWander * longest;
    }

    static void moveTo(Landform& form, Point centre) {
        for (Point& p : form.coarse) p = {p.x + centre.x, p.y + centre.y};
        form.centre = centre;
    }

    bool clearOfMediumIslands(Point centre, double radius) const {
        for (const Placed& other : mediumPlaced_) {
            if (std::hypot(centre.x - other.centre.x, centre.y - other.centre.y) <
                1.2 * (radius + other.radius)) {
                return false;
            }
        }
        return true;
    }

    struct Placed {
        Point centre;
        double radius;
    };

    double scale_;
    SceneRandom random_;
    WorldLayout layout_;
    std::vector<double> coastWeights_;
    std::vector<double> landWeights_;
    std::vector<Placed> mediumPlaced_;
};

}  // namespace

WorldLayout planWorld(double scale, uint64_t seed) { return WorldPlanner(scale, seed).plan(); }

double largestWorldScale() {
    int64_t largest = 0;
    for (const ContinentPlan& plan : kContinents) largest = std::max(largest, plan.points);
    // Rounded down to a hundredth, so that the rounded point count fits too.
    return std::floor(static_cast<double>(kMaxSize + 1) / static_cast<double>(largest) * 100) /
           100;
}

bool insideOutline(std::span<const Point> outline, Point p) {
    bool inside = false;
    for (size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const Point a = outline[i];
        const Point b = outline[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

double distanceToOutline(std::span<const Point> outline, Point p) {
    double nearest = INFINITY;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point a = outline[i];
        const Point b = outline[(i + 1) % outline.size()];
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0)
                          : 0.0;
        nearest = std::min(nearest, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    return nearest;
}

double outlineArea(std::span<const Point> outline) {
    double twice = 0.0;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point a = outline[i];
        const Point b = outline[(i + 1) % outline.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2.0;
}

OutlineBox outlineBox(std::span<const Point> outline) {
    OutlineBox box{outline.front(), outline.front()};
    for (const Point& p : outline) {
        box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y)};
        box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y)};
    }
    return box;
}

}  // namespace qmv::bench
