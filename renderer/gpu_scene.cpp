// The upload and the frame. The vertex program places every vertex
// relative to the view's centre in double-float arithmetic; everything
// after it (colour, texturing, shade model, stipple, blending, stencil) is
// the GL's fixed pipeline, set by the recordings' state commands.
#include "gpu_scene.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "layer_index.h"
#include "render_scene.h"
#include "texture_layout.h"

namespace qmv::renderer {

namespace {

const char* const kVertexProgram = R"(#version 120
attribute vec4 position;  // the scene point as high and low halves
uniform vec4 origin;      // the frame's origin, split the same way
uniform mat2 linear;      // the frame's map, after the origin
uniform vec2 offset;      // where the origin lands, from the view's centre
uniform vec2 scale;       // scene units to clip units
void main() {
    vec2 local = (position.xy - origin.xy) + (position.zw - origin.zw);
    gl_Position = vec4((linear * local + offset) * scale, 0.0, 1.0);
    gl_FrontColor = gl_Color;
    gl_TexCoord[0] = gl_MultiTexCoord0;
}
)";

bool compileProgram(GLuint program) {
    const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(shader, 1, &kVertexProgram, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) {
        glAttachShader(program, shader);
        glBindAttribLocation(program, 0, "position");
        glLinkProgram(program);
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
    }
    if (!ok) {
        char log[1024] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "qmv renderer: the vertex program failed: %s\n", log);
    }
    glDeleteShader(shader);  // goes with the program
    return ok != 0;
}

// The values of each group into a buffer of the group's size, one group
// at a time, each chunk freed once it is copied.
template <typename T>
void uploadGroups(std::vector<BufferObject>& buffers, ChunkedArray<T>& values,
                  const std::vector<uint64_t>& starts) {
    constexpr size_t kShift = ChunkedArray<T>::kChunkShift;
    for (size_t g = 0; g < starts.size(); ++g) {
        const uint64_t begin = starts[g];
        const uint64_t end = g + 1 < starts.size() ? starts[g + 1] : values.size();
        BufferObject& buffer = buffers.emplace_back(BufferObject::generate());
        glBindBuffer(GL_ARRAY_BUFFER, buffer.name());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>((end - begin) * sizeof(T)), nullptr,
                     GL_STATIC_DRAW);
        for (size_t k = begin >> kShift; (k << kShift) < end; ++k) {
            const std::span<const T> chunk = values.chunk(k);
            const uint64_t from = std::max<uint64_t>(begin, k << kShift);
            const uint64_t to = std::min<uint64_t>(end, (k << kShift) + chunk.size());
            if (to <= from) continue;
            glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>((from - begin) * sizeof(T)),
                            static_cast<GLsizeiptr>((to - from) * sizeof(T)),
                            chunk.data() + (from - (k << kShift)));
            if (to == (k << kShift) + chunk.size()) values.releaseChunk(k);
        }
    }
    values.release();
}

// The image rescaled to its power-of-two texture inside a one-texel border
// that repeats its edge.
void uploadImage(ImageEntry& image) {
    const int w = image.textureWidth;
    const int h = image.textureHeight;
    std::vector<float> texels(static_cast<size_t>(w + 2) * static_cast<size_t>(h + 2) * 4);
    gluScaleImage(GL_RGBA, image.width, image.height, GL_FLOAT, image.pixels.get(), w, h,
                  GL_FLOAT, texels.data());
    spreadWithBorder(texels, w, h);
    image.texture = TextureObject::generate();
    glBindTexture(GL_TEXTURE_2D, image.texture.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w + 2, h + 2, 1, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    image.pixels.reset();
}

struct BlendFactors {
    GLenum source;
    GLenum destination;
};

constexpr BlendFactors kBlendModes[8] = {
    {GL_ZERO, GL_ZERO},
    {GL_ONE, GL_ZERO},
    {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
    {GL_ONE_MINUS_DST_ALPHA, GL_ONE},
    {GL_DST_ALPHA, GL_ZERO},
    {GL_ZERO, GL_SRC_ALPHA},
    {GL_ONE_MINUS_DST_ALPHA, GL_ZERO},
    {GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},
};

// The solid pattern draws every fragment, as no stipple does; Mesa's
// software rasteriser draws stippled lines through a slower path, which
// took most of a map's frame.
void setDashes(uint32_t pattern) {
    if ((pattern & 0xFFFF) == 0xFFFF) {
        glDisable(GL_LINE_STIPPLE);
    } else {
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, static_cast<GLushort>(pattern));
    }
}

void setTexturing(bool on) {
    if (on) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

// The outline's fans go into the stencil by inversion, with no colour.
void beginStencilMark() {
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0xFF);
    glStencilFunc(GL_ALWAYS, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
}

// The cover draws where the stencil is set, and clears it.
void beginStencilCover() {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
}

constexpr GLenum kPrimitives[] = {GL_LINES,          GL_LINE_STRIP, GL_TRIANGLES, GL_TRIANGLE_STRIP,
                                  GL_TRIANGLE_FAN,   GL_QUADS,      GL_POLYGON};

}  // namespace

void GpuScene::upload(RenderScene& scene) {
    if (uploaded_) return;
    uploaded_ = true;
    VertexPools& pools = scene.geometry.pools;
    for (size_t k = 0; k < kPoolKinds; ++k) {
        uploadGroups(positions_[k], pools.positions[k], pools.groupStarts[k]);
    }
    uploadGroups(colours_, pools.colours, pools.groupStarts[size_t(PoolKind::Coloured)]);
    uploadGroups(texCoords_, pools.texCoords, pools.groupStarts[size_t(PoolKind::Textured)]);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (ImageEntry& image : scene.images) {
        if (image.pixels != nullptr) uploadImage(image);
    }
    ProgramObject program = ProgramObject::generate();
    if (compileProgram(program.name())) {
        program_ = std::move(program);
        originLoc_ = glGetUniformLocation(program_.name(), "origin");
        linearLoc_ = glGetUniformLocation(program_.name(), "linear");
        offsetLoc_ = glGetUniformLocation(program_.name(), "offset");
        scaleLoc_ = glGetUniformLocation(program_.name(), "scale");
    }
}

// One frame's walk over the recordings.
class FrameDrawer {
public:
    FrameDrawer(GpuScene& gpu, const RenderScene& scene, const View& view, bool topRowFirst)
        : gpu_(gpu), scene_(scene), g_(scene.geometry) {
        const ShownWindow shown = fitToClient(view.world, view.width, view.height);
        centreX_ = shown.centreX;
        centreY_ = shown.centreY;
        left_ = shown.left();
        bottom_ = shown.bottom();
        pixel_ = shown.width / view.width;
        const double margin = 2.0 * pixel_;
        Frame top;
        top.originX = centreX_;
        top.originY = centreY_;
        top.view = {shown.left() - margin, shown.bottom() - margin, shown.right() + margin,
                    shown.top() + margin};
        // Levels stay within twice their tolerance of the full strip: an
        // eighth of a pixel keeps the picture within a quarter.
        top.tolerance = gpu.useLevels_ ? pixel_ / 8.0 : 0.0;
        top_ = top;
        scaleX_ = 2.0 / shown.width;
        scaleY_ = (topRowFirst ? -2.0 : 2.0) / shown.height;
        view_ = view;
        gpu_.counts_ = {};
        gpu_.planner_.begin(shown.left(), shown.bottom(), pixel_, view.width, view.height);
    }
    FrameDrawer(const FrameDrawer&) = delete;
    FrameDrawer& operator=(const FrameDrawer&) = delete;

    // The layer's commands planned into the frame's batches, then the plan
    // finished once every visible layer is in it.
    void plan(const Recording& recording, const LayerIndex* index);
    void finishPlan() { gpu_.planner_.finish(); }
    // Draws up to `batches` more of the planned slots; true once every slot
    // is drawn. Each call sets up what it draws with and puts it away
    // again, so that other drawing may come between calls.
    bool drawSome(size_t batches);

private:
    // A recording's own coordinates: their map to the scene, the view in
    // them and the tolerance its levels may have there.
    struct Frame {
        Affine toScene;
        double originX = 0.0, originY = 0.0;
        Box view;
        double tolerance = 0.0;
    };

    void setUniforms(const Frame& frame) {
        const Position o = splitPosition(frame.originX, frame.originY);
        const Affine& m = frame.toScene;
        glUniform4f(gpu_.originLoc_, o.hx, o.hy, o.lx, o.ly);
        const GLfloat linear[4] = {float(m.a), float(m.c), float(m.b), float(m.d)};  // by columns
        glUniformMatrix2fv(gpu_.linearLoc_, 1, GL_FALSE, linear);
        glUniform2f(gpu_.offsetLoc_,
                    static_cast<GLfloat>(m.x(frame.originX, frame.originY) - centreX_),
                    static_cast<GLfloat>(m.y(frame.originX, frame.originY) - centreY_));
    }

    Frame placed(const Frame& outer, const Placement& placement, const Recording& shape) const {
        Frame frame;
        frame.toScene = placement.transform.then(outer.toScene);
        const Affine& m = frame.toScene;
        if (!shape.bounds.empty()) {
            frame.originX = (shape.bounds.xmin + shape.bounds.xmax) / 2.0;
            frame.originY = (shape.bounds.ymin + shape.bounds.ymax) / 2.0;
        }
        const double det = m.a * m.d - m.b * m.c;
        const double inf = std::numeric_limits<double>::infinity();
        if (std::isfinite(det) && std::fabs(det) > 1e-300) {
            // The scene's view in the shape's coordinates: its corners mapped back.
            const Affine inverse{m.d / det,
                                 -m.b / det,
                                 -m.c / det,
                                 m.a / det,
                                 (m.b * m.ty - m.d * m.tx) / det,
                                 (m.c * m.tx - m.a * m.ty) / det};
            frame.view = inverse.map(top_.view);
        } else {
            frame.view = {-inf, -inf, inf, inf};
        }
        const double stretch = m.stretch();
        frame.tolerance = stretch > 0.0 ? top_.tolerance / stretch : 0.0;
        return frame;
    }

    void flush() {
        if (firsts_.empty()) return;
        bindPool(batchPool_, batchGroup_);
        glMultiDrawArrays(kPrimitives[static_cast<size_t>(batchKind_)], firsts_.data(),
                          counts_.data(), static_cast<GLsizei>(firsts_.size()));
        gpu_.counts_.batches += 1;
        gpu_.counts_.pieces += firsts_.size();
        firsts_.clear();
        counts_.clear();
    }

    void bindPool(PoolKind pool, uint32_t group) {
        if (boundPool_ == static_cast<int>(pool) && boundGroup_ == group) return;
        boundPool_ = static_cast<int>(pool);
        boundGroup_ = group;
        glBindBuffer(GL_ARRAY_BUFFER, gpu_.positions_[static_cast<size_t>(pool)][group].name());
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(0);
        if (pool == PoolKind::Coloured) {
            glBindBuffer(GL_ARRAY_BUFFER, gpu_.colours_[group].name());
            glColorPointer(4, GL_FLOAT, 0, nullptr);
            glEnableClientState(GL_COLOR_ARRAY);
        } else {
            glDisableClientState(GL_COLOR_ARRAY);
        }
        if (pool == PoolKind::Textured) {
            glBindBuffer(GL_ARRAY_BUFFER, gpu_.texCoords_[group].name());
            glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }

    // The coarsest level of the item whose tolerance is at most `tolerance`.
    const Level& levelFor(const Item& item, double tolerance) const {
        const Level* levels = &g_.levels[item.levelBegin];
        size_t chosen = 0;
        for (size_t i = 1; i < item.levelCount && levels[i].tolerance <= tolerance; ++i) chosen = i;
        return levels[chosen];
    }

    void addItem(const Item& item, const Frame& frame) {
        if (!item.bounds.meets(frame.view)) return;
        if (item.kind != batchKind_ || item.pool != batchPool_) {
            flush();
            batchKind_ = item.kind;
            batchPool_ = item.pool;
        }
        const Level& level = levelFor(item, frame.tolerance);
        for (uint32_t p = level.pieceBegin; p < level.pieceEnd; ++p) {
            const Piece& piece = g_.pieces[p];
            if (level.pieceEnd - level.pieceBegin > 1 && !piece.bounds.meets(frame.view)) continue;
            if (piece.group != batchGroup_) {
                flush();
                batchGroup_ = piece.group;
            }
            firsts_.push_back(static_cast<GLint>(piece.first));
            counts_.push_back(static_cast<GLsizei>(piece.count));
            gpu_.counts_.vertices += piece.count;
        }
    }

    void bindTexture(const TextureState& state) {
        const ImageEntry* image = definedImage(scene_, state.image);
        glBindTexture(GL_TEXTURE_2D, image != nullptr ? image->texture.name() : 0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        if (state.linear != TextureState::kKeep) {
            const GLint filter = state.linear != 0 ? GL_LINEAR : GL_NEAREST;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        }
        if (state.repeat != TextureState::kKeep) {
            const GLint wrap = state.repeat != 0 ? GL_REPEAT : GL_CLAMP_TO_EDGE;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        }
    }

    void draw(const Recording& recording, const Frame& frame, size_t from = 0,
              size_t to = SIZE_MAX) {
        to = std::min(to, recording.commands.size());
        for (size_t i = from; i < to; ++i) {
            const Command& cmd = recording.commands[i];
            if (cmd.op == Op::Draw) {
                addItem(g_.items[cmd.index], frame);
                continue;
            }
            flush();
            switch (cmd.op) {
            case Op::Colour:
                glColor4fv(g_.colours[cmd.index].data());
                break;
            case Op::Blend:
                glBlendFunc(kBlendModes[cmd.index].source, kBlendModes[cmd.index].destination);
                break;
            case Op::Dashes:
                setDashes(cmd.index);
                break;
            case Op::Shade:
                glShadeModel(cmd.index != 0 ? GL_SMOOTH : GL_FLAT);
                break;
            case Op::BindTexture:
                bindTexture(g_.textures[cmd.index]);
                break;
            case Op::Texturing:
                setTexturing(cmd.index != 0);
                break;
            case Op::StencilMark:
                setTexturing(false);
                beginStencilMark();
                break;
            case Op::StencilCover:
                beginStencilCover();
                break;
            case Op::StencilOff:
                glDisable(GL_STENCIL_TEST);
                break;
            case Op::Place:
                drawPlacement(g_.placements[cmd.index], frame);
                break;
            case Op::Draw:
                break;
            }
        }
    }

    void drawPlacement(const Placement& placement, const Frame& frame) {
        if (!placement.bounds.meets(frame.view)) return;
        const ShapeEntry* shape = placedShape(scene_, placement.shape);
        if (shape == nullptr) return;
        const Frame inner = placed(frame, placement, shape->recording);
        gpu_.counts_.placements += 1;
        setUniforms(inner);
        draw(shape->recording, inner);
        flush();
        setUniforms(frame);
    }

    void planItem(const Item& item);
    void planPlacement(uint32_t index);
    // True for a piece that cannot make a fragment: an area that holds no
    // pixel centre, or lines that all lie on one point.
    bool drawsNoPixel(const Bounds& b, bool area) const {
        if (!area) return b.xmin == b.xmax && b.ymin == b.ymax;
        auto noCentre = [](double lo, double hi) { return std::ceil(lo - 0.5) > std::floor(hi - 0.5); };
        return noCentre((b.xmin - left_) / pixel_, (b.xmax - left_) / pixel_) ||
               noCentre((b.ymin - bottom_) / pixel_, (b.ymax - bottom_) / pixel_);
    }
    void planStencilFill(const Recording& recording, size_t& i);
    // Sets what differs from the state last set; `all` after a barrier,
    // which leaves the GL's state unknown.
    void applyState(const DrawState& state, bool colour);
    void drawStencilSlot(const BatchPlanner::Slot& slot,
                         const std::vector<BatchPlanner::PieceRef>& pieces);
    // The slot's fans, or its other pieces, as one draw call.
    void drawPieces(const BatchPlanner::Slot& slot, const std::vector<BatchPlanner::PieceRef>& pieces,
                    bool fans, DrawKind kind, PoolKind pool, uint32_t group);

    void drawSlot(const BatchPlanner::Slot& slot, const std::vector<BatchPlanner::PieceRef>& pieces);

    GpuScene& gpu_;
    const RenderScene& scene_;
    const SceneGeometry& g_;
    View view_;
    double scaleX_ = 1.0, scaleY_ = 1.0;
    size_t nextSlot_ = 0;
    double centreX_ = 0.0, centreY_ = 0.0, pixel_ = 1.0, left_ = 0.0, bottom_ = 0.0;
    Frame top_;
    std::vector<GLint> firsts_;
    std::vector<GLsizei> counts_;
    DrawKind batchKind_ = DrawKind::Lines;
    PoolKind batchPool_ = PoolKind::Plain;
    uint32_t batchGroup_ = 0;
    int boundPool_ = -1;
    uint32_t boundGroup_ = 0;
    // The planning walk's state, and what was last set in the GL.
    DrawState walk_;
    std::vector<uint32_t> found_;
    std::vector<BatchPlanner::PieceSpan> stencilFans_;
    std::vector<BatchPlanner::PieceSpan> stencilCovers_;
    DrawState applied_;
    bool appliedKnown_ = false;
    bool colourKnown_ = false;
};

void FrameDrawer::planItem(const Item& item) {
    if (!item.bounds.meets(top_.view)) return;
    BatchKey key;
    key.kind = item.kind;
    key.pool = item.pool;
    key.state = walk_;
    if (item.pool != PoolKind::Plain) key.state.colour = {};
    if (key.state.texturing == 0) key.state.texture = -1;
    BatchPlanner& planner = gpu_.planner_;
    const Level& level = levelFor(item, top_.tolerance);
    const bool several = level.pieceEnd - level.pieceBegin > 1;
    const bool area = item.kind != DrawKind::Lines && item.kind != DrawKind::LineStrip;
    for (uint32_t p = level.pieceBegin; p < level.pieceEnd; ++p) {
        const Piece& piece = g_.pieces[p];
        if (several && !piece.bounds.meets(top_.view)) continue;
        if (drawsNoPixel(piece.bounds, area)) continue;
        key.group = piece.group;
        planner.addPiece(key, several ? piece.bounds : item.bounds, piece.first, piece.count);
        gpu_.counts_.vertices += piece.count;
    }
}

// The commands from a stencil mark to its end: a fill for a stencil slot
// when its fans and its covers each lie in one buffer, else a barrier.
void FrameDrawer::planStencilFill(const Recording& recording, size_t& i) {
    const auto& commands = recording.commands;
    const size_t from = i;
    const DrawState entry = walk_;
    Box box;
    bool covering = false;
    bool single = true;  // every fan in one group, every cover in one
    BatchKey key;
    key.stencil = true;
    bool haveFan = false, haveCover = false;
    stencilFans_.clear();
    stencilCovers_.clear();
    for (; i < commands.size(); ++i) {
        const Command& cmd = commands[i];
        if (cmd.op == Op::Draw) {
            const Item& item = g_.items[cmd.index];
            box.add(item.bounds.box());
            if (!item.bounds.meets(top_.view)) continue;
            const Level& level = levelFor(item, top_.tolerance);
            for (uint32_t p = level.pieceBegin; p < level.pieceEnd; ++p) {
                const Piece& piece = g_.pieces[p];
                if (!piece.bounds.meets(top_.view)) continue;
                if (!covering) {
                    if (haveFan && piece.group != key.fanGroup) single = false;
                    key.fanGroup = piece.group;
                    haveFan = true;
                    stencilFans_.push_back({piece.first, piece.count});
                } else {
                    if (haveCover && (piece.group != key.group || item.kind != key.kind ||
                                      item.pool != key.pool)) {
                        single = false;
                    }
                    key.group = piece.group;
                    key.kind = item.kind;
                    key.pool = item.pool;
                    key.state = walk_;
                    haveCover = true;
                    stencilCovers_.push_back({piece.first, piece.count});
                }
                gpu_.counts_.vertices += piece.count;
            }
            continue;
        }
        uint8_t set = 0;
        noteState(walk_, set, cmd, g_);
        if (cmd.op == Op::StencilCover) covering = true;
        if (cmd.op == Op::StencilOff) break;
    }
    if (box.empty() || !box.meets(top_.view) || !haveFan || !haveCover) return;
    if (single) {
        if (key.pool != PoolKind::Plain) key.state.colour = {};
        if (key.state.texturing == 0) key.state.texture = -1;
        if (key.state.texture >= 0 &&
            g_.textures[static_cast<size_t>(key.state.texture)].linear == TextureState::kKeep) {
            single = false;  // its sampling depends on the texture's last use
        }
    }
    if (single) {
        gpu_.planner_.addStencilFill(key, box, stencilFans_, stencilCovers_);
        return;
    }
    Barrier barrier;
    barrier.recording = &recording;
    barrier.from = static_cast<uint32_t>(from);
    barrier.to = static_cast<uint32_t>(std::min(i + 1, commands.size()));
    barrier.entry = entry;
    gpu_.planner_.addBarrier(barrier, box);
}

void FrameDrawer::planPlacement(uint32_t index) {
    const Placement& placement = g_.placements[index];
    if (placedShape(scene_, placement.shape) == nullptr || !placement.bounds.meets(top_.view)) return;
    Barrier barrier;
    barrier.placement = static_cast<int>(index);
    barrier.entry = walk_;
    gpu_.planner_.addBarrier(barrier, placement.bounds.box());
}

void FrameDrawer::plan(const Recording& recording, const LayerIndex* index) {
    const auto& commands = recording.commands;
    uint8_t set = 0;
    if (index != nullptr && !index->coversMost(top_.view)) {
        // Only what the view may meet, each with its own state.
        const DrawState before = walk_;
        index->find(top_.view, found_, gpu_.marks_, gpu_.stamp_);
        for (uint32_t e : found_) {
            const LayerIndex::Entry& entry = index->entry(e);
            walk_ = LayerIndex::resolve(index->epoch(entry.epoch), before);
            const Command& cmd = commands[entry.command];
            if (cmd.op == Op::Draw) {
                planItem(g_.items[cmd.index]);
            } else if (cmd.op == Op::StencilMark) {
                size_t i = entry.command;
                planStencilFill(recording, i);
            } else if (cmd.op == Op::Place) {
                planPlacement(cmd.index);
            }
        }
        walk_ = LayerIndex::resolve(index->final(), before);
        return;
    }
    for (size_t i = 0; i < commands.size(); ++i) {
        const Command& cmd = commands[i];
        switch (cmd.op) {
        case Op::Draw: planItem(g_.items[cmd.index]); break;
        case Op::StencilMark: planStencilFill(recording, i); break;
        case Op::Place: {
            planPlacement(cmd.index);
            const ShapeEntry* shape = placedShape(scene_, g_.placements[cmd.index].shape);
            if (shape != nullptr) notePlacedState(walk_, set, shape->recording);
            break;
        }
        default: noteState(walk_, set, cmd, g_); break;
        }
    }
}

void FrameDrawer::applyState(const DrawState& s, bool colour) {
    const bool all = !appliedKnown_;
    if (s.blend >= 0 && (all || s.blend != applied_.blend)) {
        glBlendFunc(kBlendModes[s.blend].source, kBlendModes[s.blend].destination);
    }
    if (s.dashes >= 0 && (all || s.dashes != applied_.dashes)) setDashes(s.dashes);
    if (all || s.shade != applied_.shade) glShadeModel(s.shade != 0 ? GL_SMOOTH : GL_FLAT);
    if (s.texturing != 0 && s.texture >= 0 && (all || s.texture != applied_.texture)) {
        bindTexture(g_.textures[static_cast<size_t>(s.texture)]);
    }
    if (all || s.texturing != applied_.texturing) setTexturing(s.texturing != 0);
    if (colour && (!colourKnown_ || s.colour != applied_.colour)) {
        glColor4fv(s.colour.data());
        colourKnown_ = true;
    }
    const std::array<float, 4> keptColour = applied_.colour;
    applied_ = s;
    if (!colour) applied_.colour = keptColour;
    appliedKnown_ = true;
}

// Every fill of the slot marked, then every one covered: they share no
// pixel, so each pixel's stencil is its own fill's.
void FrameDrawer::drawStencilSlot(const BatchPlanner::Slot& slot,
                                  const std::vector<BatchPlanner::PieceRef>& pieces) {
    DrawState marking = slot.key.state;
    marking.texturing = 0;
    applyState(marking, false);
    beginStencilMark();
    drawPieces(slot, pieces, true, DrawKind::TriangleFan, PoolKind::Plain, slot.key.fanGroup);
    beginStencilCover();
    applyState(slot.key.state, slot.key.pool == PoolKind::Plain);
    drawPieces(slot, pieces, false, slot.key.kind, slot.key.pool, slot.key.group);
    glDisable(GL_STENCIL_TEST);
}

void FrameDrawer::drawPieces(const BatchPlanner::Slot& slot,
                             const std::vector<BatchPlanner::PieceRef>& pieces, bool fans,
                             DrawKind kind, PoolKind pool, uint32_t group) {
    for (uint32_t p = slot.pieceBegin; p < slot.pieceEnd; ++p) {
        if (pieces[p].fan != fans) continue;
        firsts_.push_back(static_cast<GLint>(pieces[p].first));
        counts_.push_back(static_cast<GLsizei>(pieces[p].count));
    }
    batchKind_ = kind;
    batchPool_ = pool;
    batchGroup_ = group;
    flush();
}

void FrameDrawer::drawSlot(const BatchPlanner::Slot& slot,
                           const std::vector<BatchPlanner::PieceRef>& pieces) {
    if (slot.barrier) {
        applyState(slot.replay.entry, false);
        if (slot.replay.placement >= 0) {
            drawPlacement(g_.placements[static_cast<size_t>(slot.replay.placement)], top_);
        } else {
            draw(*slot.replay.recording, top_, slot.replay.from, slot.replay.to);
        }
        flush();
        appliedKnown_ = false;
        colourKnown_ = false;
        return;
    }
    if (slot.pieceBegin == slot.pieceEnd) return;
    if (slot.key.stencil) {
        drawStencilSlot(slot, pieces);
        return;
    }
    applyState(slot.key.state, slot.key.pool == PoolKind::Plain);
    if (slot.key.pool == PoolKind::Coloured) colourKnown_ = false;
    drawPieces(slot, pieces, false, slot.key.kind, slot.key.pool, slot.key.group);
}

bool FrameDrawer::drawSome(size_t batches) {
    const BatchPlanner& planner = gpu_.planner_;
    const auto& slots = planner.slots();
    if (nextSlot_ >= slots.size() || gpu_.program_.name() == 0) return true;
    glViewport(0, 0, view_.width, view_.height);
    glDisable(GL_STENCIL_TEST);
    glUseProgram(gpu_.program_.name());
    glUniform2f(gpu_.scaleLoc_, static_cast<GLfloat>(scaleX_), static_cast<GLfloat>(scaleY_));
    setUniforms(top_);
    appliedKnown_ = false;
    colourKnown_ = false;
    boundPool_ = -1;
    const size_t end = batches >= slots.size() - nextSlot_ ? slots.size() : nextSlot_ + batches;
    for (; nextSlot_ < end; ++nextSlot_) drawSlot(slots[nextSlot_], planner.pieces());
    glUseProgram(0);
    glDisableVertexAttribArray(0);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return nextSlot_ >= slots.size();
}

void GpuScene::buildIndexes(const RenderScene& scene) {
    if (indexes_.size() == scene.layers.size()) return;
    indexes_.assign(scene.layers.size(), LayerIndex());
    auto placed = [&scene](const Placement& p) -> const Recording* {
        const ShapeEntry* shape = placedShape(scene, p.shape);
        return shape != nullptr ? &shape->recording : nullptr;
    };
    for (size_t i = 0; i < scene.layers.size(); ++i) {
        indexes_[i].build(scene.layers[i].recording, scene.geometry, placed);
    }
}

GpuScene::GpuScene() = default;
GpuScene::~GpuScene() = default;

void GpuScene::beginFrame(const RenderScene& scene, const View& view, bool topRowFirst) {
    frame_ = std::make_unique<FrameDrawer>(*this, scene, view, topRowFirst);
    if (useIndexes_) buildIndexes(scene);
    for (size_t i = 0; i < scene.layers.size(); ++i) {
        if (scene.layers[i].visible == 0) continue;
        frame_->plan(scene.layers[i].recording, useIndexes_ ? &indexes_[i] : nullptr);
    }
    frame_->finishPlan();
}

bool GpuScene::continueFrame(size_t batches) {
    if (frame_ == nullptr) return true;
    if (!frame_->drawSome(batches)) return false;
    frame_.reset();
    return true;
}

}  // namespace qmv::renderer
