#pragma once

#include <string>
#include <vector>

class Image;

// The images that a scrap field's pieces are cut from.
class TextureSet {
public:
    // The standard paper piece alone.
    static TextureSet makeStandard();
    // The 22 scraps of the scribble pile.
    static TextureSet makeNew();

    // Fetches the image through the ImageCache (throws when it is missing).
    void add(const std::string& name);
    // One of the images, by the shared generator (one draw).
    Image* randomImage() const;

    const std::vector<Image*>& images() const { return images_; }

private:
    std::vector<Image*> images_;
};
