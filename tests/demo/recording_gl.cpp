#include "tests/demo/recording_gl.h"

#include "tests/demo/draw_record.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <stdexcept>
#include <string>

namespace {

DrawRecord* active = nullptr;

DrawRecord& record() {
    if (active == nullptr) throw std::logic_error("OpenGL called with no record to draw into");
    return *active;
}

[[noreturn]] void unexpected(const std::string& what) { throw std::logic_error("unexpected OpenGL call: " + what); }

void GLAPIENTRY genFramebuffers(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = record().newFramebuffer();
}

void GLAPIENTRY bindFramebuffer(GLenum target, GLuint name) {
    if (target != GL_FRAMEBUFFER_EXT) unexpected("frame buffer target");
    record().bindFramebuffer(name);
}

void GLAPIENTRY framebufferTexture(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture,
                                   GLint level) {
    if (target != GL_FRAMEBUFFER_EXT || attachment != GL_COLOR_ATTACHMENT0_EXT || textureTarget != GL_TEXTURE_2D ||
        level != 0) {
        unexpected("frame buffer attachment");
    }
    record().attachTexture(texture);
}

GLenum GLAPIENTRY framebufferStatus(GLenum) { return GL_FRAMEBUFFER_COMPLETE_EXT; }

}  // namespace

void recordOpenGlInto(DrawRecord& into) {
    active = &into;
    __GLEW_EXT_framebuffer_object = GL_TRUE;
    __glewGenFramebuffersEXT = genFramebuffers;
    __glewBindFramebufferEXT = bindFramebuffer;
    __glewFramebufferTexture2DEXT = framebufferTexture;
    __glewCheckFramebufferStatusEXT = framebufferStatus;
}

extern "C" {

void GLAPIENTRY glBegin(GLenum mode) { record().begin(mode); }
void GLAPIENTRY glEnd() { record().end(); }
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record().vertex(x, y, z); }
void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { record().color(r, g, b, 1.0f); }
void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { record().color(r, g, b, a); }
void GLAPIENTRY glTexCoord2f(GLfloat u, GLfloat v) { record().texCoord(u, v); }
// Without lighting, normals change nothing that is drawn.
void GLAPIENTRY glNormal3f(GLfloat, GLfloat, GLfloat) {}

void GLAPIENTRY glEnable(GLenum capability) { record().enable(capability, true); }
void GLAPIENTRY glDisable(GLenum capability) { record().enable(capability, false); }
void GLAPIENTRY glBlendFunc(GLenum source, GLenum destination) { record().blendFunc(source, destination); }
// Quality hints leave what is drawn as it is.
void GLAPIENTRY glHint(GLenum, GLenum) {}
void GLAPIENTRY glLineWidth(GLfloat width) { record().lineWidth(width); }
void GLAPIENTRY glLineStipple(GLint factor, GLushort pattern) { record().lineStipple(factor, pattern); }
void GLAPIENTRY glGetFloatv(GLenum name, GLfloat* value) {
    if (name != GL_LINE_WIDTH) unexpected("glGetFloatv");
    *value = record().currentLineWidth();
}

void GLAPIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { record().clearColor(r, g, b, a); }
void GLAPIENTRY glClear(GLbitfield mask) { record().clear(mask); }

void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { record().viewport(x, y, width, height); }
void GLAPIENTRY glPushAttrib(GLbitfield mask) {
    if (mask != GL_VIEWPORT_BIT) unexpected("glPushAttrib");
    record().pushViewport();
}
void GLAPIENTRY glPopAttrib() { record().popViewport(); }
void GLAPIENTRY glMatrixMode(GLenum mode) { record().matrixMode(mode); }
void GLAPIENTRY glLoadIdentity() { record().loadIdentity(); }
void GLAPIENTRY glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    record().multiply(DrawRecord::ortho(left, right, bottom, top, zNear, zFar));
}
void GLAPIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    record().multiply(DrawRecord::perspective(fovy, aspect, zNear, zFar));
}
void GLAPIENTRY gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
                          GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    record().multiply(DrawRecord::lookAt({eyeX, eyeY, eyeZ}, {centreX, centreY, centreZ}, {upX, upY, upZ}));
}

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = record().newTexture();
}
void GLAPIENTRY glBindTexture(GLenum target, GLuint texture) {
    if (target != GL_TEXTURE_2D) unexpected("texture target");
    record().bindTexture(texture);
}
// Frame buffers make empty textures; pictures reach the record by name,
// through the recording renderers.
void GLAPIENTRY glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void* pixels) {
    if (pixels != nullptr) unexpected("glTexImage2D with pixels");
}
// Filtering and wrapping of the frame buffers' textures never change.
void GLAPIENTRY glTexParameterf(GLenum, GLenum, GLfloat) {}
void GLAPIENTRY glTexParameteri(GLenum, GLenum, GLint) {}

void GLAPIENTRY glPixelStorei(GLenum, GLint) { unexpected("glPixelStorei"); }
void GLAPIENTRY glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*) { unexpected("glReadPixels"); }

}  // extern "C"
