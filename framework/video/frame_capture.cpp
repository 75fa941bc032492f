#include "framework/video/frame_capture.h"

#include "framework/render/frame_bitmap.h"
#include "framework/render/gl_batch.h"

#include <GL/glew.h>

#include <vector>

namespace {

// The source span [first, end) that target index i of n covers in a source of m.
int spanStart(int i, int n, int m) { return static_cast<int>(static_cast<int64_t>(i) * m / n); }

int spanEnd(int i, int n, int m) {
    int end = static_cast<int>((static_cast<int64_t>(i + 1) * m + n - 1) / n);
    return end > spanStart(i, n, m) ? end : spanStart(i, n, m) + 1;
}

}  // namespace

void scaleBottomUpFrame(const uint32_t* source, int sourceWidth, int sourceHeight, FrameBitmap& target) {
    const int width = target.width();
    const int height = target.height();
    if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0) return;
    for (int y = 0; y < height; ++y) {
        const int top = spanStart(y, height, sourceHeight);
        const int bottom = spanEnd(y, height, sourceHeight);
        for (int x = 0; x < width; ++x) {
            const int left = spanStart(x, width, sourceWidth);
            const int right = spanEnd(x, width, sourceWidth);
            uint32_t sums[3] = {};
            for (int sy = top; sy < bottom; ++sy) {
                const uint32_t* row = source + static_cast<std::size_t>(sourceHeight - 1 - sy) * sourceWidth;
                for (int sx = left; sx < right; ++sx) {
                    for (int channel = 0; channel < 3; ++channel) sums[channel] += row[sx] >> (8 * channel) & 0xFF;
                }
            }
            const uint32_t count = static_cast<uint32_t>((bottom - top) * (right - left));
            target.pixels()[static_cast<std::size_t>(y) * width + x] =
                (sums[0] + count / 2) / count | (sums[1] + count / 2) / count << 8 | (sums[2] + count / 2) / count << 16;
        }
    }
}

void captureGlFrame(int width, int height, FrameBitmap& target) {
    if (width <= 0 || height <= 0) return;
    std::vector<uint32_t> frame(static_cast<std::size_t>(width) * height);
    GLBatch::flushCurrent();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, frame.data());
    scaleBottomUpFrame(frame.data(), width, height, target);
}
