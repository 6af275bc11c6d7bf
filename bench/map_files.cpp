#include "map_files.h"

#include <sys/stat.h>

#include "qmv/scenes/map_scene.h"

namespace qmv::bench {

MapFiles writeMapFiles(int64_t polylines, const std::vector<std::string>& paths) {
    MapFiles result;
    SceneWriter writer;
    const scenes::MapSceneCounts counts =
        scenes::writeMapScene(writer, {.polylines = polylines, .seed = kMapSeed});
    result.polylines = counts.polylines;
    result.layers = counts.layers;
    for (const std::string& path : paths) {
        if (!writer.save(path)) {
            result.why = writer.error();
            return result;
        }
    }
    result.ok = true;
    return result;
}

int64_t fileBytes(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    return static_cast<int64_t>(info.st_size);
}

}  // namespace qmv::bench
