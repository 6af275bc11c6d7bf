#include "layer_index.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace qmv::renderer {

void noteState(DrawState& s, uint8_t& set, const Command& cmd, const SceneGeometry& g) {
    switch (cmd.op) {
    case Op::Colour: s.colour = g.colours[cmd.index], set |= LayerIndex::kColour; break;
    case Op::Blend: s.blend = static_cast<int16_t>(cmd.index), set |= LayerIndex::kBlend; break;
    case Op::Dashes: s.dashes = static_cast<int32_t>(cmd.index), set |= LayerIndex::kDashes; break;
    case Op::Shade: s.shade = static_cast<int8_t>(cmd.index), set |= LayerIndex::kShade; break;
    case Op::BindTexture: s.texture = static_cast<int32_t>(cmd.index), set |= LayerIndex::kTexture; break;
    case Op::Texturing:
        s.texturing = static_cast<int8_t>(cmd.index), set |= LayerIndex::kTexturing;
        break;
    case Op::StencilMark: s.texturing = 0, set |= LayerIndex::kTexturing; break;
    default: break;
    }
}

void notePlacedState(DrawState& s, uint8_t& set, const Recording& r) {
    if (r.finalBlend >= 0) s.blend = static_cast<int16_t>(r.finalBlend), set |= LayerIndex::kBlend;
    if (r.finalDashes >= 0) s.dashes = r.finalDashes, set |= LayerIndex::kDashes;
    if (r.finalShade >= 0) s.shade = static_cast<int8_t>(r.finalShade), set |= LayerIndex::kShade;
    if (r.finalTexture >= 0) s.texture = r.finalTexture, set |= LayerIndex::kTexture;
    s.texturing = 0;
    set |= LayerIndex::kTexturing;
}

DrawState LayerIndex::resolve(const Epoch& e, const DrawState& before) {
    DrawState s = before;
    if (e.set & kColour) s.colour = e.state.colour;
    if (e.set & kBlend) s.blend = e.state.blend;
    if (e.set & kDashes) s.dashes = e.state.dashes;
    if (e.set & kShade) s.shade = e.state.shade;
    if (e.set & kTexturing) s.texturing = e.state.texturing;
    if (e.set & kTexture) s.texture = e.state.texture;
    return s;
}

namespace {

struct EpochHash {
    size_t operator()(const LayerIndex::Epoch& e) const {
        BatchKey key;
        key.state = e.state;
        key.group = e.set;
        return BatchPlanner::hashKey(key);
    }
};

}  // namespace

void LayerIndex::build(const Recording& recording, const SceneGeometry& g,
                       const PlacedRecording& placed) {
    const auto& commands = recording.commands;
    std::unordered_map<Epoch, uint32_t, EpochHash> interned;
    Epoch now;
    auto epochOf = [&] {
        auto found = interned.find(now);
        if (found != interned.end()) return found->second;
        const auto id = static_cast<uint32_t>(epochs_.size());
        epochs_.push_back(now);
        interned.emplace(now, id);
        return id;
    };
    std::vector<Box> bounds;
    for (size_t i = 0; i < commands.size(); ++i) {
        const Command& cmd = commands[i];
        if (cmd.op == Op::Draw) {
            entries_.push_back({static_cast<uint32_t>(i), epochOf()});
            bounds.push_back(g.items[cmd.index].bounds.box());
        } else if (cmd.op == Op::StencilMark) {
            entries_.push_back({static_cast<uint32_t>(i), epochOf()});
            Box box;
            for (; i < commands.size() && commands[i].op != Op::StencilOff; ++i) {
                if (commands[i].op == Op::Draw) box.add(g.items[commands[i].index].bounds.box());
                noteState(now.state, now.set, commands[i], g);
            }
            bounds.push_back(box);
        } else if (cmd.op == Op::Place) {
            const Placement& placement = g.placements[cmd.index];
            entries_.push_back({static_cast<uint32_t>(i), epochOf()});
            bounds.push_back(placement.bounds.box());
            if (const Recording* shape = placed(placement)) notePlacedState(now.state, now.set, *shape);
        } else {
            noteState(now.state, now.set, cmd, g);
        }
    }
    final_ = now;
    for (const Box& b : bounds) box_.add(b);
    if (box_.empty()) return;
    // Filed under every cell an entry meets; one meeting more than a
    // sixteenth of the grid goes on the list visited always.
    std::vector<Cells> cells(bounds.size());
    cellStart_.assign(kSide * kSide + 1, 0);
    for (size_t e = 0; e < bounds.size(); ++e) {
        if (bounds[e].empty()) {
            cells[e] = {0, 0, -1, -1};
            continue;
        }
        cells[e] = cellsOf(bounds[e]);
        const Cells& c = cells[e];
        if ((c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) > kSide * kSide / 16) {
            everywhere_.push_back(static_cast<uint32_t>(e));
            cells[e] = {0, 0, -1, -1};
            continue;
        }
        for (int y = c.y0; y <= c.y1; ++y) {
            for (int x = c.x0; x <= c.x1; ++x) ++cellStart_[y * kSide + x + 1];
        }
    }
    for (int k = 0; k < kSide * kSide; ++k) cellStart_[k + 1] += cellStart_[k];
    cellEntries_.resize(cellStart_.back());
    std::vector<uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
    for (size_t e = 0; e < bounds.size(); ++e) {
        const Cells& c = cells[e];
        for (int y = c.y0; y <= c.y1; ++y) {
            for (int x = c.x0; x <= c.x1; ++x) cellEntries_[next[y * kSide + x]++] = static_cast<uint32_t>(e);
        }
    }
}

LayerIndex::Cells LayerIndex::cellsOf(const Box& b) const {
    const double w = (box_.xmax - box_.xmin) / kSide, h = (box_.ymax - box_.ymin) / kSide;
    auto cell = [](double v, double size, int otherwise) {
        const double c = size > 0.0 ? std::floor(v / size) : 0.0;
        if (!(c >= 0.0)) return c < 0.0 ? 0 : otherwise;
        return c >= kSide ? kSide - 1 : static_cast<int>(c);
    };
    return {cell(b.xmin - box_.xmin, w, 0), cell(b.ymin - box_.ymin, h, 0),
            cell(b.xmax - box_.xmin, w, kSide - 1), cell(b.ymax - box_.ymin, h, kSide - 1)};
}

bool LayerIndex::coversMost(const Box& view) const {
    if (box_.empty() || !view.meets(box_)) return false;
    const Cells c = cellsOf(view);
    return (c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) * 4 > kSide * kSide;
}

void LayerIndex::find(const Box& view, std::vector<uint32_t>& found, std::vector<uint32_t>& marks,
                      uint32_t& stamp) const {
    found.clear();
    if (marks.size() < entries_.size()) marks.resize(entries_.size(), 0);
    if (++stamp == 0) {
        std::fill(marks.begin(), marks.end(), 0);
        stamp = 1;
    }
    found.insert(found.end(), everywhere_.begin(), everywhere_.end());
    if (!box_.empty() && view.meets(box_)) {
        const Cells c = cellsOf(view);
        for (int y = c.y0; y <= c.y1; ++y) {
            for (int x = c.x0; x <= c.x1; ++x) {
                const int k = y * kSide + x;
                for (uint32_t i = cellStart_[k]; i < cellStart_[k + 1]; ++i) {
                    const uint32_t e = cellEntries_[i];
                    if (marks[e] == stamp) continue;
                    marks[e] = stamp;
                    found.push_back(e);
                }
            }
        }
    }
    std::sort(found.begin(), found.end());
}

}  // namespace qmv::renderer
