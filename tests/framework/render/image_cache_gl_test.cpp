#include "framework/render/gl_batch.h"
#include "framework/render/gl_renderer.h"
#include "framework/render/image_cache.h"
#include "tests/shared_window.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/png_writer.h"
#include "tests/temp_folder.h"

namespace {

// 0xRRGGBB of the window pixel, counting rows from the top.
uint32_t windowPixel(int x, int yFromTop) {
    unsigned char rgba[4] = {};
    GLBatch::flushCurrent();
    glReadPixels(x, 767 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return uint32_t{rgba[0]} << 16 | uint32_t{rgba[1]} << 8 | rgba[2];
}

}  // namespace

TEST(ImageCacheGL, CachedImageReachesTheScreenInItsColours) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    TempFolder folder;
    std::string name = folder.write("quarters.png", writeRgbPng(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00}));
    GLRenderer renderer(1024, 768);
    renderer.setTexture(ImageCache::instance().get(name));
    renderer.clear(0, 0, 0);
    renderer.color(1, 1, 1, 1);
    renderer.begin(Renderer::Polygon);
    for (auto [u, v] : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}) {
        renderer.texCoord(u, v);
        renderer.vertex(u * 640, v * 480, 0);
    }
    renderer.end();
    glFinish();
    glDisable(GL_TEXTURE_2D);
    // At the texel centres linear filtering gives each texel unmixed.
    EXPECT_EQ(windowPixel(256, 192), 0xFF0000u) << "top left";
    EXPECT_EQ(windowPixel(768, 192), 0x00FF00u) << "top right";
    EXPECT_EQ(windowPixel(256, 576), 0x0000FFu) << "bottom left";
    EXPECT_EQ(windowPixel(768, 576), 0xFFFF00u) << "bottom right";
}
