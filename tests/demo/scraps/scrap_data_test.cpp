#include "demo/scraps/position_list.h"
#include "demo/scraps/texture_set.h"
#include "framework/render/image.h"
#include "tests/demo/pencil_test_data.h"

#include <gtest/gtest.h>

#include <string>

// The show's generated scrap data, read the way the show reads it.
TEST(ScrapData, PositionsAndScrapImagesLoadAndFitTheScreen) {
    TempFolder folder;
    linkShowData(folder);
    WorkingDirectory inFolder(folder.path());

    struct File {
        const char* name;
        Vec2 offset;
        int chains;
    };
    for (const File& file : {File{"data/skrotbitar/standard/new_positions1.txt", {50, -60}, 150},
                             File{"data/skrotbitar/standard/new_positions2.txt", {20, -60}, 50}}) {
        PositionList list;
        list.setOffset(file.offset.x, file.offset.y);
        list.load(file.name);
        int count = 0;
        for (; list.hasMore(); ++count) {
            const Vec2 p = list.next();
            EXPECT_TRUE(p.x >= 0 && p.x < 640 && p.y >= 0 && p.y < 480) << file.name << " " << p.x << ", " << p.y;
            EXPECT_FALSE(p.x < 100 && p.y < 100) << "the corner the show complains about";
        }
        EXPECT_EQ(count % file.chains, 0) << "whole rounds of the field's chains";
        EXPECT_GE(count, file.chains);
    }

    TextureSet sets[] = {TextureSet::makeStandard(), TextureSet::makeNew()};
    for (const TextureSet& set : sets) {
        for (Image* image : set.images()) {
            const int size = image->getWidth();
            EXPECT_EQ(image->getHeight(), size) << "square, as the grid maps it";
            EXPECT_EQ(size & (size - 1), 0) << "a power of two";
            const uint32_t* pixels = image->getPixels();
            EXPECT_EQ(pixels[0] >> 24, 0u) << "torn free of the corner";
            int paper = 0;
            for (int i = 0; i < size * size; ++i) paper += pixels[i] >> 24 > 200;
            EXPECT_GT(paper, size * size / 10) << "a piece of paper, not a crumb";
        }
    }
}
