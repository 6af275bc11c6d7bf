// Owners of the GL and GLU objects the renderer creates, so that a scene
// releases exactly what it made, also when a parse stops half-way.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>

namespace qmv::renderer {

// One display-list name; the list is deleted with its owner. Deleting needs
// the context the list was made in to be current.
class DisplayList {
public:
    DisplayList() = default;
    static DisplayList generate() { return DisplayList(glGenLists(1)); }
    ~DisplayList() { reset(); }
    DisplayList(DisplayList&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    DisplayList& operator=(DisplayList&& other) noexcept {
        if (this != &other) {
            reset();
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    GLuint name() const { return name_; }

private:
    explicit DisplayList(GLuint name) : name_(name) {}
    void reset() {
        if (name_ != 0) glDeleteLists(name_, 1);
        name_ = 0;
    }
    GLuint name_ = 0;
};

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
