#include "demo/scraps/texture_set.h"

#include "engine/core/exception.h"
#include "figures/random.h"
#include "framework/render/image_cache.h"

TextureSet TextureSet::makeStandard() {
    TextureSet set;
    set.add("data/skrotbitar/standard/texture4.png");
    return set;
}

TextureSet TextureSet::makeNew() {
    TextureSet set;
    for (int i = 1; i <= 15; ++i) set.add("data/skrotbitar/new/" + std::to_string(i) + ".png");
    for (int i = 18; i <= 24; ++i) set.add("data/skrotbitar/new/supernew/" + std::to_string(i) + ".png");
    return set;
}

void TextureSet::add(const std::string& name) { images_.push_back(ImageCache::instance().get(name)); }

Image* TextureSet::randomImage() const {
    if (images_.empty()) ZENTAC_THROW("random image of an empty texture set");
    return images_[static_cast<std::size_t>(nextRandom()) % images_.size()];
}
