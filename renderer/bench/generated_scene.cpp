#include "generated_scene.h"

#include <algorithm>
#include <string>
#include <vector>

#include "qmv/scenes/scene_random.h"

namespace qmv::bench {

void writeGeneratedScene(SceneWriter& w, int64_t primitives) {
    SceneHeader header;
    header.upperRight = {1000, 750};
    header.background = {1, 1, 1, 1};
    w.header(header);
    scenes::SceneRandom random(20240611);
    auto colour = [&] {
        return Color{random.between(0, 255) / 255.0, random.between(0, 255) / 255.0,
                     random.between(0, 255) / 255.0, 1.0};
    };
    const int64_t perLayer = std::max<int64_t>((primitives + 3) / 4, 1);
    if (primitives == 0) w.layer("empty");
    for (int64_t i = 0; i < primitives; ++i) {
        if (i % perLayer == 0) w.layer("layer " + std::to_string(i / perLayer));
        if (i % 64 == 0) {
            w.setLineColor(colour());
            w.setFillColor(colour());
        }
        const Point p{static_cast<double>(random.between(20, 980)),
                      static_cast<double>(random.between(20, 730))};
        const double s = random.between(2, 12);
        const double half = static_cast<double>(random.between(1, 6));
        switch (i % 8) {
        case 0:
            w.polyline({p, {p.x + s, p.y + 3}, {p.x + 2 * s, p.y - 2}, {p.x + s, p.y - s},
                        {p.x - 3, p.y - 4}});
            break;
        case 1: w.fillBox(p, {s, half}); break;
        case 2: w.drawCircle(p, static_cast<int64_t>(s)); break;
        case 3: w.fillCircle(p, static_cast<int64_t>(s)); break;
        case 4: w.line(p, {s, -s}); break;
        case 5:
            w.fillPolygon({p, {p.x + s, p.y}, {p.x + s + 3, p.y + s}, {p.x + half, p.y + s + 4},
                           {p.x - 3, p.y + s}});
            break;
        case 6: w.drawBox(p, {s, s}); break;
        default: w.mark(p); break;
        }
    }
    w.finish();
}

}  // namespace qmv::bench
