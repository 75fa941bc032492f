#include "demo/scraps/settled_scraps.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "demo/scraps/scrap_chain.h"
#include "framework/render/draw_probe.h"
#include "framework/render/gl_batch.h"
#include "framework/render/layer_renderer.h"
#include "framework/window/viewport.h"

#include <GL/glew.h>

namespace {

constexpr float kScreenWidth = 640.0f;
constexpr float kScreenHeight = 480.0f;

}  // namespace

SettledScraps::SettledScraps()
    : frameBuffer_(Viewport::instance().width(), Viewport::instance().height()),
      renderer_(makeLayerRenderer(Viewport::instance().width(), Viewport::instance().height())) {
    clear(0);
}

std::size_t SettledScraps::drawOver(std::vector<ScrapChain>& chains) {
    std::size_t end = kept_;
    while (end < chains.size() && chains[end].isStarted() && chains[end].isDone()) ++end;
    if (end > kept_) takeIn(chains, end);
    const draw_probe::SourceMark mark("settled scraps");
    frameBuffer_.drawPremultipliedOver(left_, bottom_, right_, top_);
    return kept_;
}

void SettledScraps::bindPicture() {
    // Binding sets the projection of its own; the screen's is kept for the
    // pieces drawn after.
    GLBatch::flushCurrent();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    frameBuffer_.bind();
}

void SettledScraps::unbindPicture() {
    frameBuffer_.unbind();
    glPopMatrix();
}

void SettledScraps::takeIn(std::vector<ScrapChain>& chains, std::size_t end) {
    bindPicture();
    GLBatch::current().setPremultiplying(true);
    const float xScale = static_cast<float>(Viewport::instance().width()) / kScreenWidth;
    const float yScale = static_cast<float>(Viewport::instance().height()) / kScreenHeight;
    const int height = Viewport::instance().height();
    {
        const draw_probe::SourceMark mark("settling scraps");
        for (; kept_ < end; ++kept_) {
            ScrapChain& chain = chains[kept_];
            chain.draw(*renderer_);
            const ScrapBounds box = chain.bounds();
            // A pixel more on each side: the box only limits what is laid over.
            left_ = std::min(left_, static_cast<int>(std::floor(box.low.x * xScale)) - 1);
            right_ = std::max(right_, static_cast<int>(std::ceil(box.high.x * xScale)) + 1);
            bottom_ = std::min(bottom_, height - static_cast<int>(std::ceil(box.high.y * yScale)) - 1);
            top_ = std::max(top_, height - static_cast<int>(std::floor(box.low.y * yScale)) + 1);
        }
    }
    GLBatch::current().setPremultiplying(false);
    unbindPicture();
    left_ = std::max(left_, 0);
    bottom_ = std::max(bottom_, 0);
    right_ = std::min(right_, Viewport::instance().width());
    top_ = std::min(top_, height);
}

void SettledScraps::clear(int round) {
    round_ = round;
    bindPicture();
    GLBatch::beginRawCurrent();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    GLBatch::endRawCurrent();
    unbindPicture();
    kept_ = 0;
    left_ = bottom_ = std::numeric_limits<int>::max();
    right_ = top_ = 0;
}
