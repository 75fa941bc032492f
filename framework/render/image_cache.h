#pragma once

#include <map>
#include <memory>
#include <string>

#include "framework/render/image.h"

// Every picture of the show by file name, decoded to ARGB once and kept:
//
//   Image* paper = ImageCache::instance().get("data/bg.png");
//
// Names compare exactly, letter case included, and are opened through the
// FileSystem, so a loose file wins over the resource pack.
class ImageCache {
public:
    // The show's cache, made on first use and never freed.
    static ImageCache& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    // The image for the name, loaded on the first request. Throws
    // zentac::Exception naming the file when no provider has it or it does
    // not decode; nothing is kept then.
    Image* get(const std::string& name);

private:
    Image* load(const std::string& name);

    std::map<std::string, std::unique_ptr<Image>> images_;
};
