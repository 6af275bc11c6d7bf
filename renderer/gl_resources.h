// Owners of the GL and GLU objects the renderer creates (textures, buffers,
// the vertex program, tessellators), so that a scene
// releases exactly what it made, also when a parse stops half-way.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <utility>

namespace qmv::renderer {

// One GL object name, deleted with its owner; `Kind` says how names of
// its kind are made and deleted. Deleting needs the context the object was
// made in to be current.
template <typename Kind>
class GlObject {
public:
    GlObject() = default;
    static GlObject generate() { return GlObject(Kind::make()); }
    ~GlObject() { reset(); }
    GlObject(GlObject&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept {
        if (this != &other) {
            reset();
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;

    GLuint name() const { return name_; }

private:
    explicit GlObject(GLuint name) : name_(name) {}
    void reset() {
        if (name_ != 0) Kind::destroy(name_);
        name_ = 0;
    }
    GLuint name_ = 0;
};

struct TextureKind {
    static GLuint make() {
        GLuint name = 0;
        glGenTextures(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteTextures(1, &name); }
};

struct BufferKind {
    static GLuint make() {
        GLuint name = 0;
        glGenBuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteBuffers(1, &name); }
};
struct ProgramKind {
    static GLuint make() { return glCreateProgram(); }
    static void destroy(GLuint name) { glDeleteProgram(name); }
};

using TextureObject = GlObject<TextureKind>;
using BufferObject = GlObject<BufferKind>;
using ProgramObject = GlObject<ProgramKind>;

// A GLU tessellator object.
class Tessellator {
public:
    Tessellator() : tess_(gluNewTess()) {}
    ~Tessellator() {
        if (tess_ != nullptr) gluDeleteTess(tess_);
    }
    Tessellator(const Tessellator&) = delete;
    Tessellator& operator=(const Tessellator&) = delete;

    GLUtesselator* get() const { return tess_; }

private:
    GLUtesselator* tess_;
};

}  // namespace qmv::renderer
