#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Image;

// A 64-bit running hash of words: cheap to feed, mixed when read.
class Digest {
public:
    void add(uint64_t word) { state_ = (state_ ^ word) * 0x9E3779B97F4A7C15ull; }
    void add(float number) { add(static_cast<uint64_t>(std::bit_cast<uint32_t>(number))); }
    void add(float low, float high) {
        add(static_cast<uint64_t>(std::bit_cast<uint32_t>(high)) << 32 | std::bit_cast<uint32_t>(low));
    }
    void add(double number) { add(std::bit_cast<uint64_t>(number)); }
    void add(const std::string& text);
    uint64_t value() const {
        uint64_t v = state_ ^ (state_ >> 31);
        v *= 0xBF58476D1CE4E5B9ull;
        return v ^ (v >> 29);
    }

private:
    uint64_t state_ = 0x6A09E667F3BCC909ull;
};

// What the show draws, by meaning rather than by call: every primitive with
// its vertices and the state that decides how it looks (target, viewport,
// matrices, blending, smoothing, stippling, line width, texture by image
// name or by the content of the frame buffer it belongs to), folded into a
// hash per target. The screen's hash covers one frame; a frame buffer's
// covers everything drawn into it since it was last cleared. Follows the
// OpenGL 1.1 state machine for the calls the show makes, values it refuses
// or clamps included: both the renderers and the show's own OpenGL calls end
// up here.
class DrawRecord {
public:
    using Matrix = std::array<double, 16>;  // column-major, as OpenGL

    DrawRecord();

    // The file name an image's texture is known by.
    void nameImage(const Image* image, const std::string& name);

    void startFrame();
    uint64_t frameHash() const { return screen_.value(); }
    int frameItems() const { return screenItems_; }
    // State changes between begin and end, which OpenGL ignores.
    int ignoredCalls() const { return ignoredCalls_; }

    void enable(unsigned capability, bool on);
    bool isEnabled(unsigned capability) const { return isOn(capability); }
    void blendFunc(unsigned source, unsigned destination);
    void lineWidth(float width);
    float currentLineWidth() const { return lineWidth_; }
    void lineStipple(int factor, unsigned pattern);
    void clearColor(float r, float g, float b, float a);
    void clear(unsigned mask);

    void viewport(int x, int y, int width, int height);
    void pushViewport();
    void popViewport();
    void matrixMode(unsigned mode);
    void loadIdentity();
    void multiply(const Matrix& m);

    void color(float r, float g, float b, float a);
    void texCoord(float u, float v);
    void begin(unsigned mode);
    void vertex(float x, float y, float z);
    void end();

    // Texturing from an image, or from a texture object (frame buffers).
    void bindImage(const Image* image);
    unsigned newTexture();
    void bindTexture(unsigned texture);
    unsigned newFramebuffer();
    void bindFramebuffer(unsigned framebuffer);
    // The texture becomes the colour of the bound frame buffer.
    void attachTexture(unsigned texture);

    static Matrix ortho(double left, double right, double bottom, double top, double zNear, double zFar);
    static Matrix perspective(double fovyDegrees, double aspect, double zNear, double zFar);
    static Matrix lookAt(const std::array<double, 3>& eye, const std::array<double, 3>& centre,
                         const std::array<double, 3>& up);

private:
    struct Attributes {
        float r, g, b, a, u, v;
    };

    bool isOn(unsigned capability) const { return (capabilities_ & bitOf(capability)) != 0; }
    static uint32_t bitOf(unsigned capability);
    // False (and counted) between begin and end.
    bool changeAllowed();
    void stateChanged() { stateValid_ = false; }
    void lineStateChanged() { lineStateValid_ = false; }
    void matricesChanged() { matricesValid_ = false; stateValid_ = false; }
    uint64_t stateHash(bool lines);
    uint64_t textureIdentity() const;
    // Lines and quads count one by one, so that how they were grouped into
    // begin/end blocks does not matter.
    int verticesPerItem() const;
    void fold(uint64_t item);

    std::map<const Image*, uint64_t> imageNames_;
    Digest screen_;
    int screenItems_ = 0;
    std::vector<Digest> framebuffers_;    // index 0 unused: the screen
    std::vector<unsigned> textureOwner_;  // frame buffer of each texture, 0 for none
    unsigned boundFramebuffer_ = 0;
    unsigned boundTexture_ = 0;
    const Image* boundImage_ = nullptr;

    uint32_t capabilities_ = 0;
    unsigned blendSource_ = 1;
    unsigned blendDestination_ = 0;
    float lineWidth_ = 1.0f;
    int stippleFactor_ = 1;
    unsigned stipplePattern_ = 0xFFFF;
    std::array<float, 4> clearColor_{};
    std::array<int, 4> viewport_{};
    std::vector<std::array<int, 4>> savedViewports_;
    unsigned matrixMode_;
    Matrix projection_;
    Matrix modelview_;

    Attributes current_{1, 1, 1, 1, 0, 0};
    bool inside_ = false;
    unsigned mode_ = 0;
    bool textured_ = false;
    Digest itemStart_;
    Digest item_;
    int itemVertices_ = 0;
    int perItem_ = 0;
    int ignoredCalls_ = 0;

    bool matricesValid_ = false;
    uint64_t matrices_ = 0;
    bool stateValid_ = false;
    uint64_t commonState_ = 0;
    bool lineStateValid_ = false;
    uint64_t lineState_ = 0;
    uint64_t fillState_ = 0;
};
