#include "world_map.h"

#include <array>
#include <vector>

#include "drawing_colour.h"
#include "ragged_outline.h"
#include "world_borders.h"
#include "world_layout.h"

namespace qmv::bench {

namespace {

const Color kSea = rgb(126, 172, 214);
const Color kCoast = rgb(52, 82, 112);
const Color kBorder = rgb(128, 84, 84);
const std::array<Color, kLandColours> kLand = {
    rgb(214, 200, 150), rgb(186, 208, 148), rgb(230, 214, 170), rgb(166, 196, 136),
    rgb(206, 184, 140), rgb(224, 198, 158), rgb(178, 194, 120), rgb(236, 224, 188),
};
const std::array<Color, kLakeColours> kLake = {rgb(150, 192, 230), rgb(138, 182, 224)};

// Ragged borders: junction to junction, pushed less than coasts are.
constexpr double kBorderRoughness = 0.2;

SceneHeader worldHeader() {
    SceneHeader header;
    header.version = 1;
    // 64-bit points are two 32-bit floats, exact for whole numbers up to
    // 2^24; the 32-bit size holds only -32768 to 32767.
    header.absPointSize = 64;
    header.relPointSize = 16;
    header.resolution = {1, 1};
    header.lowerLeft = {-kWorldHalfWidth, -kWorldHalfHeight};
    header.upperRight = {kWorldHalfWidth, kWorldHalfHeight};
    header.mm = {360, 180};
    header.background = kSea;
    return header;
}

// One layer of polygons, each filled in its colour and then outlined.
template <size_t Colours>
PathTally writePolygons(SceneWriter& writer, const char* name,
                        const std::vector<Landform>& forms,
                        const std::array<Color, Colours>& fills) {
    writer.layer(name, true, true);
    writer.setLineColor(kCoast);
    PathTally tally;
    int fill = -1;
    for (const Landform& form : forms) {
        SceneRandom random(form.seed);
        const StepPath path = stepPathThrough(
            raggedRing(form.coarse, static_cast<size_t>(form.points), random));
        if (form.colour != fill) {
            fill = form.colour;
            writer.setFillColor(fills[static_cast<size_t>(fill)]);
        }
        writePath(writer, PathCommand::FillPolygon, path);
        writePath(writer, PathCommand::DrawPolygon, path);
        tally.add(path, 2);
    }
    return tally;
}

PathTally writeBorders(SceneWriter& writer, const std::vector<Border>& borders) {
    writer.layer("borders", true, true);
    writer.setLineColor(kBorder);
    PathTally tally;
    for (const Border& border : borders) {
        SceneRandom random(border.seed);
        const StepPath path = stepPathThrough(raggedLine(
            border.from, border.to, static_cast<size_t>(border.points), random, kBorderRoughness));
        writePath(writer, PathCommand::Polyline, path);
        tally.add(path);
    }
    return tally;
}

}  // namespace

WorldMapCounts writeWorldMap(SceneWriter& writer, const WorldMapOptions& options) {
    writer.header(worldHeader());
    const WorldLayout layout = planWorld(options.scale, options.seed);
    const std::vector<Border> borders = planBorders(layout, options.scale, options.seed + 1);
    WorldMapCounts counts;
    counts.misplaced = layout.misplaced;
    counts.continents = writePolygons(writer, "continents", layout.continents, kLand);
    counts.islands = writePolygons(writer, "islands", layout.islands, kLand);
    counts.lakes = writePolygons(writer, "lakes", layout.lakes, kLake);
    counts.borders = writeBorders(writer, borders);
    writer.finish();
    return counts;
}

}  // namespace qmv::bench
