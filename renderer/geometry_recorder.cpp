#include "geometry_recorder.h"

#include "convex_loop.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "convex_loop.h"
#include "detail_levels.h"

namespace qmv::renderer {

namespace {

float roundedDown(double v) {
    float f = static_cast<float>(v);
    if (double(f) > v) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    return f;
}
float roundedUp(double v) {
    float f = static_cast<float>(v);
    if (double(f) < v) f = std::nextafter(f, std::numeric_limits<float>::infinity());
    return f;
}

// Shapes this small (vertices, those of their levels included, and
// commands) are copied into what places them.
constexpr uint64_t kExpandedShapeVertices = 256;

}  // namespace

Bounds Bounds::of(const Box& box) {
    if (box.empty()) return {};
    return {roundedDown(box.xmin), roundedDown(box.ymin), roundedUp(box.xmax), roundedUp(box.ymax)};
}

Affine Affine::then(const Affine& o) const {
    return {o.a * a + o.b * c, o.a * b + o.b * d,         o.c * a + o.d * c,
            o.c * b + o.d * d, o.a * tx + o.b * ty + o.tx, o.c * tx + o.d * ty + o.ty};
}

Box Affine::map(const Box& box) const {
    Box out;
    if (box.empty()) return out;
    for (double px : {box.xmin, box.xmax}) {
        for (double py : {box.ymin, box.ymax}) out.add(x(px, py), y(px, py));
    }
    return out;
}

// ------------------------------------------------------------------ state

void GeometryRecorder::setTarget(Recording* target, int dashes) {
    target_ = target;
    dashes_ = dashes;
    texturing_ = false;
    marking_ = false;
    haveLastColour_ = false;
    open_ = false;
    itemOpen_ = false;
}

void GeometryRecorder::command(Op op, uint32_t index) {
    if (target_ == nullptr) return;
    target_->commands.push_back({op, index});
    const int value = static_cast<int>(index);
    switch (op) {
    case Op::Dashes: target_->finalDashes = value; break;
    case Op::Blend: target_->finalBlend = value; break;
    case Op::Shade: target_->finalShade = value; break;
    case Op::BindTexture: target_->finalTexture = value; break;
    default: break;
    }
}

void GeometryRecorder::blend(int mode) {
    if (mode >= 0 && mode < 8) command(Op::Blend, static_cast<uint32_t>(mode));
}

void GeometryRecorder::dashes(int pattern) {
    dashes_ = pattern & 0xFFFF;
    command(Op::Dashes, static_cast<uint32_t>(dashes_));
}

void GeometryRecorder::shade(bool smooth) { command(Op::Shade, smooth ? 1u : 0u); }

void GeometryRecorder::bindTexture(const TextureState& state) {
    if (target_ == nullptr) return;
    geometry_.textures.push_back(state);
    command(Op::BindTexture, static_cast<uint32_t>(geometry_.textures.size() - 1));
}

void GeometryRecorder::texturing(bool on) {
    texturing_ = on;
    command(Op::Texturing, on ? 1u : 0u);
}

void GeometryRecorder::stencil(Op phase) {
    marking_ = phase == Op::StencilMark;
    if (marking_) texturing_ = false;  // the mark draws no texture
    command(phase, 0);
}

void GeometryRecorder::setTransform(const Affine& transform) {
    transform_ = transform;
    transformed_ = true;
}

void GeometryRecorder::clearTransform() { transformed_ = false; }

void GeometryRecorder::useColour(const std::array<float, 4>& rgba) {
    if (haveLastColour_ && rgba == lastColour_) return;
    geometry_.colours.push_back(rgba);
    command(Op::Colour, static_cast<uint32_t>(geometry_.colours.size() - 1));
    lastColour_ = rgba;
    haveLastColour_ = true;
}

// ------------------------------------------------------------- primitives

void GeometryRecorder::begin(DrawKind kind) {
    kind_ = kind;
    open_ = true;
    pending_.clear();
}

void GeometryRecorder::colour(double r, double g, double b, double a) {
    colour_ = {float(r), float(g), float(b), float(a)};
}

void GeometryRecorder::vertex(double x, double y) {
    if (!open_ || target_ == nullptr) return;
    if (transformed_) {
        const double tx = transform_.x(x, y);
        y = transform_.y(x, y);
        x = tx;
    }
    pending_.points.push_back({x, y});
    if (texturing_) {
        pending_.texCoords.push_back(texCoord_);
    } else {
        pending_.colours.push_back(colour_);
    }
}

PoolKind GeometryRecorder::poolFor(const Pending& pending) const {
    if (texturing_) return PoolKind::Textured;
    if (marking_) return PoolKind::Plain;
    const auto& first = pending.colours.front();
    for (const auto& c : pending.colours) {
        if (c != first) return PoolKind::Coloured;
    }
    return PoolKind::Plain;
}

void GeometryRecorder::storePiece(PoolKind pool, const Pending& pending,
                                  std::span<const uint32_t> order) {
    VertexPools& pools = geometry_.pools;
    const VertexPools::Place place = pools.reserve(pool, order.size());
    auto& positions = pools.positions[static_cast<size_t>(pool)];
    Box box;
    for (uint32_t i : order) {
        const Point& p = pending.points[i];
        box.add(p.x, p.y);
        positions.push_back(splitPosition(p.x, p.y));
    }
    if (pool == PoolKind::Coloured) {
        for (uint32_t i : order) pools.colours.push_back(pending.colours[i]);
    } else if (pool == PoolKind::Textured) {
        for (uint32_t i : order) pools.texCoords.push_back(pending.texCoords[i]);
    }
    geometry_.pieces.push_back(
        {place.first, static_cast<uint32_t>(order.size()), place.group, Bounds::of(box)});
}

// A solid strip is cut into pieces of at most kPiecePoints that share their
// end points; anything else is one piece.
void GeometryRecorder::addPieces(PoolKind pool, DrawKind kind, const Pending& pending,
                                 std::span<const uint32_t> order) {
    const size_t m = order.size();
    const bool cut = kind == DrawKind::LineStrip && dashesSolid() && m > kPiecePoints;
    if (!cut) {
        storePiece(pool, pending, order);
    } else {
        for (size_t start = 0; start + 1 < m; start += kPiecePoints - 1) {
            storePiece(pool, pending, order.subspan(start, std::min(kPiecePoints, m - start)));
        }
    }
    geometry_.levels.back().pieceEnd = static_cast<uint32_t>(geometry_.pieces.size());
}

void GeometryRecorder::finishItem(DrawKind kind, PoolKind pool, uint32_t levelBegin) {
    std::vector<Level>& levels = geometry_.levels;
    const Level& full = levels[levelBegin];
    Box box;
    uint64_t stored = 0;
    for (uint32_t p = full.pieceBegin; p < full.pieceEnd; ++p) {
        box.add(geometry_.pieces[p].bounds.box());
    }
    for (size_t l = levelBegin; l < levels.size(); ++l) {
        for (uint32_t p = levels[l].pieceBegin; p < levels[l].pieceEnd; ++p) {
            stored += geometry_.pieces[p].count;
        }
    }
    Item item;
    item.bounds = Bounds::of(box);
    item.levelBegin = levelBegin;
    item.levelCount = static_cast<uint16_t>(levels.size() - levelBegin);
    item.kind = kind;
    item.pool = pool;
    geometry_.items.push_back(item);
    command(Op::Draw, static_cast<uint32_t>(geometry_.items.size() - 1));
    target_->bounds.add(box);
    target_->vertices += stored;
    target_->hasLevels = target_->hasLevels || item.levelCount > 1;
    if (pool == PoolKind::Coloured) haveLastColour_ = false;  // a colour array leaves none
}

void GeometryRecorder::end() {
    if (!open_) return;
    open_ = false;
    if (target_ == nullptr || pending_.points.empty()) return;
    const PoolKind pool = poolFor(pending_);
    if (pool == PoolKind::Plain && !marking_) useColour(pending_.colours.front());
    const size_t n = pending_.points.size();
    order_.resize(n);
    std::iota(order_.begin(), order_.end(), 0u);
    const auto levelBegin = static_cast<uint32_t>(geometry_.levels.size());
    const auto pieceStart = static_cast<uint32_t>(geometry_.pieces.size());
    geometry_.levels.push_back({pieceStart, pieceStart, 0.0f});
    addPieces(pool, kind_, pending_, order_);
    if (kind_ == DrawKind::LineStrip && dashesSolid() && pool != PoolKind::Textured) {
        for (const DetailLevel& level : detailLevels(pending_.points, geometry_.extent)) {
            const auto start = static_cast<uint32_t>(geometry_.pieces.size());
            geometry_.levels.push_back({start, start, static_cast<float>(level.tolerance)});
            addPieces(pool, kind_, pending_, level.kept);
        }
    }
    finishItem(kind_, pool, levelBegin);
}

bool GeometryRecorder::addFillLevels(std::span<const Point> outline) {
    if (target_ == nullptr || target_->commands.empty()) return false;
    const Command last = target_->commands.back();
    if (last.op != Op::Draw || last.index + 1 != geometry_.items.size()) return false;
    Item& item = geometry_.items[last.index];
    if (item.kind != DrawKind::Triangles || item.pool != PoolKind::Plain ||
        item.levelBegin + item.levelCount != geometry_.levels.size()) {
        return false;
    }
    // Closed outlines repeat their first point last; thinning keeps both.
    size_t n = outline.size();
    if (n > 1 && outline[0].x == outline[n - 1].x && outline[0].y == outline[n - 1].y) --n;
    const std::span<const Point> loop = outline.first(n);
    uint64_t stored = 0;
    for (const DetailLevel& level : detailLevels(loop, geometry_.extent)) {
        const auto start = static_cast<uint32_t>(geometry_.pieces.size());
        if (level.kept.size() >= 3 && !convexLoop(loop, level.kept)) continue;
        geometry_.levels.push_back({start, start, static_cast<float>(level.tolerance)});
        if (level.kept.size() >= 3) {
            order_.clear();
            for (size_t i = 1; i + 1 < level.kept.size(); ++i) {
                order_.push_back(level.kept[0]);
                order_.push_back(level.kept[i]);
                order_.push_back(level.kept[i + 1]);
            }
            pending_.clear();
            pending_.points.assign(loop.begin(), loop.end());
            storePiece(PoolKind::Plain, pending_, order_);
            stored += order_.size();
        }
        geometry_.levels.back().pieceEnd = static_cast<uint32_t>(geometry_.pieces.size());
        ++item.levelCount;
    }
    target_->vertices += stored;
    target_->hasLevels = target_->hasLevels || item.levelCount > 1;
    return true;
}

// ------------------------------------------------- items made by the caller

void GeometryRecorder::beginItem(DrawKind kind) {
    itemKind_ = kind;
    itemOpen_ = target_ != nullptr;
    itemLevelBegin_ = static_cast<uint32_t>(geometry_.levels.size());
}

void GeometryRecorder::beginLevel(double tolerance) {
    if (!itemOpen_) return;
    const auto start = static_cast<uint32_t>(geometry_.pieces.size());
    geometry_.levels.push_back({start, start, static_cast<float>(tolerance)});
}

void GeometryRecorder::beginPiece() {
    open_ = itemOpen_;
    pending_.clear();
}

void GeometryRecorder::endPiece() {
    if (!open_) return;
    open_ = false;
    if (pending_.points.empty()) return;
    order_.resize(pending_.points.size());
    std::iota(order_.begin(), order_.end(), 0u);
    addPieces(PoolKind::Plain, itemKind_, pending_, order_);
}

void GeometryRecorder::endItem() {
    if (!itemOpen_) return;
    itemOpen_ = false;
    std::vector<Level>& levels = geometry_.levels;
    if (levels.size() == itemLevelBegin_ ||
        levels[itemLevelBegin_].pieceBegin == levels[itemLevelBegin_].pieceEnd) {
        levels.resize(itemLevelBegin_);
        return;
    }
    finishItem(itemKind_, PoolKind::Plain, itemLevelBegin_);
}

// ------------------------------------------------------------- placements

void GeometryRecorder::place(int shape, const Recording& recording, const Affine& transform) {
    if (target_ == nullptr) return;
    // A copy costs its vertices and its commands: a shape of nothing but
    // placements is no cheaper to copy than its placements.
    const uint64_t weight = recording.vertices + recording.commands.size();
    if (weight <= kExpandedShapeVertices && weight <= expansionLeft_) {
        expansionLeft_ -= weight;
        expand(recording, transform);
    } else {
        const Box box = transform.map(recording.bounds);
        geometry_.placements.push_back({shape, transform, Bounds::of(box)});
        command(Op::Place, static_cast<uint32_t>(geometry_.placements.size() - 1));
        target_->bounds.add(box);
        haveLastColour_ = false;  // the shape leaves its own colour
    }
    // What the shape leaves in force is left after it.
    if (recording.finalDashes >= 0) dashes_ = target_->finalDashes = recording.finalDashes;
    if (recording.finalBlend >= 0) target_->finalBlend = recording.finalBlend;
    if (recording.finalShade >= 0) target_->finalShade = recording.finalShade;
    if (recording.finalTexture >= 0) target_->finalTexture = recording.finalTexture;
    texturing_ = false;
    marking_ = false;
}

void GeometryRecorder::expand(const Recording& recording, const Affine& m) {
    const double stretch = m.stretch();
    for (const Command& cmd : recording.commands) {
        switch (cmd.op) {
        case Op::Draw: {
            const Item item = geometry_.items[cmd.index];
            const auto levelBegin = static_cast<uint32_t>(geometry_.levels.size());
            const size_t pool = static_cast<size_t>(item.pool);
            VertexPools& pools = geometry_.pools;
            for (uint32_t l = 0; l < item.levelCount; ++l) {
                const Level level = geometry_.levels[item.levelBegin + l];
                const auto start = static_cast<uint32_t>(geometry_.pieces.size());
                geometry_.levels.push_back(
                    {start, start, static_cast<float>(level.tolerance * stretch)});
                for (uint32_t p = level.pieceBegin; p < level.pieceEnd; ++p) {
                    const Piece piece = geometry_.pieces[p];
                    const uint64_t from = pools.groupStart(item.pool, piece.group) + piece.first;
                    const VertexPools::Place place = pools.reserve(item.pool, piece.count);
                    Box box;
                    for (uint64_t v = from; v < from + piece.count; ++v) {
                        const Position source = pools.positions[pool][v];
                        const double px = positionX(source), py = positionY(source);
                        const double x = m.x(px, py), y = m.y(px, py);
                        box.add(x, y);
                        pools.positions[pool].push_back(splitPosition(x, y));
                        if (item.pool == PoolKind::Coloured) {
                            const auto c = pools.colours[v];
                            pools.colours.push_back(c);
                        } else if (item.pool == PoolKind::Textured) {
                            const auto t = pools.texCoords[v];
                            pools.texCoords.push_back(t);
                        }
                    }
                    geometry_.pieces.push_back({place.first, piece.count, place.group, Bounds::of(box)});
                }
                geometry_.levels.back().pieceEnd = static_cast<uint32_t>(geometry_.pieces.size());
            }
            finishItem(item.kind, item.pool, levelBegin);
            break;
        }
        case Op::Colour: {
            const auto rgba = geometry_.colours[cmd.index];
            useColour(rgba);
            break;
        }
        case Op::Dashes:
            dashes(static_cast<int>(cmd.index));
            break;
        case Op::Texturing:
            texturing_ = cmd.index != 0;
            command(cmd.op, cmd.index);
            break;
        case Op::StencilMark:
        case Op::StencilCover:
        case Op::StencilOff:
            stencil(cmd.op);
            break;
        case Op::Place: {
            const Placement inner = geometry_.placements[cmd.index];
            const Affine composed = inner.transform.then(m);
            const Box box = m.map(inner.bounds.box());
            geometry_.placements.push_back({inner.shape, composed, Bounds::of(box)});
            command(Op::Place, static_cast<uint32_t>(geometry_.placements.size() - 1));
            target_->bounds.add(box);
                haveLastColour_ = false;
            break;
        }
        default:
            command(cmd.op, cmd.index);
            break;
        }
    }
}

}  // namespace qmv::renderer
