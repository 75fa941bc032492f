#include "demo/pen/vertex_figures.h"

#include "demo/pen/actor_chain.h"
#include "demo/pen/figure_actor.h"
#include "demo/pen/node_ring.h"
#include "demo/pen/vertex_list.h"
#include "figures/random.h"
#include "framework/clock/timer.h"

VertexFigures::VertexFigures() : list_(std::make_unique<VertexList>()) {
    for (const char* name : {"data/stjarna2.txt", "data/knut.txt", "data/nystan.txt"}) list_->load(name);
    for (int i = 0; i < 4; ++i) list_->load("data/runda_vertices.txt");

    // The actors' rings draw random numbers as they are made: the order of
    // making is part of the figures' look.
    actors_[0] = std::make_unique<FigureActor>(*list_);
    originX_.addKeys({{450, 0}, {50, 30000}, {-10, 60000}, {-10, 133000}, {-150, 210000}, {-350, 230000}});
    originY_.addKeys({{270, 0}, {70, 30000}, {-10, 60000}, {-10, 133000}, {-150, 210000}, {-350, 230000}});
    drift_.addKeys({{1, 0}, {1, 1000}, {1000, 60000}});
    for (int i = 1; i < kActors; ++i) actors_[static_cast<std::size_t>(i)] = std::make_unique<FigureActor>(*list_);

    actor(1).setTankLimits(static_cast<int>(500.0f), static_cast<int>(500.0f * 2.5f), 60);
    actor(1).setOrigin(200, -80);
    actor(1).setRange(200, 300);
    actor(2).setOrigin(-40, 0);
    actor(2).setTankLimits(static_cast<int>(100.0f), static_cast<int>(100.0f * 2.5f), 5);
    actor(3).setOrigin(-100, 440);
    actor(4).setOrigin(-100, 440);
    struct Small {
        int actor;
        float x, y;
        int burst;
        float subScale;
        int points, lines, anchors;
        int subValue;
        bool enabled;
        float rangeMin, rangeMax;
    };
    for (const Small& s : {Small{5, 240, 180, 10, 10, 100, 300, 100, 40, false, 200, 300},
                           Small{6, 320, 180, 10, 14, 100, 300, 100, 40, true, 150, 300},
                           Small{7, 500, 200, 30, 3, 100, 200, 10, 10, true, 50, 100},
                           Small{8, 300, 400, 15, 5, 200, 400, 10, 20, true, 50, 100}}) {
        FigureActor& a = actor(s.actor);
        a.setOrigin(s.x, s.y);
        a.setSegmentBurst(s.burst);
        a.setWidth(0.5f);
        a.setSubScale(s.subScale);
        a.setTankLimits(s.points, s.lines, s.anchors);
        a.setSubValue(s.subValue);
        a.setEnabled(s.enabled);
        a.setRotationAxes(true, true, true);
        a.setRange(s.rangeMin, s.rangeMax);
    }

    chainRing_ = std::make_unique<NodeRing>();
    chain_ = std::make_unique<ActorChain>(*chainRing_);
    for (int i : {0, 5, 6, 7, 8, 2, 4, 1, 3}) chain_->add(&actor(i));

    chance_.addKeys({{300, 0}, {10, 1000}});
    width_.addKeys({{0, 0}, {5, 1000}, {10, 30000}});
    // Two keys at 67500 ms: the offset jumps from 0 to 300 there.
    offset_.addKeys({{-150, 0}, {-150, 7000}, {500, 15000}, {-300, 30000}, {-300, 40000}, {0, 45000}, {0, 67500},
                      {300, 67500}, {0, 97500}});
}

VertexFigures::~VertexFigures() = default;

void VertexFigures::grow(int i, int times) {
    for (int n = 0; n < times; ++n) actor(i).grow();
}

void VertexFigures::jump(int i, int times) {
    for (int n = 0; n < times; ++n) actor(i).advancePath();
}

void VertexFigures::clear(int i) { actor(i).clear(); }

void VertexFigures::onNote(int pattern, int note, int) {
    const auto is = [&](int p, int n) { return pattern == p && note == n; };
    if (is(70, 36)) {
        clear(0);
        actor(0).setSubValue(0);
    } else if (is(70, 40) || is(71, 45)) {
        grow(0);
    } else if (is(70, 45)) {
        jump(0);
        grow(0, 7);
    } else if (is(71, 38)) {
        jump(0);
        grow(0, 5);
        jump(0);
        grow(0, 6);
    } else if (is(72, 45)) {
        grow(0, 3);
        grow(3);
        grow(5);
        jump(5);
        jump(6);
        grow(6);
    } else if (is(72, 38)) {
        jump(0);
        grow(0);
        jump(7);
        grow(7, 3);
        jump(7);
        grow(7);
        jump(7);
        grow(7, 6);
        jump(7);
        jump(8);
        grow(8, 6);
    } else if (is(73, 45)) {
        grow(0);
        jump(1);
        grow(1, 5);
        for (int i : {3, 4, 5, 6}) grow(i);
    } else if (is(73, 38)) {
        jump(0);
        grow(0, 3);
    } else if (is(74, 45)) {
        grow(0, 5);
        for (int i : {1, 3, 4, 5, 6}) grow(i);
    } else if (is(75, 45)) {
        grow(0);
        grow(1, 3);
        grow(2, 4);
        grow(5);
        grow(6);
    } else if (is(76, 45)) {
        grow(0, 2);
        jump(0);
        grow(1, 3);
        grow(2, 4);
        jump(5, 2);
        grow(5);
        jump(6);
        grow(6, 2);
    } else if (is(77, 45)) {
        grow(0);
        if (oneIn(10.0f)) {
            jump(0);
            actor(0).setSubValue(static_cast<int>(chance_.value()));
            actor(0).setWidth(width_.value());
        }
        if (elapsed_ > 35000) {
            for (int i = 1; i < kActors; ++i) clear(i);
        }
    }
}

void VertexFigures::restyle(int i, int burst, float width, float subScale, int subValue, bool enabled) {
    FigureActor& a = actor(i);
    a.setSegmentBurst(burst);
    a.setWidth(width);
    a.setSubScale(subScale);
    a.setSubValue(subValue);
    a.setEnabled(enabled);
    a.setRotationAxes(true, true, true);
}

void VertexFigures::onPattern(int pattern) {
    elapsed_ = 0;
    switch (pattern) {
        case 70:
            restyle(0, 35, 0.0f, 1.0f, 0, false);
            break;
        case 71:
            originX_.start(0);
            originY_.start(0);
            restyle(0, 35, 0.0f, 1.0f, 300, true);
            break;
        case 72:
            drift_.start(0);
            for (int i : {0, 1, 2, 3}) clear(i);
            restyle(0, 65, 0.0f, 2.0f, 300, true);
            jump(0);
            grow(0, 3);
            jump(0, 3);
            grow(0, 3);
            break;
        case 73:
            actor(0).setRange(300, 400);
            restyle(0, 35, 2.0f, 4.0f, 200, true);
            offset_.start(0);
            clear(2);
            actor(5).setOrigin(-50, -50);
            actor(6).setOrigin(50, -50);
            for (int i : {5, 6, 7, 8}) clear(i);
            break;
        case 74:
            actor(2).setRange(300, 300);
            actor(2).setTankLimits(600, 1500, 20);
            clear(3);
            break;
        case 75:
            actor(0).setSubValue(10);
            break;
        case 77:
            onFirstEndPattern();
            break;
        default:
            break;
    }
}

// Once in the run: a second start of pattern 77 leaves them running.
void VertexFigures::onFirstEndPattern() {
    if (endPatternSeen_) return;
    endPatternSeen_ = true;
    chance_.start(0);
    width_.start(0);
}

void VertexFigures::draw(Renderer& renderer) {
    elapsed_ += Timer::instance().getDeltaTime();
    actor(0).setOrigin(originX_.value(), originY_.value());
    const float d = drift_.value();
    actor(7).setOrigin(500 * d, 200 * d);
    actor(8).setOrigin(300 * d, 400 * d);
    chain_->draw(renderer);
    const float offset = offset_.value();
    for (const auto& a : actors_) a->setOffset(offset);
}

Vec2 VertexFigures::targetPoint() const { return chain_->first()->position(); }
