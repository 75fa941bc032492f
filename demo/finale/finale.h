// demo/finale: the end sequence: cloth in the wind, the crawler; uses shared, figures, framework.
#pragma once

#include <memory>

class Cloth;
class Crawler;
class Renderer;

// The end sequence, drawn in place of the figures once the demo clock has
// latched: the crawling creature, and a cloth in the wind hanging from it.
class Finale {
public:
    explicit Finale(Renderer* screen);
    ~Finale();

    // Draws nothing before the end sequence.
    void frame(Renderer& screen);

    const Crawler& crawler() const { return *crawler_; }
    const Cloth& cloth() const { return *cloth_; }

private:
    std::unique_ptr<Crawler> crawler_;
    std::unique_ptr<Cloth> cloth_;
};
