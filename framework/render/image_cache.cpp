#include "framework/render/image_cache.h"

#include "engine/image/bitmap.h"
#include "engine/core/exception.h"
#include "engine/streams/stream.h"
#include "framework/files/file_system.h"

ImageCache& ImageCache::instance() {
    static ImageCache* cache = new ImageCache;
    return *cache;
}

void ImageCache::resetToStart() { images_.clear(); }

Image* ImageCache::get(const std::string& name) {
    auto found = images_.find(name);
    return found != images_.end() ? found->second.get() : load(name);
}

Image* ImageCache::load(const std::string& name) {
    std::unique_ptr<zentac::Stream> stream(FileSystem::instance().open(name));
    if (!stream) ZENTAC_THROW(zentac::String("Cannot find image file: ") + name.c_str());
    zentac::Bitmap bitmap;
    bitmap.LoadAndConvert(*stream, name.c_str(), zentac::ArgbFormat());
    // ARGB rows follow each other without padding: the block is the pixels.
    auto* pixels = reinterpret_cast<uint32_t*>(bitmap.Image());
    auto image = std::make_unique<Image>(pixels, bitmap.Width(), bitmap.Height(), true);
    return images_.emplace(name, std::move(image)).first->second.get();
}
