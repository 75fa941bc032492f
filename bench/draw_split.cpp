#include "bench/draw_split.h"

#include <GL/glew.h>

#include "bench/gl_call_counter.h"
#include "bench/thread_times.h"
#include "framework/render/batch_shader.h"

DrawSplit::DrawSplit() { draw_probe::install(this); }

DrawSplit::~DrawSplit() {
    draw_probe::install(nullptr);
    if (!queries_.empty()) glDeleteQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
}

void DrawSplit::beginFrame(bool timed) {
    timed_ = timed;
    begun_.clear();
    rasterMs_.clear();
    // llvmpipe starts its rasterisers with the first context.
    if (rasterisers_.empty()) rasterisers_ = rasteriserThreads();
    beginQuery({gl_call_counter::drawingIntoWindow(), KindCount, "", 0});
}

uint64_t DrawSplit::endFrame(DrawSplitTable& table) {
    endQuery();
    uint64_t total = 0;
    for (std::size_t i = 0; i < begun_.size(); ++i) {
        const auto& [query, key] = begun_[i];
        GLuint64 fragments = 0;
        glGetQueryObjectui64v(query, GL_QUERY_RESULT, &fragments);
        DrawTally& tally = table[key];
        // Everything else is not a draw of its own.
        if (key.kind != KindCount) ++tally.draws;
        tally.fragments += fragments;
        tally.rasterMs += rasterMs_[i];
        total += fragments;
    }
    return total;
}

void DrawSplit::beginDraw(const Draw& draw) {
    endQuery();
    beginQuery({gl_call_counter::drawingIntoWindow(), draw.kind, draw.source ? draw.source : "", draw.features});
}

void DrawSplit::endDraw() {
    endQuery();
    beginQuery({gl_call_counter::drawingIntoWindow(), KindCount, "", 0});
}

void DrawSplit::beginQuery(DrawKey key) {
    if (begun_.size() == queries_.size()) {
        GLuint query = 0;
        glGenQueries(1, &query);
        queries_.push_back(query);
    }
    const unsigned query = queries_[begun_.size()];
    rasterMsAtBegin_ = finishedRasterMs();
    glBeginQuery(GL_SAMPLES_PASSED, query);
    begun_.emplace_back(query, std::move(key));
    counting_ = true;
}

void DrawSplit::endQuery() {
    if (!counting_) return;
    glEndQuery(GL_SAMPLES_PASSED);
    rasterMs_.push_back(finishedRasterMs() - rasterMsAtBegin_);
    counting_ = false;
}

double DrawSplit::finishedRasterMs() const {
    if (!timed_) return 0;
    glFinish();
    return threadsCpuMs(rasterisers_);
}

std::string DrawSplit::programName(unsigned features, int kind) {
    if (kind == RawQuad || kind == KindCount) return "fixed function";
    if (features == 0) return "fills";
    std::string name;
    for (auto [feature, word] : {std::pair{BatchShader::Textured, "textured"},
                                 std::pair{BatchShader::SmoothLines, "smooth"}, std::pair{BatchShader::PlainLines, "plain"},
                                 std::pair{BatchShader::Spots, "tiny"}, std::pair{BatchShader::Stipples, "stipple"}}) {
        if ((features & feature) == 0) continue;
        if (!name.empty()) name += '+';
        name += word;
    }
    return name;
}
