#include "demo/finale/finale.h"

#include "demo/finale/cloth.h"
#include "demo/finale/crawler.h"
#include "demo/shared/demo_clock.h"
#include "framework/render/gl_batch.h"
#include "framework/render/renderer.h"

#include <GL/glew.h>

Finale::Finale(Renderer* screen) : crawler_(std::make_unique<Crawler>(screen)), cloth_(std::make_unique<Cloth>()) {
    cloth_->setup(crawler_->anchor());
}

Finale::~Finale() = default;

void Finale::frame(Renderer& screen) {
    if (!DemoClock::instance().isOver()) return;
    cloth_->pin(crawler_->anchor());
    cloth_->frame(screen, 0.0f, 0.0f, 0.0f);
    crawler_->setWind(cloth_->windDirection(), cloth_->windStrength());
    crawler_->frame(0.0f, 0.0f, 0.0f);
    screen.setLineWidth(1.0f);
    GLBatch::flushCurrent();
    glLoadIdentity();
}
