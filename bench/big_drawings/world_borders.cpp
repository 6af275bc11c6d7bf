#include "world_borders.h"

#include <algorithm>
#include <cmath>

#include "drawing_random.h"
#include "shear_warp.h"

namespace qmv::bench {

namespace {

constexpr double kBorders = 49000;
// Junctions lie on a brick pattern: rows `spacing` apart, each junction
// joined to its neighbours in the row and, at every other junction, to the
// one above, so that three boundaries meet at each, as on real maps. They
// are moved by up to this share of the spacing either way, and the whole
// pattern is bent (shear_warp.h) so that its rows do not run straight.
constexpr double kJunctionJitter = 0.4;
// Of the grid's boundaries about this share is left out, each between two
// junctions where three meet, which become bends: cells merge into
// provinces of many sizes, and no border ends in the middle of the land.
// (A junction can lose only one, so a third would be the most.)
constexpr double kMergedShare = 0.22;
// Junctions this close to the coarse coast are left out, so that borders
// end near the finished coast rather than out at sea.
constexpr double kCoastGap = 0.4;  // of the spacing

struct Junction {
    Point at{};
    bool onLand = false;
};

struct Edge {
    size_t from;  // junction numbers
    size_t to;
};

// The junctions and boundaries of one continent's grid.
struct Grid {
    std::vector<Junction> junctions;
    std::vector<Edge> edges;
};

void addGrid(const Landform& continent, double spacing, uint64_t seed, Grid& grid) {
    // The jitter and the bends come from their own stream, so that the
    // spacing search and the final network see the same grid.
    SceneRandom random(seed);
    const ShearWarp bend(2, 6 * spacing, 20 * spacing, 0.1, random);
    const double margin = bend.reach() + spacing;
    const auto [low, high] = outlineBox(continent.coarse);
    const int columns = static_cast<int>((high.x - low.x + 2 * margin) / spacing) + 2;
    const int rows = static_cast<int>((high.y - low.y + 2 * margin) / spacing) + 2;
    const size_t first = grid.junctions.size();
    const auto number = [&](int column, int row) {
        return first + static_cast<size_t>(row) * static_cast<size_t>(columns) +
               static_cast<size_t>(column);
    };
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const Point regular{
                low.x - margin + (column + (row % 2) * 0.5) * spacing +
                    kJunctionJitter * spacing * uniformDraw(random, -1, 1),
                low.y - margin + row * spacing +
                    kJunctionJitter * spacing * uniformDraw(random, -1, 1)};
            Junction j{bend(regular), false};
            j.onLand = insideOutline(continent.coarse, j.at) &&
                       distanceToOutline(continent.coarse, j.at) >= kCoastGap * spacing;
            grid.junctions.push_back(j);
        }
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const size_t j = number(column, row);
            if (!grid.junctions[j].onLand) continue;
            if (column + 1 < columns && grid.junctions[number(column + 1, row)].onLand) {
                grid.edges.push_back({j, number(column + 1, row)});
            }
            if ((column + row) % 2 == 0 && row + 1 < rows &&
                grid.junctions[number(column, row + 1)].onLand) {
                grid.edges.push_back({j, number(column, row + 1)});
            }
        }
    }
}

Grid gridAt(const WorldLayout& layout, double spacing, uint64_t seed) {
    Grid grid;
    for (size_t c = 0; c < layout.continents.size(); ++c) {
        if (!layout.continents[c].polar) addGrid(layout.continents[c], spacing, seed + c, grid);
    }
    return grid;
}

// Leaves out boundaries in a random order until `wanted` are left: first
// only those between two junctions where three or more meet, then, if that
// is not enough, any.
std::vector<Edge> thinned(const Grid& grid, size_t wanted, SceneRandom& random) {
    std::vector<size_t> order(grid.edges.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    for (size_t i = order.size(); i > 1; --i) {
        std::swap(order[i - 1], order[static_cast<size_t>(random.next() % i)]);
    }
    std::vector<int> degree(grid.junctions.size(), 0);
    for (const Edge& e : grid.edges) {
        ++degree[e.from];
        ++degree[e.to];
    }
    std::vector<bool> kept(grid.edges.size(), true);
    size_t left = grid.edges.size();
    for (const bool anyEdge : {false, true}) {
        for (size_t i : order) {
            if (left <= wanted) break;
            const Edge& e = grid.edges[i];
            if (!kept[i] || (!anyEdge && (degree[e.from] < 3 || degree[e.to] < 3))) continue;
            kept[i] = false;
            --degree[e.from];
            --degree[e.to];
            --left;
        }
    }
    std::vector<Edge> edges;
    for (size_t i = 0; i < grid.edges.size(); ++i) {
        if (kept[i]) edges.push_back(grid.edges[i]);
    }
    return edges;
}

}  // namespace

std::vector<Border> planBorders(const WorldLayout& layout, double scale, uint64_t seed) {
    const auto wanted = static_cast<size_t>(std::round(kBorders * scale));
    if (wanted == 0) return {};
    // A spacing whose grid holds the borders wanted and the merged share
    // more: from the land's extent, corrected by what the grid really holds,
    // then narrowed until it is enough.
    double landArea = 0.0;
    for (const Landform& c : layout.continents) {
        if (!c.polar) landArea += outlineArea(c.coarse);
    }
    const double gridEdges = static_cast<double>(wanted) / (1.0 - kMergedShare);
    double spacing = std::sqrt(1.5 * landArea / gridEdges);
    for (int round = 0; round < 4; ++round) {
        const auto count = static_cast<double>(gridAt(layout, spacing, seed).edges.size());
        if (count <= 0) break;
        spacing *= std::sqrt(count / gridEdges) * 1.01;
    }
    Grid grid = gridAt(layout, spacing, seed);
    while (static_cast<double>(grid.edges.size()) < gridEdges) {
        spacing *= 0.98;
        grid = gridAt(layout, spacing, seed);
    }

    SceneRandom random(seed ^ 0xB0ADE25ull);
    std::vector<Border> borders;
    for (const Edge& e : thinned(grid, wanted, random)) {
        Border border;
        border.from = grid.junctions[e.from].at;
        border.to = grid.junctions[e.to].at;
        border.points = random.between(24, 100);
        border.seed = random.next();
        borders.push_back(border);
    }
    return borders;
}

}  // namespace qmv::bench
