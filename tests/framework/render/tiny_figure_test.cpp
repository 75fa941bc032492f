#include "framework/render/tiny_figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// n corners on a circle of radius 0.4 around a pixel centre.
std::vector<WindowPoint> roundFill(int n) {
    std::vector<WindowPoint> corners;
    for (int k = 0; k < n; ++k) {
        const double angle = 6.283185307 * k / n;
        corners.push_back({static_cast<float>(10.5 + 0.4 * std::cos(angle)),
                           static_cast<float>(20.5 + 0.4 * std::sin(angle))});
    }
    return corners;
}

}  // namespace

TEST(TinyFigure, TakesInAFillWithinItsCornerLimitAndLeavesALargerOneAsItIs) {
    const std::vector<WindowPoint> square = roundFill(4);
    std::vector<WindowPoint> outline;
    for (std::size_t k = 0; k < square.size(); ++k) {
        outline.push_back(square[k]);
        outline.push_back(square[(k + 1) % square.size()]);
    }
    TinyFigure figure(outline, 1.0f);
    ASSERT_TRUE(figure.fits());

    // Every corner beyond the limit would be one more than the figure holds.
    EXPECT_FALSE(figure.addFill(roundFill(static_cast<int>(TinyFigure::kMaxFillCorners) + 16)));
    EXPECT_EQ(figure.mask(), 0u);

    ASSERT_TRUE(figure.addFill(roundFill(static_cast<int>(TinyFigure::kMaxFillCorners))));
    // The fill holds the centre of its own pixel and of no other.
    EXPECT_EQ(figure.mask(), 1u);
    EXPECT_EQ(figure.maskOrigin().x, 10.0f);
    EXPECT_EQ(figure.maskOrigin().y, 20.0f);
}
