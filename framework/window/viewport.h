#pragma once

// The window's pixel size and the projection values derived from it.
class Viewport {
public:
    static Viewport& instance();

    void setSize(int width, int height);
    void setBounds(float left, float right, float top, float bottom);
    void setFocal(float focal);

    int width() const { return width_; }
    int height() const { return height_; }
    int centerX() const { return centerX_; }
    int centerY() const { return centerY_; }
    float screenScaleX() const { return screenScaleX_; }
    float screenScaleY() const { return screenScaleY_; }
    float projectionScaleX() const { return projectionScaleX_; }
    float projectionScaleY() const { return projectionScaleY_; }
    int leftPixel() const { return leftPixel_; }
    int rightPixel() const { return rightPixel_; }
    int topPixel() const { return topPixel_; }
    int bottomPixel() const { return bottomPixel_; }
    float aspect() const { return aspect_; }
    float focal() const { return focal_; }

    void setFlag(bool flag) { flag_ = flag; }
    bool flag() const { return flag_; }
    void setUseMidiGains(bool use) { useMidiGains_ = use; }
    bool useMidiGains() const { return useMidiGains_; }

private:
    Viewport();

    int width_ = 0;
    int height_ = 0;
    int centerX_ = 0;
    int centerY_ = 0;
    float screenScaleX_ = 0;
    float screenScaleY_ = 0;
    float projectionScaleX_ = 0;
    float projectionScaleY_ = 0;
    float left_ = 0;
    float right_ = 1;
    float top_ = 0;
    float bottom_ = 1;
    int leftPixel_ = 0;
    int rightPixel_ = 0;
    int topPixel_ = 0;
    int bottomPixel_ = 0;
    float aspect_ = 1;
    float focal_ = 0;
    bool flag_ = true;
    bool useMidiGains_ = false;
};
