#include "bench/gl_call_counter.h"

#include <GL/glew.h>
#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace {

// libGL's own definition of an entry point that the profiler defines too.
template <typename Function>
Function nextDefinition(const char* name) {
    void* found = dlsym(RTLD_NEXT, name);
    if (!found) {
        std::fprintf(stderr, "vorn_show_profile: libGL has no %s\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

#define VORN_LIBGL(name) const auto lib_##name = nextDefinition<decltype(&::name)>(#name)

VORN_LIBGL(glBegin);
VORN_LIBGL(glEnd);
VORN_LIBGL(glDrawArrays);
VORN_LIBGL(glDrawElements);
VORN_LIBGL(glClear);
VORN_LIBGL(glVertex2f);
VORN_LIBGL(glVertex2fv);
VORN_LIBGL(glVertex2i);
VORN_LIBGL(glVertex3f);
VORN_LIBGL(glVertex3fv);
VORN_LIBGL(glEnable);
VORN_LIBGL(glDisable);
VORN_LIBGL(glLineWidth);
VORN_LIBGL(glLineStipple);
VORN_LIBGL(glBindTexture);
VORN_LIBGL(glBlendFunc);
VORN_LIBGL(glHint);
VORN_LIBGL(glMatrixMode);
VORN_LIBGL(glLoadIdentity);
VORN_LIBGL(glLoadMatrixf);
VORN_LIBGL(glMultMatrixf);
VORN_LIBGL(glOrtho);
VORN_LIBGL(glPushMatrix);
VORN_LIBGL(glPopMatrix);
VORN_LIBGL(glTranslatef);
VORN_LIBGL(glRotatef);
VORN_LIBGL(glScalef);
VORN_LIBGL(glViewport);
VORN_LIBGL(glPushAttrib);
VORN_LIBGL(glPopAttrib);

#undef VORN_LIBGL

PFNGLBINDFRAMEBUFFEREXTPROC lib_glBindFramebufferEXT = nullptr;
PFNGLBINDFRAMEBUFFERPROC lib_glBindFramebuffer = nullptr;
PFNGLACTIVETEXTUREPROC lib_glActiveTexture = nullptr;

// The last value set through each state entry point; unknown at the start
// and after glPopAttrib, which may have put anything back.
class StateShadow {
public:
    StateShadow() { forget(); }

    void forget() {
        capabilities_.fill(kUnknown);
        lineWidth_.reset();
        lineStipple_.reset();
        blendFunction_.reset();
        hints_.clear();
        matrixMode_.reset();
        activeTexture_.reset();
        boundTextures_.clear();
    }

    bool setCapability(GLenum capability, bool on) {
        if (capability >= capabilities_.size()) return true;
        const int8_t wanted = on ? 1 : 0;
        if (capabilities_[capability] == wanted) return false;
        capabilities_[capability] = wanted;
        return true;
    }
    bool setLineWidth(GLfloat width) { return replace(lineWidth_, width); }
    bool setLineStipple(GLint factor, GLushort pattern) { return replace(lineStipple_, std::pair(factor, pattern)); }
    bool setBlendFunction(GLenum source, GLenum target) { return replace(blendFunction_, std::pair(source, target)); }
    bool setHint(GLenum target, GLenum mode) { return replaceIn(hints_, target, mode); }
    bool setMatrixMode(GLenum mode) { return replace(matrixMode_, mode); }
    bool setActiveTexture(GLenum unit) { return replace(activeTexture_, unit); }
    bool bindTexture(GLenum target, GLuint texture) {
        // An unknown unit is still one unit: binds on it compare with each other.
        return replaceIn(boundTextures_, std::pair(activeTexture_.value_or(0), target), texture);
    }

private:
    static constexpr int8_t kUnknown = -1;

    template <typename Value>
    static bool replace(std::optional<Value>& last, Value value) {
        if (last == value) return false;
        last = value;
        return true;
    }
    template <typename Key, typename Value>
    static bool replaceIn(std::map<Key, Value>& last, const Key& key, Value value) {
        auto [place, added] = last.try_emplace(key, value);
        if (added) return true;
        if (place->second == value) return false;
        place->second = value;
        return true;
    }

    // Every capability is an enum below 0x10000; off, on or unknown.
    std::array<int8_t, 0x10000> capabilities_;
    std::optional<GLfloat> lineWidth_;
    std::optional<std::pair<GLint, GLushort>> lineStipple_;
    std::optional<std::pair<GLenum, GLenum>> blendFunction_;
    std::map<GLenum, GLenum> hints_;
    std::optional<GLenum> matrixMode_;
    std::optional<GLenum> activeTexture_;
    std::map<std::pair<GLenum, GLenum>, GLuint> boundTextures_;
};

GlCallCounts counts;
StateShadow shadow;
bool windowDrawingSkipped = false;
// Framebuffer objects are not part of the attribute stack: always known.
GLuint drawFramebuffer = 0;

bool dropped() { return windowDrawingSkipped && drawFramebuffer == 0; }

void countDraw(uint64_t vertices) {
    ++counts.drawCalls;
    counts.vertices += vertices;
}

void countVertex() { ++counts.vertices; }

void countState(bool changed) {
    ++counts.stateCalls;
    if (changed) ++counts.stateChanges;
}

void GLAPIENTRY countBindFramebufferEXT(GLenum target, GLuint framebuffer) {
    countState(drawFramebuffer != framebuffer);
    drawFramebuffer = framebuffer;
    lib_glBindFramebufferEXT(target, framebuffer);
}

void GLAPIENTRY countBindFramebuffer(GLenum target, GLuint framebuffer) {
    const bool drawTarget = target == GL_FRAMEBUFFER || target == GL_DRAW_FRAMEBUFFER;
    countState(!drawTarget || drawFramebuffer != framebuffer);
    if (drawTarget) drawFramebuffer = framebuffer;
    lib_glBindFramebuffer(target, framebuffer);
}

void GLAPIENTRY countActiveTexture(GLenum unit) {
    countState(shadow.setActiveTexture(unit));
    lib_glActiveTexture(unit);
}

// Hands a state call on to libGL, counted.
template <auto& next, typename... Arguments>
void passState(bool changed, Arguments... arguments) {
    countState(changed);
    next(arguments...);
}

// Hands drawing on to libGL unless it is being dropped.
template <auto& next, typename... Arguments>
void passDrawing(Arguments... arguments) {
    if (!dropped()) next(arguments...);
}

template <typename Function>
void hook(Function& entryPoint, Function& saved, Function counting) {
    if (!entryPoint) return;
    saved = entryPoint;
    entryPoint = counting;
}

}  // namespace

namespace gl_call_counter {

void hookGlewEntryPoints() {
    hook(__glewBindFramebufferEXT, lib_glBindFramebufferEXT, &countBindFramebufferEXT);
    hook(__glewBindFramebuffer, lib_glBindFramebuffer, &countBindFramebuffer);
    hook(__glewActiveTexture, lib_glActiveTexture, &countActiveTexture);
}

GlCallCounts take() { return std::exchange(counts, GlCallCounts{}); }

void setWindowDrawingSkipped(bool skipped) { windowDrawingSkipped = skipped; }

bool drawingIntoWindow() { return drawFramebuffer == 0; }

}  // namespace gl_call_counter

extern "C" {

void GLAPIENTRY glBegin(GLenum mode) {
    countDraw(0);
    passDrawing<lib_glBegin>(mode);
}
void GLAPIENTRY glEnd() { passDrawing<lib_glEnd>(); }
void GLAPIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    countDraw(static_cast<uint64_t>(count));
    passDrawing<lib_glDrawArrays>(mode, first, count);
}
void GLAPIENTRY glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    countDraw(static_cast<uint64_t>(count));
    passDrawing<lib_glDrawElements>(mode, count, type, indices);
}
void GLAPIENTRY glClear(GLbitfield mask) { passDrawing<lib_glClear>(mask); }

void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) {
    countVertex();
    passDrawing<lib_glVertex2f>(x, y);
}
void GLAPIENTRY glVertex2fv(const GLfloat* v) {
    countVertex();
    passDrawing<lib_glVertex2fv>(v);
}
void GLAPIENTRY glVertex2i(GLint x, GLint y) {
    countVertex();
    passDrawing<lib_glVertex2i>(x, y);
}
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    countVertex();
    passDrawing<lib_glVertex3f>(x, y, z);
}
void GLAPIENTRY glVertex3fv(const GLfloat* v) {
    countVertex();
    passDrawing<lib_glVertex3fv>(v);
}

void GLAPIENTRY glEnable(GLenum cap) { passState<lib_glEnable>(shadow.setCapability(cap, true), cap); }
void GLAPIENTRY glDisable(GLenum cap) { passState<lib_glDisable>(shadow.setCapability(cap, false), cap); }
void GLAPIENTRY glLineWidth(GLfloat width) { passState<lib_glLineWidth>(shadow.setLineWidth(width), width); }
void GLAPIENTRY glLineStipple(GLint factor, GLushort pattern) {
    passState<lib_glLineStipple>(shadow.setLineStipple(factor, pattern), factor, pattern);
}
void GLAPIENTRY glBindTexture(GLenum target, GLuint texture) {
    passState<lib_glBindTexture>(shadow.bindTexture(target, texture), target, texture);
}
void GLAPIENTRY glBlendFunc(GLenum source, GLenum target) {
    passState<lib_glBlendFunc>(shadow.setBlendFunction(source, target), source, target);
}
void GLAPIENTRY glHint(GLenum target, GLenum mode) {
    passState<lib_glHint>(shadow.setHint(target, mode), target, mode);
}
void GLAPIENTRY glMatrixMode(GLenum mode) { passState<lib_glMatrixMode>(shadow.setMatrixMode(mode), mode); }

// Matrix, viewport and attribute-stack operations always count as changes.
void GLAPIENTRY glLoadIdentity() { passState<lib_glLoadIdentity>(true); }
void GLAPIENTRY glLoadMatrixf(const GLfloat* m) { passState<lib_glLoadMatrixf>(true, m); }
void GLAPIENTRY glMultMatrixf(const GLfloat* m) { passState<lib_glMultMatrixf>(true, m); }
void GLAPIENTRY glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    passState<lib_glOrtho>(true, left, right, bottom, top, zNear, zFar);
}
void GLAPIENTRY glPushMatrix() { passState<lib_glPushMatrix>(true); }
void GLAPIENTRY glPopMatrix() { passState<lib_glPopMatrix>(true); }
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { passState<lib_glTranslatef>(true, x, y, z); }
void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    passState<lib_glRotatef>(true, angle, x, y, z);
}
void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z) { passState<lib_glScalef>(true, x, y, z); }
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    passState<lib_glViewport>(true, x, y, width, height);
}
void GLAPIENTRY glPushAttrib(GLbitfield mask) { passState<lib_glPushAttrib>(true, mask); }
void GLAPIENTRY glPopAttrib() {
    shadow.forget();
    passState<lib_glPopAttrib>(true);
}

}  // extern "C"
