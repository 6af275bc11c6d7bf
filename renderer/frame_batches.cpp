#include "frame_batches.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qmv::renderer {

size_t BatchPlanner::hashKey(const BatchKey& k) {
    uint32_t colour[4];
    std::memcpy(colour, k.state.colour.data(), sizeof colour);
    uint64_t h = uint64_t(k.kind) | uint64_t(k.pool) << 8 | uint64_t(k.group) << 16;
    auto mix = [&h](uint64_t v) { h = (h ^ v) * 0x9E3779B97F4A7C15ull; };
    for (uint32_t c : colour) mix(c);
    mix(uint64_t(uint16_t(k.state.blend)) | uint64_t(uint32_t(k.state.dashes)) << 16);
    mix(uint64_t(uint8_t(k.state.shade)) | uint64_t(uint8_t(k.state.texturing)) << 8 |
        uint64_t(uint32_t(k.state.texture)) << 16);
    return static_cast<size_t>(h ^ (h >> 29));
}

void BatchPlanner::begin(double left, double bottom, double pixel, int width, int height) {
    left_ = left;
    bottom_ = bottom;
    cellWidth_ = pixel * std::max(width, 1) / kCellsAcross;
    cellHeight_ = pixel * std::max(height, 1) / kCellsDown;
    margin_ = pixel;  // a line reaches half a pixel past its points; a pixel is safe
    cells_.fill(0);
    slots_.clear();
    latest_.clear();
    pieces_.clear();
    sorted_.clear();
}

BatchPlanner::CellRange BatchPlanner::cellsOf(double xmin, double ymin, double xmax,
                                              double ymax) const {
    // A view of no size or of NaN sizes, and bounds past the picture or
    // not numbers, take the cells at the picture's edges.
    auto cell = [](double v, double size, int count, int otherwise) {
        const double c = std::floor(v / size);
        if (!(c >= 0.0)) return c < 0.0 ? 0 : otherwise;
        return c >= count ? count - 1 : static_cast<int>(c);
    };
    return {cell(xmin - margin_ - left_, cellWidth_, kCellsAcross, 0),
            cell(ymin - margin_ - bottom_, cellHeight_, kCellsDown, 0),
            cell(xmax + margin_ - left_, cellWidth_, kCellsAcross, kCellsAcross - 1),
            cell(ymax + margin_ - bottom_, cellHeight_, kCellsDown, kCellsDown - 1)};
}

uint32_t BatchPlanner::latestIn(const CellRange& r) const {
    uint32_t latest = 0;
    for (int y = r.y0; y <= r.y1; ++y) {
        for (int x = r.x0; x <= r.x1; ++x) latest = std::max(latest, cells_[y * kCellsAcross + x]);
    }
    return latest;
}

void BatchPlanner::mark(const CellRange& r, uint32_t slot) {
    for (int y = r.y0; y <= r.y1; ++y) {
        for (int x = r.x0; x <= r.x1; ++x) cells_[y * kCellsAcross + x] = slot + 1;
    }
}

uint32_t BatchPlanner::slotFor(const BatchKey& key, const CellRange& r, bool mayShareCells) {
    const uint32_t after = latestIn(r);  // the latest slot touching r, plus 1
    auto found = latest_.find(key);
    if (found != latest_.end() &&
        (mayShareCells ? found->second + 1 >= after : found->second + 1 > after)) {
        mark(r, found->second);
        return found->second;
    }
    const auto slot = static_cast<uint32_t>(slots_.size());
    slots_.push_back({key, false, {}, 0, 0});
    latest_[key] = slot;
    mark(r, slot);
    return slot;
}

void BatchPlanner::addPiece(const BatchKey& key, const Bounds& bounds, uint32_t first,
                            uint32_t count) {
    const uint32_t slot = slotFor(key, cellsOf(bounds.xmin, bounds.ymin, bounds.xmax, bounds.ymax), true);
    pieces_.push_back({slot, first, count, false});
}

void BatchPlanner::addStencilFill(const BatchKey& key, const Box& bounds,
                                  std::span<const PieceSpan> fans,
                                  std::span<const PieceSpan> covers) {
    const uint32_t slot = slotFor(key, cellsOf(bounds.xmin, bounds.ymin, bounds.xmax, bounds.ymax), false);
    for (const PieceSpan& f : fans) pieces_.push_back({slot, f.first, f.count, true});
    for (const PieceSpan& c : covers) pieces_.push_back({slot, c.first, c.count, false});
}

void BatchPlanner::addBarrier(const Barrier& barrier, const Box& bounds) {
    const auto slot = static_cast<uint32_t>(slots_.size());
    slots_.push_back({{}, true, barrier, 0, 0});
    mark(cellsOf(bounds.xmin, bounds.ymin, bounds.xmax, bounds.ymax), slot);
}

void BatchPlanner::finish() {
    std::vector<uint32_t> counts(slots_.size() + 1, 0);
    for (const PieceRef& p : pieces_) ++counts[p.slot + 1];
    for (size_t s = 0; s < slots_.size(); ++s) {
        counts[s + 1] += counts[s];
        slots_[s].pieceBegin = counts[s];
        slots_[s].pieceEnd = counts[s + 1];
    }
    sorted_.resize(pieces_.size());
    for (const PieceRef& p : pieces_) sorted_[counts[p.slot]++] = p;
}

}  // namespace qmv::renderer
