#include "framework/render/frame_buffer.h"

#include "framework/render/draw_probe.h"
#include "framework/render/gl_batch.h"
#include "platform/message_box.h"

#include <GL/glew.h>

namespace {

[[noreturn]] void failToCreate() {
    host::messageBox("Couldn't create FBO", "", host::Buttons::Ok, host::Icon::None);
    throw 0;
}

}  // namespace

FrameBuffer::FrameBuffer(int textureWidth, int textureHeight, int viewWidth, int viewHeight)
    : textureWidth_(textureWidth),
      textureHeight_(textureHeight),
      viewWidth_(viewWidth == -1 ? textureWidth : viewWidth),
      viewHeight_(viewHeight == -1 ? textureHeight : viewHeight) {
    // Without the extension its entry points are null: fail the same way.
    if (!GLEW_EXT_framebuffer_object) failToCreate();
    GLBatch::beginRawCurrent();
    glGenFramebuffersEXT(1, &framebuffer_);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer_);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth_, textureHeight_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Drawn out only at the size it was drawn, texel for pixel: the nearest
    // texel is what a linear filter gives there, without blending four.
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture_, 0);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) failToCreate();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    GLBatch::endRawCurrent();
}

void FrameBuffer::bind() {
    GLBatch::flushCurrent();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, viewWidth_, viewHeight_);
    glOrtho(0, 640, 480, 0, -1, 1000);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer_);
}

void FrameBuffer::unbind() {
    GLBatch::flushCurrent();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glPopAttrib();
}

void FrameBuffer::drawFullscreen() {
    float u = uScale();
    float v = vScale();
    GLBatch::beginRawCurrent();
    glOrtho(0, 640, 480, 0, -1, 1000);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glColor4f(1, 1, 1, 1);
    DrawProbe* probe = draw_probe::installed();
    if (probe != nullptr) probe->beginDraw({DrawProbe::RawQuad, draw_probe::source(), 0});
    // The texture's bottom row lands at the bottom of the screen.
    glBegin(GL_QUADS);
    glTexCoord2f(0, v);
    glVertex3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glVertex3f(0, 480, 1);
    glTexCoord2f(u, 0);
    glVertex3f(640, 480, 1);
    glTexCoord2f(u, v);
    glVertex3f(640, 0, 1);
    glEnd();
    if (probe != nullptr) probe->endDraw();
    glDisable(GL_TEXTURE_2D);
    GLBatch::endRawCurrent();
}

void FrameBuffer::drawPremultipliedOver(int x0, int y0, int x1, int y1) {
    if (x0 >= x1 || y0 >= y1) return;
    GLBatch::beginRawCurrent();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, viewWidth_, 0, viewHeight_, -1, 1);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glColor4f(1, 1, 1, 1);
    DrawProbe* probe = draw_probe::installed();
    if (probe != nullptr) probe->beginDraw({DrawProbe::RawQuad, draw_probe::source(), 0});
    const float u0 = static_cast<float>(x0) / static_cast<float>(textureWidth_);
    const float u1 = static_cast<float>(x1) / static_cast<float>(textureWidth_);
    const float v0 = static_cast<float>(y0) / static_cast<float>(textureHeight_);
    const float v1 = static_cast<float>(y1) / static_cast<float>(textureHeight_);
    glBegin(GL_QUADS);
    glTexCoord2f(u0, v0);
    glVertex2i(x0, y0);
    glTexCoord2f(u1, v0);
    glVertex2i(x1, y0);
    glTexCoord2f(u1, v1);
    glVertex2i(x1, y1);
    glTexCoord2f(u0, v1);
    glVertex2i(x0, y1);
    glEnd();
    if (probe != nullptr) probe->endDraw();
    glPopAttrib();
    glPopMatrix();
    GLBatch::endRawCurrent();
}
