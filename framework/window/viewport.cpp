#include "framework/window/viewport.h"

Viewport& Viewport::instance() {
    static Viewport* viewport = new Viewport;
    return *viewport;
}

Viewport::Viewport() {
    setFocal(400.0f);
    setSize(640, 480);
}

void Viewport::setSize(int width, int height) {
    width_ = width;
    height_ = height;
    centerX_ = width / 2;
    centerY_ = height / 2;
    setBounds(0.02f, 0.98f, 0.02f, 0.98f);
    setFocal(focal_);
}

void Viewport::setBounds(float left, float right, float top, float bottom) {
    left_ = left;
    right_ = right;
    top_ = top;
    bottom_ = bottom;
    leftPixel_ = static_cast<int>(static_cast<float>(width_ - 1) * left);
    rightPixel_ = static_cast<int>(static_cast<float>(width_ - 1) * right);
    topPixel_ = static_cast<int>(static_cast<float>(height_ - 1) * top);
    bottomPixel_ = static_cast<int>(static_cast<float>(height_ - 1) * bottom);
}

void Viewport::setFocal(float focal) {
    focal_ = focal;
    if (width_ <= 0 || height_ <= 0) return;
    float w = static_cast<float>(width_);
    float h = static_cast<float>(height_);
    aspect_ = (4.0f / 3.0f) / (w / h);
    float sx = w / 320.0f;
    float sy = h / 240.0f * aspect_;
    projectionScaleX_ = sx * focal / static_cast<float>(centerX_) / (right_ - left_);
    projectionScaleY_ = sy * focal / static_cast<float>(centerY_) / (bottom_ - top_);
    screenScaleX_ = focal / projectionScaleX_ * sx;
    screenScaleY_ = focal / projectionScaleY_ * sy;
}
