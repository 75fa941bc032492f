#include "tools/show_data/pencil_images.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace show_data;

namespace {

int redAt(PngImage& image, int x, int y) { return image.pixel(x, y)[0]; }

double meanAlpha(PngImage& image, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) sum += image.pixel(x, y)[3] / 255.0;
    }
    return sum / ((x1 - x0) * (y1 - y0));
}

}  // namespace

TEST(PencilImages, MapsLeaveRoomForTheHatchingAndTheVignette) {
    PngImage hatching = hatchingMap();
    ASSERT_EQ(hatching.width, 640);
    ASSERT_EQ(hatching.height, 480);
    // The first layer's strokes start where red < a draw below 20; the map
    // needs such places, and open paper elsewhere.
    int dark = 0;
    int open = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            dark += redAt(hatching, x, y) < 19;
            open += redAt(hatching, x, y) == 255;
        }
    }
    EXPECT_GT(dark, 640 * 480 / 20);
    EXPECT_GT(open, 640 * 480 / 4);
    EXPECT_LT(redAt(hatching, 0, 0), 19) << "the rim is hatched";

    PngImage vignette = vignetteMap();
    ASSERT_EQ(vignette.width, 640);
    ASSERT_EQ(vignette.height, 480);
    EXPECT_EQ(redAt(vignette, 320, 240), 255);
    EXPECT_LT(redAt(vignette, 0, 0), 10);
}

TEST(PencilImages, PaperDarkensItsRimAndStrokesFollowTheDiagonal) {
    PngImage paper = paperImage();
    ASSERT_EQ(paper.width, 1024);
    ASSERT_EQ(paper.height, 1024);
    const double centre = meanAlpha(paper, 412, 284, 612, 484);
    const double corner = meanAlpha(paper, 0, 0, 100, 100);
    EXPECT_GT(centre, 0.05) << "grain all over";
    EXPECT_LT(centre, 0.3) << "yet mostly light";
    EXPECT_GT(corner, centre + 0.1);

    PngImage stroke = strokeImage();
    EXPECT_GT(meanAlpha(stroke, 60, 60, 68, 68), 0.4) << "graphite on the diagonal";
    EXPECT_LT(meanAlpha(stroke, 120, 0, 128, 8), 0.05) << "clear in the far corners";

    EXPECT_EQ(paperImage().rgba, paper.rgba) << "the same pictures on every build";
}
